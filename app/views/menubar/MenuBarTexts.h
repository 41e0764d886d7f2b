#pragma once

#include "performance/DeveloperTool.h"
#include "system/DiskUsage.h"
#include "system/MemorySnapshot.h"
#include "views/design/Theme.h"

#include <QString>

#include <map>
#include <optional>
#include <string>
#include <vector>

// Every text and figure the menu-bar panel shows, as pure functions of the monitor's readings.
namespace tidra::MenuBarTexts {

// What one small gauge shows.
struct Gauge {
  QString title;
  QString value;
  double fraction = 0;
  std::vector<Theme::Tint> colors;
  QString symbol;
};

// Green then teal when memory is fine, yellow then orange when tight, orange then red when low.
std::vector<Theme::Tint> pressureColors(MemorySnapshot::Pressure pressure);
// "Memory is fine", "<used> of <total>"; a total below 1 counts as 1.
Gauge memoryGauge(const MemorySnapshot& memory);
// "<available> free", "of <total>"; a disk without size is drawn empty.
Gauge diskGauge(const DiskUsage& disk);

// The share of memory one app holds, for its bar: of the total, or of 1 byte (a full bar)
// without a reading.
double memoryShare(std::int64_t bytes, const std::optional<MemorySnapshot>& memory);

// The dev servers worth stopping, in list order: no client connected and idle for at least
// 30 minutes. A server whose idle time is unknown never counts.
std::vector<DeveloperTool> idleServers(const std::vector<DeveloperTool>& servers,
                                       const std::map<std::string, double>& idleTimes);
inline constexpr double kIdleSeconds = 1'800;

// "1 dev server is idle" / "<n> dev servers are idle".
QString idleServersTitle(int count);
// "1 build daemon is idle" / "<n> build daemons are idle".
QString idleDaemonsTitle(int count);
// "Holding <memory of all the tools>".
QString holding(const std::vector<DeveloperTool>& tools);
// "Stops <the tools' titles as a list>".
QString stopsHelp(const std::vector<DeveloperTool>& tools);

// "Why Is My Computer Slow?" / "Hide Check".
QString checkButtonTitle(bool diagnosing);

// How tall the inline check may grow: up to 340 on a tall screen, never below 160, and 280
// when no screen is known.
int inlineCheckHeight(std::optional<int> visibleScreenHeight);
// The same, held lower where the rest of the panel (`restOfPanel` high) would otherwise push its
// footer off the screen: the panel stays within the screen and the check scrolls instead.
int inlineCheckRoom(std::optional<int> visibleScreenHeight, int restOfPanel);

}  // namespace tidra::MenuBarTexts
