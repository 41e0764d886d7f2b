#include "platform/RunningApps.h"

#include "performance/DeveloperTools.h"
#include "performance/ProcessClock.h"
#include "platform/ProcReader.h"

#include <optional>

namespace tidra {

namespace {

class LiveRunningApps final : public RunningApps {
public:
  explicit LiveRunningApps(std::string procRoot) : reader(std::move(procRoot)) {}

  std::vector<RunningInstance> instances(const InstalledApp& app) const override {
    const std::string inside = app.path + "/";
    std::vector<RunningInstance> found;
    for (pid_t pid : reader.pids()) {
      const auto executable = reader.executable(pid);
      if (!executable || !executable->starts_with(inside)) continue;
      if (const auto started = startTime(pid)) found.push_back({pid, *started});
    }
    return found;
  }

  void requestQuit(const RunningInstance& instance) const override {
    DeveloperTools::terminate(instance.pid, instance.started);
  }

  bool isTerminated(const RunningInstance& instance) const override {
    // A zombie keeps its stat but has no executable any more.
    return startTime(instance.pid) != instance.started || !reader.executable(instance.pid);
  }

private:
  std::optional<std::chrono::system_clock::time_point> startTime(pid_t pid) const {
    const auto stat = reader.stat(pid);
    if (!stat) return std::nullopt;
    return ProcessClock::startTime(reader, stat->startTicks);
  }

  sys::ProcReader reader;
};

}  // namespace

std::shared_ptr<RunningApps> RunningApps::live(std::string procRoot) {
  return std::make_shared<LiveRunningApps>(std::move(procRoot));
}

}  // namespace tidra
