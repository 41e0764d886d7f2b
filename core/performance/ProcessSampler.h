#pragma once

#include "performance/ProcessSample.h"
#include "performance/SessionProcesses.h"

#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>

namespace tidra::sys {
class ProcReader;
struct ProcStat;
}

namespace tidra {

// Samples the processes of the machine from /proc. Keeps the CPU time of each process from its
// previous sample, so a CPU percentage covers the time since the previous sample of the same
// sampler: do not share one sampler between callers that sample at different rhythms.
// `sample()` calls are serialised; a sampler may be used from any thread.
class ProcessSampler {
public:
    struct Options {
        // The proc folder; tests point it at a fixture laid out like /proc.
        std::string procRoot = "/proc";
        // Only processes running with this effective uid are sampled (the others' files cannot
        // be read by a normal user anyway); absent means the caller's own effective uid.
        std::optional<uid_t> owner;
        // Monotonic time in nanoseconds; the elapsed time of CPU percentages.
        std::function<std::uint64_t()> monotonicNanoseconds;
        // The owner's home folder, for the "~" in program names; absent means the owner's
        // home from the password database.
        std::optional<std::string> home;
        // What the running session tells about itself; absent means the live facts when the
        // proc folder is "/proc", and none for a fixture.
        std::optional<SessionProcesses::Facts> session;
    };

    ProcessSampler();
    explicit ProcessSampler(Options options);
    ~ProcessSampler();
    ProcessSampler(const ProcessSampler&) = delete;
    ProcessSampler& operator=(const ProcessSampler&) = delete;

    // One snapshot of every process of the owner, kernel threads left out, in the order /proc
    // lists them, grouped. A process that ends or turns unreadable while it is read is left out.
    // Processes the session stands on are marked (`isSessionProcess`).
    // CPU percent is 0 on the first sample and for a process that is new since the previous
    // one (a reused pid counts as new: it is recognised by its start time). An unreadable proc
    // root gives an empty sample.
    // Most processes sit idle between samples: one whose CPU time and name did not move keeps
    // its owner and memory from the previous sample, and a process's path, arguments, folder
    // and control group are read again only when its name changed (an exec) or they are older
    // than half a minute. Its parent and CPU time are read at every sample.
    ProcessSample sample();

private:
    // A process across samples: a pid alone may be reused in between.
    struct Identity {
        pid_t pid;
        std::uint64_t startTicks;
        auto operator<=>(const Identity&) const = default;
    };
    // What the previous sample learnt of a process, so this one reads only what may have moved.
    struct Known {
        uid_t uid = 0;
        std::int64_t memoryBytes = 0;
        std::uint64_t cpuTicks = 0;
        std::string comm;
        // When the status (owner, memory) and the details (path, arguments, folder, control
        // group) were last read.
        std::uint64_t statusRead = 0;
        std::uint64_t detailsRead = 0;
        // Absent for other users' processes.
        std::optional<ProcessSnapshot> snapshot;
    };
    using KnownProcesses = std::map<Identity, Known>;
    // One process as read, before its CPU time is compared with the previous sample.
    struct Reading {
        Identity identity;
        Known known;
    };

    std::optional<Reading> read(pid_t pid, std::uint64_t now) const;
    bool needsStatus(const Known* before, const sys::ProcStat& stat, std::uint64_t now) const;
    bool needsDetails(const Known* before, const sys::ProcStat& stat, std::uint64_t now) const;
    ProcessSnapshot details(pid_t pid, const sys::ProcStat& stat) const;
    std::vector<std::optional<Reading>> readAll(const std::vector<pid_t>& pids, std::uint64_t now) const;
    double cpuPercent(const Reading& reading, std::uint64_t elapsed) const;
    const std::set<pid_t>& sessionProcesses(std::uint64_t now);

    std::mutex mutex_;
    Options options_;
    std::unique_ptr<sys::ProcReader> reader_;
    // Boot time in seconds since 1970, read once per program run: it drifts when the clock is
    // stepped, and a moving start time would make a process look new.
    std::optional<std::int64_t> bootTime_;
    // Every process of the previous sample, other users' too.
    KnownProcesses known_;
    // Monotonic time of the previous sample; 0 before the first.
    std::uint64_t previousTime_ = 0;
    // The session's processes and when they were read: finding the owners of its sockets
    // looks at every process's descriptors, and they seldom change.
    std::set<pid_t> session_;
    std::optional<std::uint64_t> sessionRead_;
};

} // namespace tidra
