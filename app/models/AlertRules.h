#pragma once

#include "system/DiskUsage.h"
#include "system/MemorySnapshot.h"

#include <chrono>
#include <cstdint>
#include <optional>

// When the background monitor speaks up: the memory and disk alerts, the weekly check's due
// date, the idle threshold of dev servers and the start-time match of a notification's server.
// Pure functions of the readings, the settings and `now`. Every elapsed-time bound is "at
// least": an alert fires when the elapsed time equals it.
namespace tidra::AlertRules {

using TimePoint = std::chrono::system_clock::time_point;

inline constexpr std::chrono::seconds memoryPressureHeld{60};
inline constexpr std::chrono::seconds memoryAlertSpacing{7'200};
inline constexpr std::chrono::seconds diskAlertSpacing{86'400};
inline constexpr std::chrono::seconds weeklyInterval{604'800};
inline constexpr std::int64_t diskFloor = 15'000'000'000;
inline constexpr std::int64_t weeklyReportThreshold = 5'000'000'000;

// What the memory alert remembers between ticks.
struct MemoryWatch {
  // Start of the current spell of pressure above normal; none while pressure is normal.
  std::optional<TimePoint> tightSince;
  std::optional<TimePoint> lastAlert;
};

// One tick of the memory alert. Times the spell whether or not the alert is on (no reading
// counts as normal), and answers true when an alert is to be posted now, which it then records.
bool memoryAlertDue(MemoryWatch& watch, const std::optional<MemorySnapshot>& memory, bool enabled, TimePoint now);

// The larger of 15 GB and a tenth of the volume.
std::int64_t lowDiskThreshold(std::int64_t total);

// One tick of the disk alert: true, and recorded in `lastAlert`, when the volume has less than
// its threshold available and no disk alert came within a day.
bool diskAlertDue(std::optional<TimePoint>& lastAlert, const std::optional<DiskUsage>& disk, bool enabled,
                  TimePoint now);

// A week after `last`. A date later than `now` (a clock set back, a copied settings file)
// counts as due too, so the check cannot stall until that date.
bool weeklyCheckDue(TimePoint last, TimePoint now);

// "devServerIdleHours" as a duration; below 1 hour counts as 1.
std::chrono::seconds idleThreshold(int hours);

}  // namespace tidra::AlertRules
