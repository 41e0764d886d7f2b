#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

// CPU use of every process on the machine over a short interval, by command name: what
// `ps -A -o pcpu=,comm=` would show if this platform's ps did not average over each process's
// whole lifetime. Fills the slowness check's `systemCPU`. No state.
namespace tidra::SystemCPU {

struct Options {
    // The proc folder; tests point it at a fixture laid out like /proc.
    std::string procRoot = "/proc";
    // Time between the two readings.
    std::chrono::milliseconds interval = std::chrono::seconds(1);
    // Waits `interval`; tests change their fixture here instead of waiting.
    std::function<void(std::chrono::milliseconds)> wait;
    // Monotonic time in nanoseconds.
    std::function<std::uint64_t()> monotonicNanoseconds;
};

// Reads the CPU time of every process (other users' and kernel threads included), waits, reads
// again, and answers percent of one processor spent in between, summed by `commandName`. A
// process that started in between counts all its time; one that ended counts nothing. Blocks
// for the interval; an unreadable proc root gives an empty map.
std::map<std::string, double> measure(const Options& options = {});

// The key of a process, as `SlownessCheck::parsePS` keys ps rows: the text after the last "/" of the kernel's
// short name, or, when that name was cut to 15 bytes, the last path component of the first
// argument it begins (the indexer "tracker-miner-fs-3" shows as "tracker-miner-f").
std::string commandName(std::string_view comm, const std::vector<std::string>& arguments);

} // namespace tidra::SystemCPU
