#pragma once

#include "models/AppModel.h"

#include <QWidget>

#include <optional>

class QVBoxLayout;

namespace tidra {
class BackgroundMonitor;
class FileRevealer;
class Scheduler;
class SegmentedControl;
}  // namespace tidra

namespace tidra::performance {

class MemoryCard;

// The Performance screen: the memory card, the tab switch following the model's
// `performanceTab`, and the selected tab's list on a card. Holds the model's refresh loop while
// it is shown. Each tab's list is made anew when its tab is chosen, so a pending question is
// dropped with it. The monitor, when given, supplies the dev servers' idle times.
class PerformanceView : public QWidget {
public:
  PerformanceView(AppModel& model, Scheduler& scheduler, FileRevealer& revealer,
                  const BackgroundMonitor* monitor = nullptr, QWidget* parent = nullptr);

  void refresh();

protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

private:
  void scheduleRefresh();
  void showTab();

  AppModel& model;
  Scheduler& scheduler;
  FileRevealer& revealer;
  const BackgroundMonitor* monitor;
  std::optional<AppModel::RefreshToken> freshness;
  bool refreshQueued = false;
  MemoryCard* card;
  SegmentedControl* tabs;
  QVBoxLayout* listSlot;
  QWidget* list = nullptr;
};

}  // namespace tidra::performance
