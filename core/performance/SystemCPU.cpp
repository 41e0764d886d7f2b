#include "performance/SystemCPU.h"

#include "performance/ProcessClock.h"
#include "platform/PathText.h"
#include "platform/ProcReader.h"

#include <time.h>

#include <thread>
#include <utility>

namespace tidra::SystemCPU {
namespace {

// The kernel keeps 15 bytes of a command's name.
constexpr std::size_t kShortNameLength = 15;

struct Reading {
    std::string comm;
    std::uint64_t cpuNanos = 0;
};
// By (pid, start ticks): a pid reused in between is another process.
using Readings = std::map<std::pair<pid_t, std::uint64_t>, Reading>;

std::uint64_t monotonicNow() {
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return std::uint64_t(now.tv_sec) * 1'000'000'000 + std::uint64_t(now.tv_nsec);
}

Readings read(const sys::ProcReader& reader) {
    Readings readings;
    for (const pid_t pid : reader.pids()) {
        const auto stat = reader.stat(pid);
        if (stat) readings[{pid, stat->startTicks}] = {stat->comm, ProcessClock::nanosFromTicks(stat->cpuTicks)};
    }
    return readings;
}

} // namespace

std::map<std::string, double> measure(const Options& options) {
    const sys::ProcReader reader(options.procRoot);
    const auto clock = options.monotonicNanoseconds ? options.monotonicNanoseconds : monotonicNow;
    const std::uint64_t start = clock();
    const Readings before = read(reader);
    if (options.wait)
        options.wait(options.interval);
    else
        std::this_thread::sleep_for(options.interval);
    const std::uint64_t end = clock();
    const Readings after = read(reader);

    std::map<std::string, double> cpu;
    const double elapsed = double(end > start ? end - start : 1);
    for (const auto& [identity, now] : after) {
        const auto earlier = before.find(identity);
        const std::uint64_t spent =
            earlier == before.end() ? now.cpuNanos : now.cpuNanos - std::min(now.cpuNanos, earlier->second.cpuNanos);
        // Arguments are read only where they can complete a cut name.
        const std::string name = commandName(now.comm, now.comm.size() == kShortNameLength
                                                           ? reader.arguments(identity.first)
                                                           : std::vector<std::string>{});
        cpu[name] += double(spent) / elapsed * 100.0;
    }
    return cpu;
}

std::string commandName(std::string_view comm, const std::vector<std::string>& arguments) {
    if (comm.size() == kShortNameLength && !arguments.empty()) {
        const std::string_view executable = sys::PathText::lastComponent(arguments.front());
        if (executable.starts_with(comm)) return std::string(executable);
    }
    // A ps row is keyed by the text after the last "/", which kernel threads hold ("kworker/0:1").
    return std::string(sys::PathText::lastComponent(comm));
}

} // namespace tidra::SystemCPU
