#include "platform/RunningApps.h"

#include "performance/DeveloperTools.h"
#include "performance/ProcessClock.h"
#include "platform/ProcReader.h"

#include <unistd.h>

#include <algorithm>
#include <optional>
#include <set>

namespace tidra {

namespace {

class LiveRunningApps final : public RunningApps {
public:
  LiveRunningApps(std::string procRoot, pid_t ownPid) : reader(std::move(procRoot)), ownPid(ownPid) {}

  std::vector<RunningInstance> instances(const InstalledApp& app) const override {
    std::vector<RunningInstance> found;
    if (app.needsPassword && app.kind != AppKind::bundle) return found;  // never removed here, so never asked to quit
    const auto pids = reader.pids();
    const auto mounts = app.kind == AppKind::appImage ? mountsOf(app.path, pids) : std::set<std::string>{};
    for (pid_t pid : pids) {
      if (pid == ownPid || !belongsTo(pid, app, mounts)) continue;
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
  static bool isInside(const std::string& path, const std::string& folder) {
    return !folder.empty() && path.starts_with(folder + "/");
  }

  // One variable of the process's environment; nothing when unset or unreadable.
  std::optional<std::string> variable(pid_t pid, const std::string& name) const {
    const std::string environment = '\0' + reader.file(std::to_string(pid) + "/environ").value_or("");
    const auto at = environment.find('\0' + name + '=');
    if (at == std::string::npos) return std::nullopt;
    const auto start = at + name.size() + 2;
    return environment.substr(start, environment.find('\0', start) - start);
  }

  // Where the AppImage is mounted: the runtime hands $APPIMAGE and $APPDIR (its mount) to the
  // program it starts from there. Everything started later from that program's terminal
  // inherits both, so a mount counts only where a process really runs from inside it.
  std::set<std::string> mountsOf(const std::string& image, const std::vector<pid_t>& pids) const {
    std::set<std::string> mounts;
    for (pid_t pid : pids) {
      const auto mount = variable(pid, "APPDIR");
      if (mount && variable(pid, "APPIMAGE") == image && isInside(reader.executable(pid).value_or(""), *mount))
        mounts.insert(*mount);
    }
    return mounts;
  }

  bool belongsTo(pid_t pid, const InstalledApp& app, const std::set<std::string>& mounts) const {
    const std::string folder = std::to_string(pid) + "/";
    const std::string executable = reader.executable(pid).value_or("");
    switch (app.kind) {
      case AppKind::bundle: return isInside(executable, app.path);
      case AppKind::program: return executable == app.path || isInside(executable, app.folder);
      // The AppImage runtime runs from the file, the app from its mount.
      case AppKind::appImage:
        return executable == app.path ||
               std::any_of(mounts.begin(), mounts.end(), [&](const std::string& m) { return isInside(executable, m); });
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
  pid_t ownPid;
};

}  // namespace

std::shared_ptr<RunningApps> RunningApps::live(std::string procRoot, pid_t ownPid) {
  return std::make_shared<LiveRunningApps>(std::move(procRoot), ownPid == 0 ? ::getpid() : ownPid);
}

}  // namespace tidra
