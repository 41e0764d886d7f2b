#include "views/performance/PerformanceView.h"

#include "models/BackgroundMonitor.h"
#include "views/applications/ScreenToolbar.h"
#include "views/design/GlassCard.h"
#include "views/design/SegmentedControl.h"
#include "views/performance/DeveloperToolsList.h"
#include "views/performance/MemoryCard.h"
#include "views/performance/ProcessList.h"
#include "views/performance/StartupList.h"

#include <QVBoxLayout>

namespace tidra::performance {

using Tab = AppModel::PerformanceTab;

namespace {

QStringList tabTitles() {
  return {QStringLiteral("Apps"), QStringLiteral("Developer Tools"), QStringLiteral("Startup Items")};
}

int indexOf(Tab tab) { return static_cast<int>(tab); }

}  // namespace

PerformanceView::PerformanceView(AppModel& model, Scheduler& scheduler, FileRevealer& revealer,
                                 const BackgroundMonitor* monitor, QWidget* parent)
    : QWidget(parent), model(model), scheduler(scheduler), revealer(revealer), monitor(monitor) {
  setObjectName(QStringLiteral("performanceView"));
  auto* page = new QVBoxLayout(this);
  page->setContentsMargins(0, 0, 0, 0);
  page->setSpacing(0);
  // The screen's title, in the same row as the other screens carry theirs.
  auto* title = new ScreenToolbar(QStringLiteral("Performance"));
  title->setObjectName(QStringLiteral("performanceTitle"));
  page->addWidget(title);
  auto* column = new QVBoxLayout;
  column->setContentsMargins(16, 16, 16, 16);
  column->setSpacing(0);
  page->addLayout(column, 1);
  card = new MemoryCard(model);
  column->addWidget(card);

  tabs = new SegmentedControl(tabTitles());
  tabs->setObjectName(QStringLiteral("performanceTabs"));
  tabs->setFixedWidth(420);
  column->addSpacing(12);
  column->addWidget(tabs, 0, Qt::AlignHCenter);
  column->addSpacing(12);
  connect(tabs, &SegmentedControl::currentChanged, this,
          [this](int index) { this->model.setPerformanceTab(AppModel::allPerformanceTabs().at(index)); });

  auto* listCard = new GlassCard(20);
  listCard->setObjectName(QStringLiteral("listCard"));
  listSlot = new QVBoxLayout(listCard);
  listSlot->setContentsMargins(0, 0, 0, 6);
  column->addWidget(listCard, 1);

  showTab();
  connect(&model, &AppModel::performanceTabChanged, this, &PerformanceView::showTab);
  for (auto signal : {&AppModel::memoryChanged, &AppModel::processesChanged, &AppModel::developerToolsChanged,
                      &AppModel::startupItemsChanged, &AppModel::iconsChanged})
    connect(&model, signal, this, &PerformanceView::scheduleRefresh);
  if (monitor != nullptr)
    connect(monitor, &BackgroundMonitor::idleTimesChanged, this, &PerformanceView::scheduleRefresh);
}

void PerformanceView::showTab() {
  const Tab tab = model.performanceTab();
  tabs->setCurrentIndex(indexOf(tab));
  delete list;
  switch (tab) {
    case Tab::apps: list = new ProcessList(model); break;
    case Tab::developerTools: list = new DeveloperToolsList(model, scheduler); break;
    case Tab::startup: list = new StartupList(model, revealer); break;
  }
  listSlot->addWidget(list);
  refresh();
}

void PerformanceView::refresh() {
  card->refresh();
  if (auto* processes = dynamic_cast<ProcessList*>(list)) processes->refresh();
  if (auto* tools = dynamic_cast<DeveloperToolsList*>(list))
    tools->refresh(monitor != nullptr ? monitor->idleTimes() : std::map<std::string, double>{});
  if (auto* startup = dynamic_cast<StartupList*>(list)) startup->refresh();
}

void PerformanceView::scheduleRefresh() {
  if (std::exchange(refreshQueued, true)) return;
  QMetaObject::invokeMethod(
      this,
      [this] {
        refreshQueued = false;
        refresh();
      },
      Qt::QueuedConnection);
}

// The figures stay fresh only while someone is looking at them.
void PerformanceView::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (!freshness) freshness.emplace(model.keepPerformanceFresh());
}

void PerformanceView::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  freshness.reset();
}

}  // namespace tidra::performance
