#pragma once

#include "performance/DeveloperTool.h"
#include "performance/FolderActivity.h"
#include "performance/IdleServers.h"

#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tidra {

// How long each running dev server has gone unused: its clients and the changes in its
// project folder, watched through folder activity. Owned and called on the GUI thread; time
// comes in as `now`.
class IdleServerTracker {
public:
  using TimePoint = std::chrono::system_clock::time_point;

  // The folder activity is made at once, and watches nothing until the first track().
  explicit IdleServerTracker(const std::function<std::unique_ptr<FolderActivity>()>& newFolderActivity);

  // Takes in the dev servers of a fresh reading: watches exactly their folders and answers
  // the idle seconds of each server whose idle time is known, by id.
  std::map<std::string, double> track(const std::vector<DeveloperTool>& servers, TimePoint now);

  // The servers of `servers`, in order, idle for at least `threshold` and neither reported
  // nor kept; each one returned counts as reported from now on.
  std::vector<DeveloperTool> takeIdle(const std::vector<DeveloperTool>& servers, std::chrono::seconds threshold,
                                      TimePoint now);

  // The server keeps running and is not reported again in this run; unknown ids are ignored.
  void keep(const std::string& id);

  // Whether a notification's start time (seconds since 1970, as it travelled) names this run
  // of a server: equal numbers, or both unknown.
  static bool sameRun(const std::optional<TimePoint>& started, const std::optional<double>& startedSeconds);

private:
  std::unique_ptr<FolderActivity> activity;
  IdleServers servers;
};

}  // namespace tidra
