#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// How hot the machine runs, from the kernel's thermal zones (<root>/thermal_zone*/temp against
// the zone's trip points). All temperatures are in millidegrees Celsius, as sysfs writes them.
namespace tidra::sys::ThermalZones {

// Ordered from cool to worst.
enum class Level { normal, warm, hot, critical };

// One trip point of a zone: its type ("critical", "hot", "passive", "active") and temperature.
struct Trip {
    std::string type;
    long long milliCelsius = 0;
};

// The level of one zone: critical at or above a critical trip; hot at or above a hot or
// passive trip; warm within 10 °C below a passive trip; else normal. Trips at or below 0 °C
// are left out: drivers write such values for trips they do not use.
Level zoneLevel(long long milliCelsius, const std::vector<Trip>& trips);

// The hottest level of all zones below `root` (the sysfs thermal class folder; tests give a
// fixture laid out the same way). A zone whose temperature cannot be read counts as normal,
// and so does a machine without zones or an unreadable root.
Level level(const std::string& root = "/sys/class/thermal");

// A sysfs number such as "45000\n"; nothing for any other text.
std::optional<long long> parseMilliCelsius(std::string_view text);

} // namespace tidra::sys::ThermalZones
