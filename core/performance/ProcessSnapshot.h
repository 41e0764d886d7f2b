#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tidra {

// One process in one sample. Texts are raw bytes as the kernel gives them (a path need not be
// valid UTF-8).
struct ProcessSnapshot {
    pid_t pid = 0;
    // 0 when it cannot be read.
    pid_t parentPID = 0;
    // Full path of the executable; empty when it cannot be read. A replaced or removed
    // executable keeps the path it was started from.
    std::string path;
    // Last component of `path`, else the kernel's short process name, else "pid <pid>".
    std::string name;
    // The process's own memory (resident anonymous + shared memory + swapped out), in bytes:
    // the figure every memory threshold of the engine is compared with.
    std::int64_t memoryBytes = 0;
    // CPU use since the previous sample of the same sampler, in percent of one processor (two
    // busy cores read about 200); 0 on a sampler's first sample and for a process new since.
    double cpuPercent = 0;
    // Executable path of the process held responsible for this one; always empty on Linux,
    // which has no such notion. Kept so the grouping rules work on data that carries it.
    std::string responsiblePath;
    // When the process started, to whole clock ticks (1/100 s). Stable for the life of the
    // process within one program run, so (pid, started) identifies a process: compare it
    // before sending a signal. Absent when it cannot be read.
    std::optional<std::chrono::system_clock::time_point> started;
    // The argument vector, program name first; empty when it cannot be read.
    std::vector<std::string> arguments;
    // The working folder; absent when it cannot be read.
    std::optional<std::string> folder;
    // The process's control group in the unified hierarchy ("/user.slice/.../app-firefox-12.scope");
    // empty when it cannot be read. A desktop launches each app in a unit of its own.
    std::string cgroup;
    // The running session stands on it: Tidra itself or one of its ancestors, the leader of
    // Tidra's session, the owner of one of the session's sockets or one of that owner's
    // ancestors (see SessionProcesses). Never offered to quit, never signalled.
    bool isSessionProcess = false;

    bool operator==(const ProcessSnapshot&) const = default;
};

} // namespace tidra
