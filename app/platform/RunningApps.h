#pragma once

#include "apps/InstalledApps.h"

#include <sys/types.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

namespace tidra {

// One running process of an installed app. The start time travels with the pid, so a quit
// request can never reach a process that took over the pid later.
struct RunningInstance {
  pid_t pid = 0;
  std::chrono::system_clock::time_point started;
  bool operator==(const RunningInstance&) const = default;
};

// The running instances of installed apps and the polite request to quit them.
// `instances` blocks on /proc and may run on a worker; the other two are cheap.
class RunningApps {
public:
  virtual ~RunningApps() = default;

  // The app's processes, in pid order: those running from inside its bundle, its program or
  // its program's folder, its AppImage file or that AppImage's mount, or inside its Flatpak's
  // sandbox; never this program's own process. None for the system's apps, which are never
  // removed here.
  virtual std::vector<RunningInstance> instances(const InstalledApp& app) const = 0;
  // Asks the process to quit (SIGTERM, never a forced kill), only when it still is the process
  // that started at `started`.
  virtual void requestQuit(const RunningInstance& instance) const = 0;
  // True once that process is gone: ended, a zombie, or its pid now belongs to another.
  virtual bool isTerminated(const RunningInstance& instance) const = 0;

  // Reads processes below `procRoot`; signals go to live pids through the engine's checks.
  // `ownPid` is this program's process (0: the calling process's).
  static std::shared_ptr<RunningApps> live(std::string procRoot = "/proc", pid_t ownPid = 0);
};

}  // namespace tidra
