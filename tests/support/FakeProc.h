#pragma once

#include "support/TempHome.h"

#include <sys/types.h>

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tidra::test {

// One process of a fake proc folder, with the fields the kernel would show.
struct FakeProcess {
    pid_t pid = 0;
    std::string comm = "proc";
    pid_t parent = 1;
    unsigned flags = 0;
    std::uint64_t userTicks = 0;
    std::uint64_t systemTicks = 0;
    std::uint64_t startTicks = 0;
    uid_t uid = 1000;
    std::int64_t anonKB = 0;
    std::int64_t shmemKB = 0;
    std::int64_t swapKB = 0;
    // Link targets; absent leaves the link out, as for a process we may not look into.
    std::optional<std::string> exe = {};
    std::optional<std::string> cwd = {};
    // Raw bytes of cmdline, NULs included.
    std::string cmdline = {};
    // Descriptor number and link target, e.g. {3, "socket:[1234]"}.
    std::vector<std::pair<int, std::string>> fds = {};
    // Path in the unified control-group hierarchy; empty leaves the cgroup file out.
    std::string cgroup = {};
};

// A folder laid out like /proc (per-process stat, status, cmdline, exe, cwd and fd links; the
// system-wide stat; net/tcp, net/tcp6 and net/unix), built inside a TempHome.
class FakeProc {
public:
    explicit FakeProc(TempHome& home, const std::string& relative = "proc");

    const std::string& root() const { return root_; }
    // Writes the process's files; calling again for the same pid replaces them.
    void add(const FakeProcess& process);
    void remove(pid_t pid);
    // The "btime" line of the system-wide stat.
    void setBootTime(std::int64_t secondsSince1970);
    // Whole table texts, header line included.
    void setTcp(const std::string& text);
    void setTcp6(const std::string& text);
    void setUnix(const std::string& text);

private:
    TempHome& home_;
    std::string relative_;
    std::string root_;
};

} // namespace tidra::test
