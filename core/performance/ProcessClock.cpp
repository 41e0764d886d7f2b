#include "performance/ProcessClock.h"

#include "platform/ProcReader.h"

#include <map>
#include <mutex>
#include <string>

namespace tidra::ProcessClock {

constexpr std::uint64_t kNanosPerSecond = 1'000'000'000;

std::uint64_t nanosFromTicks(std::uint64_t ticks) {
    const auto perSecond = std::uint64_t(sys::ProcReader::ticksPerSecond());
    return ticks / perSecond * kNanosPerSecond + ticks % perSecond * kNanosPerSecond / perSecond;
}

std::optional<std::int64_t> bootTime(const sys::ProcReader& reader) {
    static std::mutex mutex;
    static std::map<std::string, std::optional<std::int64_t>> known;
    const std::lock_guard lock(mutex);
    const auto it = known.find(reader.root());
    if (it != known.end()) return it->second;
    return known[reader.root()] = reader.bootTime();
}

std::optional<std::chrono::system_clock::time_point> startTime(const sys::ProcReader& reader,
                                                               std::uint64_t startTicks) {
    const auto boot = bootTime(reader);
    if (!boot) return std::nullopt;
    return startTime(*boot, startTicks);
}

std::chrono::system_clock::time_point startTime(std::int64_t bootTime, std::uint64_t startTicks) {
    const auto sinceBoot = std::chrono::nanoseconds(nanosFromTicks(startTicks));
    return std::chrono::system_clock::time_point(std::chrono::seconds(bootTime)) +
           std::chrono::duration_cast<std::chrono::system_clock::duration>(sinceBoot);
}

} // namespace tidra::ProcessClock
