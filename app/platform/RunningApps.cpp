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
    std::vector<RunningInstance> found;
    if (app.needsPassword && app.kind != AppKind::bundle) return found;  // never removed here, so never asked to quit
    for (pid_t pid : reader.pids()) {
      if (!belongsTo(pid, app)) continue;
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
  bool belongsTo(pid_t pid, const InstalledApp& app) const {
    const std::string folder = std::to_string(pid) + "/";
    switch (app.kind) {
      case AppKind::bundle: return reader.executable(pid).value_or("").starts_with(app.path + "/");
      case AppKind::program: return reader.executable(pid) == app.path;
      // The AppImage runtime runs from the file; what it starts from its mount carries the
      // file's path in $APPIMAGE.
      case AppKind::appImage:
        return reader.executable(pid) == app.path ||
               ('\0' + reader.file(folder + "environ").value_or("")).find('\0' + ("APPIMAGE=" + app.path) + '\0') !=
                   std::string::npos;
      // flatpak(1) puts /.flatpak-info, naming the app, at the root of every sandbox.
      default:
        return reader.file(folder + "root/.flatpak-info").value_or("").find("\nname=" + app.bundleID + "\n") !=
               std::string::npos;
    }
  }

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
