#include "models/AlertRules.h"

#include <algorithm>

namespace tidra::AlertRules {

namespace {

bool spaced(const std::optional<TimePoint>& last, std::chrono::seconds spacing, TimePoint now) {
  return !last || now - *last >= spacing;
}

}  // namespace

bool memoryAlertDue(MemoryWatch& watch, const std::optional<MemorySnapshot>& memory, bool enabled, TimePoint now) {
  if (!memory || memory->pressure == MemorySnapshot::Pressure::normal) {
    watch.tightSince.reset();
    return false;
  }
  if (!watch.tightSince) watch.tightSince = now;
  if (!enabled || now - *watch.tightSince < memoryPressureHeld) return false;
  if (!spaced(watch.lastAlert, memoryAlertSpacing, now)) return false;
  watch.lastAlert = now;
  return true;
}

std::int64_t lowDiskThreshold(std::int64_t total) { return std::max(diskFloor, total / 10); }

bool diskAlertDue(std::optional<TimePoint>& lastAlert, const std::optional<DiskUsage>& disk, bool enabled,
                  TimePoint now) {
  if (!disk || !enabled) return false;
  if (disk->available >= lowDiskThreshold(disk->total)) return false;
  if (!spaced(lastAlert, diskAlertSpacing, now)) return false;
  lastAlert = now;
  return true;
}

bool weeklyCheckDue(TimePoint last, TimePoint now) { return last > now || now - last >= weeklyInterval; }

std::chrono::seconds idleThreshold(int hours) { return std::chrono::hours(std::max(1, hours)); }

}  // namespace tidra::AlertRules
