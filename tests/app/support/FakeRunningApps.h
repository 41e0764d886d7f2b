#pragma once

#include "platform/RunningApps.h"

#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

namespace tidra::test {

// Running apps without processes: the test says which bundles run and which pids ignore a
// quit request; everything asked is recorded. Safe to ask from a worker.
class FakeRunningApps final : public RunningApps {
public:
  // One running instance of the app at `bundlePath`; with `ignoresQuit` it never ends.
  void run(const std::string& bundlePath, pid_t pid, bool ignoresQuit = false);

  std::vector<RunningInstance> instances(const InstalledApp& app) const override;
  void requestQuit(const RunningInstance& instance) const override;
  bool isTerminated(const RunningInstance& instance) const override;

  std::vector<pid_t> quitRequests() const;

private:
  mutable std::mutex mutex;
  std::map<std::string, std::vector<RunningInstance>> running;
  std::set<pid_t> stubborn;
  mutable std::set<pid_t> ended;
  mutable std::vector<pid_t> requests;
};

}  // namespace tidra::test
