#include "models/BackgroundMonitor.h"

#include "Demo.h"
#include "models/AppModel.h"
#include "models/Notifier.h"
#include "platform/Notifications.h"
#include "settings/Preference.h"
#include "settings/Preferences.h"

#include "demo/DemoMac.h"

#include <algorithm>

namespace tidra {

using namespace std::chrono_literals;

namespace {

constexpr auto tickPeriod = 30s;
constexpr auto demoTickPeriod = 3s;
// The weekly test runs on the first tick and every 60th after it.
constexpr int weeklyStride = 60;

std::vector<DeveloperTool> ofKind(const std::vector<DeveloperTool>& tools, DeveloperTool::Kind kind) {
  std::vector<DeveloperTool> kept;
  std::copy_if(tools.begin(), tools.end(), std::back_inserter(kept),
               [kind](const DeveloperTool& tool) { return tool.kind == kind; });
  return kept;
}

std::vector<DeveloperTool> idleDaemonsOf(const std::vector<DeveloperTool>& tools) {
  std::vector<DeveloperTool> kept;
  std::copy_if(tools.begin(), tools.end(), std::back_inserter(kept),
               [](const DeveloperTool& tool) { return tool.isIdleDaemon(); });
  return kept;
}

}  // namespace

BackgroundMonitor::BackgroundMonitor(AppModel& model, Preferences& preferences, Notifications& notifications,
                                     QObject* parent)
    : QObject(parent),
      model(model),
      preferences(preferences),
      notifications(notifications),
      services(model.services().performance),
      sample(services.newSampler()),
      idleServers(services.newFolderActivity) {}

BackgroundMonitor::~BackgroundMonitor() = default;

void BackgroundMonitor::start() {
  if (started) return;
  started = true;
  if (!Demo::isOn() && wantsNotifications()) notifications.prepare();
  loop().start(this);
}

bool BackgroundMonitor::wantsNotifications() const {
  return preferences.boolValue(Preference::alertWhenMemoryIsTight) ||
         preferences.boolValue(Preference::alertWhenDiskIsLow) || preferences.boolValue(Preference::weeklyReport) ||
         preferences.boolValue(Preference::alertWhenDevServerIsIdle);
}

Flow BackgroundMonitor::loop() {
  for (int tick = 0;; ++tick) {
    auto reading = refreshWaiters.wait([this] { refresh(); });
    co_await reading;
    if (Demo::isOn()) {
      co_await sleepFor(model.scheduler(), demoTickPeriod);
      continue;
    }
    checkAlerts();
    checkIdleServers();
    if (tick % weeklyStride == 0 && weeklyCheckIfDue() && isCheckingWeekly_) {
      auto checked = weeklyWaiters.wait();
      co_await checked;
    }
    co_await sleepFor(model.scheduler(), tickPeriod);
  }
}

// --- Readings

void BackgroundMonitor::refresh() {
  if (refreshing) {
    refreshAgain = true;
    return;
  }
  refreshRounds().start(this);
}

Flow BackgroundMonitor::refreshRounds() {
  refreshing = true;
  do {
    refreshAgain = false;
    // Who asked before this round started is served by it; later askers wait for the next.
    WaitList served = std::exchange(refreshWaiters, {});
    if (Demo::isOn()) {
      readDemo();
    } else {
      assign(memory_, std::optional(services.memory()), &BackgroundMonitor::memoryChanged);
      assign(disk_, services.disk(model.environment().home), &BackgroundMonitor::diskChanged);
      auto sampling = [sample = sample] { return sample(); };
      const ProcessSample processes = co_await runOn(Pool::utility, sampling);
      setTopApps(processes.groups);
      auto classifying = [find = services.developerTools, ownerHome = services.ownerHome, processes] {
        return find(processes, ownerHome());
      };
      const auto tools = co_await runOn(Pool::utility, classifying);
      assign(idleDaemons_, idleDaemonsOf(tools), &BackgroundMonitor::idleDaemonsChanged);
      trackIdleServers(ofKind(tools, DeveloperTool::Kind::devServer));
    }
    emit refreshed();
    served.releaseAll();
  } while (refreshAgain);
  refreshing = false;
}

void BackgroundMonitor::readDemo() {
  const auto& home = model.environment().home;
  const auto now = model.scheduler().now();
  assign(memory_, std::optional(DemoMac::memory(DemoMac::memory(model.demoGone(), home))),
         &BackgroundMonitor::memoryChanged);
  model.refreshDisk();
  assign(disk_, model.disk(), &BackgroundMonitor::diskChanged);
  setTopApps(DemoMac::sample(home, model.demoGone(), now).groups);
  const auto tools = DemoMac::developerTools(home, model.demoGone(), now);
  assign(idleDaemons_, idleDaemonsOf(tools), &BackgroundMonitor::idleDaemonsChanged);
  assign(devServers_, ofKind(tools, DeveloperTool::Kind::devServer), &BackgroundMonitor::devServersChanged);
  assign(idleTimes_, DemoMac::idleTimes(tools), &BackgroundMonitor::idleTimesChanged);
}

void BackgroundMonitor::setTopApps(const std::vector<ProcessGroup>& groups) {
  std::vector<ProcessGroup> top;
  for (const auto& group : groups) {
    if (top.size() == 3) break;
    if (!group.isSystemService) top.push_back(group);
  }
  topApps_ = std::move(top);
  emit topAppsChanged();
}

// --- Alerts

void BackgroundMonitor::checkAlerts() {
  const auto now = model.scheduler().now();
  const bool memoryOn = preferences.boolValue(Preference::alertWhenMemoryIsTight);
  if (AlertRules::memoryAlertDue(memoryWatch, memory_, memoryOn, now))
    notifications.post(Notifier::memoryAlert(memory_->pressure, topApps_));
  const bool diskOn = preferences.boolValue(Preference::alertWhenDiskIsLow);
  auto lastDiskAlert = storedTime(Preference::lastDiskAlert);
  if (AlertRules::diskAlertDue(lastDiskAlert, disk_, diskOn, now)) {
    storeTime(Preference::lastDiskAlert, *lastDiskAlert);
    notifications.post(Notifier::diskAlert(disk_->available));
  }
}

std::optional<BackgroundMonitor::TimePoint> BackgroundMonitor::storedTime(const QString& key) const {
  const auto date = preferences.date(key);
  if (!date) return std::nullopt;
  return TimePoint(std::chrono::milliseconds(date->toMSecsSinceEpoch()));
}

void BackgroundMonitor::storeTime(const QString& key, TimePoint time) {
  preferences.setDate(key, QDateTime::fromMSecsSinceEpoch(
                               std::chrono::duration_cast<std::chrono::milliseconds>(time.time_since_epoch()).count()));
}

}  // namespace tidra
