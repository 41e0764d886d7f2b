#include "system/SystemStats.h"

#include "platform/FileStore.h"
#include "platform/VolumeFigures.h"

#include <algorithm>
#include <charconv>
#include <initializer_list>
#include <map>
#include <sstream>
#include <string_view>

namespace tidra::SystemStats {
namespace {

using Fields = std::map<std::string, std::int64_t, std::less<>>;

std::int64_t saturatingAdd(std::int64_t a, std::int64_t b) {
    std::int64_t sum = 0;
    return __builtin_add_overflow(a, b, &sum) ? INT64_MAX : sum;
}

// "Name:   12345 kB" → bytes. Values beyond 64 bits, and lines of another shape, are left out.
void addField(Fields& fields, std::string_view line) {
    const auto colon = line.find(':');
    if (colon == std::string_view::npos) return;
    std::string_view rest = line.substr(colon + 1);
    const auto start = rest.find_first_not_of(' ');
    if (start == std::string_view::npos) return;
    rest.remove_prefix(start);
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(rest.data(), rest.data() + rest.size(), value);
    if (error != std::errc() || value < 0) return;
    const std::string_view unit = rest.substr(std::size_t(end - rest.data()));
    std::int64_t bytes = value;
    if (unit == " kB" && __builtin_mul_overflow(value, std::int64_t(1024), &bytes)) return;
    if (unit != " kB" && !unit.empty()) return;
    fields.emplace(std::string(line.substr(0, colon)), bytes);
}

Fields parseMeminfo(const std::string& text) {
    Fields fields;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) addField(fields, line);
    return fields;
}

std::int64_t sum(const Fields& fields, std::initializer_list<std::string_view> names) {
    std::int64_t total = 0;
    for (const auto name : names)
        if (const auto found = fields.find(name); found != fields.end()) total = saturatingAdd(total, found->second);
    return total;
}

std::int64_t freePercentOf(const Fields& fields) {
    const auto total = fields.find("MemTotal");
    const auto available = fields.find("MemAvailable");
    if (total == fields.end() || available == fields.end() || total->second <= 0) return 100;
    const std::int64_t percent = available->second <= INT64_MAX / 100
                                     ? available->second * 100 / total->second
                                     : std::int64_t(double(available->second) / double(total->second) * 100);
    return std::clamp<std::int64_t>(percent, 0, 100);
}

// The avg10 figure of the "some" or "full" line of a PSI text.
std::optional<double> pressureAverage(const std::string& text, std::string_view kind) {
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        if (!line.starts_with(std::string(kind) + " ")) continue;
        const auto at = line.find(" avg10=");
        if (at == std::string::npos) return std::nullopt;
        const char* first = line.data() + at + 7;
        double value = 0;
        const auto [end, error] = std::from_chars(first, line.data() + line.size(), value);
        if (error != std::errc() || (end != line.data() + line.size() && *end != ' ')) return std::nullopt;
        return value;
    }
    return std::nullopt;
}

MemorySnapshot::Pressure pressureOf(std::int64_t freePercent, const std::optional<std::string>& psi) {
    const auto some = psi ? pressureAverage(*psi, "some") : std::nullopt;
    const auto full = psi ? pressureAverage(*psi, "full") : std::nullopt;
    if ((full && *full >= 10) || freePercent < 5) return MemorySnapshot::Pressure::critical;
    if ((some && *some >= 10) || freePercent < 15) return MemorySnapshot::Pressure::warning;
    return MemorySnapshot::Pressure::normal;
}

std::optional<std::string> readIfPresent(const std::string& path) {
    auto contents = sys::FileStore::read(path);
    if (contents.status != sys::FileStore::Contents::Status::ok) return std::nullopt;
    return std::move(contents.data);
}

} // namespace

std::optional<DiskUsage> diskFromBlocks(std::uint64_t blocks, std::uint64_t blocksFree,
                                        std::uint64_t blocksAvailable, std::uint64_t fragmentSize) {
    std::int64_t total = 0, available = 0, reserved = 0;
    if (blocksAvailable > blocksFree || blocksFree > blocks || __builtin_mul_overflow(blocks, fragmentSize, &total) ||
        __builtin_mul_overflow(blocksAvailable, fragmentSize, &available) ||
        __builtin_mul_overflow(blocksFree - blocksAvailable, fragmentSize, &reserved))
        return std::nullopt;
    return DiskUsage{total, available, reserved};
}

std::optional<DiskUsage> disk(const std::string& folder) {
    const auto figures = sys::volumeFigures(folder);
    if (!figures) return std::nullopt;
    return diskFromBlocks(figures->blocks, figures->blocksFree, figures->blocksAvailable, figures->fragmentSize);
}

MemorySnapshot memoryFrom(const std::string& meminfo, const std::optional<std::string>& pressure) {
    const Fields fields = parseMeminfo(meminfo);
    MemorySnapshot snapshot;
    snapshot.total = sum(fields, {"MemTotal"});
    snapshot.app = sum(fields, {"AnonPages"});
    snapshot.wired = sum(fields, {"Unevictable", "KernelStack", "PageTables", "SUnreclaim"});
    snapshot.compressed = sum(fields, {"Zswap"});
    snapshot.cached = sum(fields, {"Active(file)", "Inactive(file)", "SReclaimable"});
    snapshot.swapUsed = std::max<std::int64_t>(0, sum(fields, {"SwapTotal"}) - sum(fields, {"SwapFree"}));
    snapshot.freePercent = freePercentOf(fields);
    snapshot.pressure = pressureOf(snapshot.freePercent, pressure);
    return snapshot;
}

MemorySnapshot memory(const std::string& procRoot) {
    return memoryFrom(readIfPresent(procRoot + "/meminfo").value_or(""), readIfPresent(procRoot + "/pressure/memory"));
}

} // namespace tidra::SystemStats
