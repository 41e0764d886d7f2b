#include "support/FakeRunningApps.h"

namespace tidra::test {

void FakeRunningApps::run(const std::string& bundlePath, pid_t pid, bool ignoresQuit) {
  std::lock_guard lock(mutex);
  running[bundlePath].push_back({pid, std::chrono::system_clock::time_point{std::chrono::seconds{pid}}});
  if (ignoresQuit) stubborn.insert(pid);
}

std::vector<RunningInstance> FakeRunningApps::instances(const InstalledApp& app) const {
  std::lock_guard lock(mutex);
  const auto found = running.find(app.path);
  return found == running.end() ? std::vector<RunningInstance>{} : found->second;
}

void FakeRunningApps::requestQuit(const RunningInstance& instance) const {
  std::lock_guard lock(mutex);
  requests.push_back(instance.pid);
  if (!stubborn.contains(instance.pid)) ended.insert(instance.pid);
}

bool FakeRunningApps::isTerminated(const RunningInstance& instance) const {
  std::lock_guard lock(mutex);
  return ended.contains(instance.pid);
}

std::vector<pid_t> FakeRunningApps::quitRequests() const {
  std::lock_guard lock(mutex);
  return requests;
}

}  // namespace tidra::test
