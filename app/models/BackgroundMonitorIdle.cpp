#include "models/BackgroundMonitor.h"

#include "models/AppModel.h"
#include "models/Notifier.h"
#include "platform/Notifications.h"
#include "settings/Preference.h"
#include "settings/Preferences.h"

#include "performance/SlownessCheck.h"

#include <algorithm>

namespace tidra {

void BackgroundMonitor::trackIdleServers(std::vector<DeveloperTool> servers) {
  auto times = idleServers.track(servers, model.scheduler().now());
  assign(devServers_, std::move(servers), &BackgroundMonitor::devServersChanged);
  assign(idleTimes_, std::move(times), &BackgroundMonitor::idleTimesChanged);
}

void BackgroundMonitor::checkIdleServers() {
  const bool stopping = preferences.boolValue(Preference::stopIdleDevServers);
  // With both settings off nothing is marked, so turning one on reports at the next tick.
  if (!stopping && !preferences.boolValue(Preference::alertWhenDevServerIsIdle)) return;
  const auto threshold = AlertRules::idleThreshold(preferences.intValue(Preference::devServerIdleHours));
  for (const auto& server : idleServers.takeIdle(devServers_, threshold, model.scheduler().now())) {
    const auto idle = idleTimes_.find(server.id);
    const auto text = QString::fromStdString(SlownessCheck::duration(idle == idleTimes_.end() ? 0 : idle->second));
    if (!stopping) {
      notifications.post(Notifier::idleServer(server, text));
      continue;
    }
    stopTool(server);
    removeDevServer(server.id);
    notifications.post(Notifier::stoppedServer(server, text));
  }
}

void BackgroundMonitor::stopIdleDaemons() {
  for (const auto& daemon : std::exchange(idleDaemons_, {})) stopTool(daemon);
  emit idleDaemonsChanged();
}

void BackgroundMonitor::stopIdleServer(const DeveloperTool& server) {
  stopTool(server);
  removeDevServer(server.id);
}

void BackgroundMonitor::stopIdleServer(const std::string& id, const std::optional<double>& startedSeconds) {
  const auto same = std::find_if(devServers_.begin(), devServers_.end(), [&](const DeveloperTool& server) {
    return server.id == id && IdleServerTracker::sameRun(server.started, startedSeconds);
  });
  // Gone, or restarted since the notification was posted: that run is not ours to stop.
  if (same == devServers_.end()) return;
  stopIdleServer(DeveloperTool(*same));
}

void BackgroundMonitor::keepRunning(const std::string& id) { idleServers.keep(id); }

void BackgroundMonitor::removeDevServer(const std::string& id) {
  auto kept = devServers_;
  std::erase_if(kept, [&](const DeveloperTool& server) { return server.id == id; });
  assign(devServers_, std::move(kept), &BackgroundMonitor::devServersChanged);
}

// The model's stop: one way of stopping for every screen, the panel and the notifications.
void BackgroundMonitor::stopTool(const DeveloperTool& tool) { model.stop(tool); }

}  // namespace tidra
