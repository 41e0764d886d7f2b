#include "models/IdleServerTracker.h"

#include "models/Notifier.h"

namespace tidra {

IdleServerTracker::IdleServerTracker(const std::function<std::unique_ptr<FolderActivity>()>& newFolderActivity)
    : activity(newFolderActivity()) {}

std::map<std::string, double> IdleServerTracker::track(const std::vector<DeveloperTool>& list, TimePoint now) {
  std::vector<std::string> folders;
  for (const auto& server : list)
    if (server.folder) folders.push_back(*server.folder);
  activity->watch(folders);
  servers.observe(list, activity->lastChanges(), now);

  std::map<std::string, double> idle;
  for (const auto& server : list)
    if (const auto time = servers.idleTime(server, now)) idle[server.id] = time->count();
  return idle;
}

std::vector<DeveloperTool> IdleServerTracker::takeIdle(const std::vector<DeveloperTool>& list,
                                                       std::chrono::seconds threshold, TimePoint now) {
  return servers.takeIdle(list, threshold, now);
}

void IdleServerTracker::keep(const std::string& id) { servers.keep(id); }

bool IdleServerTracker::sameRun(const std::optional<TimePoint>& started, const std::optional<double>& startedSeconds) {
  if (!started || !startedSeconds) return !started && !startedSeconds;
  return Notifier::secondsSince1970(*started) == *startedSeconds;
}

}  // namespace tidra
