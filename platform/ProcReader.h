#pragma once

#include <sys/types.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tidra::sys {

// The fields of /proc/<pid>/stat the engine uses. Times are in clock ticks.
struct ProcStat {
    // The kernel's short name (at most 15 bytes), as raw bytes; may hold spaces and ")".
    std::string comm;
    pid_t parent = 0;
    unsigned flags = 0;
    // User plus system time of all threads.
    std::uint64_t cpuTicks = 0;
    // Start time, counted from boot.
    std::uint64_t startTicks = 0;

    bool isKernelThread() const;
};

// The fields of /proc/<pid>/status the engine uses.
struct ProcStatus {
    uid_t effectiveUid = 0;
    // RssAnon + RssShmem + VmSwap: memory that is the process's own. 0 when the kernel lists
    // none (kernel threads, zombies).
    std::int64_t memoryBytes = 0;
};

// Parsers of the two texts, separate so odd names can be tested without a process. Both answer
// nothing for text that lacks a field they need.
std::optional<ProcStat> parseStat(std::string_view text);
std::optional<ProcStatus> parseStatus(std::string_view text);

// Reads process details below one proc root ("/proc", or a fixture folder laid out the same
// way: <root>/<pid>/{stat,status,cmdline,exe,cwd,fd/}, <root>/stat, <root>/net/tcp{,6}).
// A process may end or refuse us at any moment, so every per-process read answers nothing (or
// an empty list) on failure; none of them is an error. Holds a descriptor of the root for its
// lifetime; reads share no buffers, so one reader serves several threads at once.
class ProcReader {
public:
    explicit ProcReader(std::string root = "/proc");
    ~ProcReader();
    ProcReader(const ProcReader&) = delete;
    ProcReader& operator=(const ProcReader&) = delete;

    const std::string& root() const { return root_; }

    // Process ids in listing order (ascending in the real /proc); empty when the root cannot
    // be read.
    std::vector<pid_t> pids() const;
    std::optional<ProcStat> stat(pid_t pid) const;
    std::optional<ProcStatus> status(pid_t pid) const;
    // Target of exe with the kernel's " (deleted)" mark stripped: the file the process runs,
    // even if it has since been replaced. Absent for kernel threads and other users' processes.
    std::optional<std::string> executable(pid_t pid) const;
    // The argument vector split on NUL; empty arguments kept, a missing final NUL tolerated.
    std::vector<std::string> arguments(pid_t pid) const;
    // Target of cwd; absent when unreadable, empty, or the folder was removed.
    std::optional<std::string> workingDirectory(pid_t pid) const;
    // Inodes of the process's sockets, in ascending descriptor order.
    std::vector<std::uint64_t> socketInodes(pid_t pid) const;
    // Seconds since 1970 at which the machine booted ("btime" of <root>/stat).
    std::optional<std::int64_t> bootTime() const;
    // Raw contents of a file below the root (relative path); absent when unreadable.
    std::optional<std::string> file(const std::string& relative) const;

    static long ticksPerSecond();

private:
    struct Link {
        std::string target;
        bool deleted = false;
    };
    std::optional<Link> link(pid_t pid, const char* name) const;

    std::string root_;
    int fd_ = -1;
};

} // namespace tidra::sys
