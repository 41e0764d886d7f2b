#pragma once

#include "views/design/GlassCard.h"

class QBoxLayout;

namespace tidra {

class AppModel;
class BigNumber;
class Button;
class KeyedRowList;
class LegendItem;
class RingGauge;
class StyledLabel;

// The overview's wide top card: the home volume as a ring with the free space in its middle,
// its legend, and the largest things safe to clean with "Review and Clean", which goes to
// the Cleanup screen. Without a disk reading it says only that the figures are unavailable.
// Too narrow for all three side by side, it puts the cleanup summary under the other two.
class StorageCard : public GlassCard {
public:
  explicit StorageCard(AppModel& model, QWidget* parent = nullptr);

  void refresh();
  QSize minimumSizeHint() const override;
  bool cleanupBeside() const;

protected:
  void resizeEvent(QResizeEvent* event) override;

private:
  static constexpr int padding = 22;
  static constexpr int besideGap = 28 + 12;

  int besideWidth() const;
  void fitCleanup();
  QWidget* makeRing();
  QWidget* makeLegend();
  QWidget* makeCleanup();
  void refreshStorage();
  void refreshCleanup();

  AppModel& model;
  StyledLabel* unavailable;
  QWidget* storage;
  QBoxLayout* flow;
  QWidget* summary;
  RingGauge* ring;
  BigNumber* free;
  StyledLabel* availableOf;
  LegendItem* inUse;
  LegendItem* safe;
  LegendItem* available;
  QWidget* cleanup;
  QWidget* progress;
  StyledLabel* progressText;
  QWidget* candidates;
  KeyedRowList* candidateRows;
  StyledLabel* nothingWorth;
  Button* review;
};

}  // namespace tidra
