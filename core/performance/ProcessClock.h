#pragma once

#include <chrono>
#include <cstdint>
#include <optional>

namespace tidra::sys {
class ProcReader;
}

namespace tidra::ProcessClock {

// Clock ticks (as /proc counts CPU and start times) in nanoseconds, without overflow for
// years of CPU time.
std::uint64_t nanosFromTicks(std::uint64_t ticks);

// The machine's boot time in seconds since 1970 as the reader's root gave it the first time it
// was asked in this program run; later calls for the same root answer the same value, so start
// times computed at different moments agree even after the clock was stepped. Absent when the
// root gives none.
std::optional<std::int64_t> bootTime(const sys::ProcReader& reader);

// When a process started, from its start ticks since boot: the one conversion every start time
// of the engine goes through, so two readings of one process compare equal.
std::optional<std::chrono::system_clock::time_point> startTime(const sys::ProcReader& reader,
                                                               std::uint64_t startTicks);
std::chrono::system_clock::time_point startTime(std::int64_t bootTime, std::uint64_t startTicks);

} // namespace tidra::ProcessClock
