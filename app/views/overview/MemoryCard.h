#pragma once

#include "views/design/GlassCard.h"

#include <functional>

class QBoxLayout;

namespace tidra {

class AppModel;
class Button;
class KeyedRowList;
class PressureLabel;
class Spinner;
class StyledLabel;

// The overview's memory card: the pressure, how much is in use, the three apps holding the
// most with their share of all memory, and a link to the developer tools once they hold
// 1 GB. Its two buttons open the slowness check and the Performance screen, side by side
// when the card is wide enough, else stacked.
class MemoryCard : public GlassCard {
public:
  // `diagnose` opens the slowness check.
  MemoryCard(AppModel& model, std::function<void()> diagnose, QWidget* parent = nullptr);

  void refresh();

  Button* developerToolsLink() const { return toolsLink; }
  QBoxLayout* buttonsLayout() const { return buttons; }

  // Narrower than the buttons side by side: given less room, the card stacks them.
  QSize minimumSizeHint() const override;

protected:
  void resizeEvent(QResizeEvent* event) override;

private:
  void makeButtons(QBoxLayout* column);
  void fitButtons();

  AppModel& model;
  std::function<void()> diagnose;
  Spinner* waiting;
  QWidget* reading;
  PressureLabel* pressure;
  StyledLabel* inUse;
  KeyedRowList* apps;
  Button* toolsLink;
  QBoxLayout* buttons = nullptr;
  Button* why = nullptr;
  Button* whatsUsing = nullptr;
};

}  // namespace tidra
