#pragma once

#include "system/MemorySnapshot.h"
#include "views/design/GlassCard.h"

class QStackedLayout;

namespace tidra {
class AppModel;
class LegendItem;
class PressureLabel;
class SegmentedBar;
class StyledLabel;
}  // namespace tidra

namespace tidra::performance {

// The card at the top of the Performance screen: how memory is split, the pressure, one
// sentence of advice and the way into the diagnosis. A small spinner until the first reading.
class MemoryCard : public GlassCard {
public:
  explicit MemoryCard(AppModel& model, QWidget* parent = nullptr);

  // The sentence under the legend for `memory`.
  static QString advice(const MemorySnapshot& memory);

  void refresh();

private:
  QWidget* makeReading();

  AppModel& model;
  QStackedLayout* pages;
  PressureLabel* pressure;
  StyledLabel* headline;
  SegmentedBar* bar;
  std::vector<LegendItem*> legend;
  StyledLabel* adviceText;
};

}  // namespace tidra::performance
