#include "platform/ThermalZones.h"

#include "platform/SmallFile.h"

#include <dirent.h>

#include <algorithm>
#include <charconv>
#include <memory>

namespace tidra::sys::ThermalZones {
namespace {

constexpr std::size_t kMaximumFileBytes = 4096;
constexpr long long kWarmMargin = 10'000;
// Zones list their trips without gaps; the bound only keeps a broken fixture from looping.
constexpr int kMaximumTrips = 256;

std::optional<std::string> readText(const std::string& path) {
    return readSmallFile(path, kMaximumFileBytes);
}

std::string_view trimmedEnd(std::string_view text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.remove_suffix(1);
    return text;
}

std::vector<Trip> tripsOf(const std::string& zone) {
    std::vector<Trip> trips;
    for (int i = 0; i < kMaximumTrips; ++i) {
        const std::string prefix = zone + "/trip_point_" + std::to_string(i) + "_";
        const auto type = readText(prefix + "type");
        if (!type) break;
        const auto text = readText(prefix + "temp");
        const auto temperature = text ? parseMilliCelsius(*text) : std::nullopt;
        if (temperature) trips.push_back({std::string(trimmedEnd(*type)), *temperature});
    }
    return trips;
}

Level levelOfZone(const std::string& zone) {
    const auto text = readText(zone + "/temp");
    const auto temperature = text ? parseMilliCelsius(*text) : std::nullopt;
    return temperature ? zoneLevel(*temperature, tripsOf(zone)) : Level::normal;
}

std::vector<std::string> zoneFolders(const std::string& root) {
    std::vector<std::string> zones;
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(root.c_str()), ::closedir);
    if (!dir) return zones;
    while (const dirent* entry = ::readdir(dir.get())) {
        if (std::string_view(entry->d_name).starts_with("thermal_zone")) zones.push_back(root + "/" + entry->d_name);
    }
    return zones;
}

} // namespace

Level zoneLevel(long long milliCelsius, const std::vector<Trip>& trips) {
    Level level = Level::normal;
    for (const auto& trip : trips) {
        if (trip.milliCelsius <= 0) continue;
        Level reached = Level::normal;
        if (trip.type == "critical" && milliCelsius >= trip.milliCelsius)
            reached = Level::critical;
        else if ((trip.type == "hot" || trip.type == "passive") && milliCelsius >= trip.milliCelsius)
            reached = Level::hot;
        else if (trip.type == "passive" && milliCelsius >= trip.milliCelsius - kWarmMargin)
            reached = Level::warm;
        level = std::max(level, reached);
    }
    return level;
}

Level level(const std::string& root) {
    Level hottest = Level::normal;
    for (const auto& zone : zoneFolders(root)) hottest = std::max(hottest, levelOfZone(zone));
    return hottest;
}

std::optional<long long> parseMilliCelsius(std::string_view text) {
    text = trimmedEnd(text);
    long long value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end) return std::nullopt;
    return value;
}

} // namespace tidra::sys::ThermalZones
