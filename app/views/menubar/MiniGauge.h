#pragma once

#include "views/menubar/MenuBarTexts.h"

#include <QWidget>

class QLabel;

namespace tidra {

class RingGauge;
class SymbolView;

// A small card of the menu-bar panel: a ring with a symbol in its middle, a title and a value
// under it. Each text stays on one line, shrinking a little before it is cut. Shows what it is
// given and keeps no state.
class MiniGauge : public QWidget {
public:
  explicit MiniGauge(QWidget* parent = nullptr);

  void setGauge(const MenuBarTexts::Gauge& gauge);
  QString title() const { return titleText; }
  QString value() const { return valueText; }
  double fraction() const;

protected:
  void resizeEvent(QResizeEvent* event) override;

private:
  void fitTexts();

  RingGauge* ring;
  SymbolView* symbol;
  QLabel* titleLabel;
  QLabel* valueLabel;
  QString titleText;
  QString valueText;
};

}  // namespace tidra
