#pragma once

#include "performance/DeveloperTool.h"
#include "performance/ProcessGroup.h"
#include "performance/StartupItem.h"
#include "system/MemorySnapshot.h"

#include <QString>

#include <chrono>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

// Every text and figure the Performance screen shows, as pure functions of the model's values.
namespace tidra::PerformanceTexts {

using Date = std::chrono::system_clock::time_point;

// --- Memory card
QString usedOfTotal(const MemorySnapshot& memory);
QString diagnosisTitle();
// Shares of the bar: app, wired, compressed, cached, each over the total (at least 1).
struct BarShares {
  double app = 0, wired = 0, compressed = 0, cached = 0;
};
BarShares barShares(const MemorySnapshot& memory);
QString barAccessibility(const MemorySnapshot& memory);
QString fileCacheLabel();
// The one sentence under the legend, chosen by pressure.
QString advice(const MemorySnapshot& memory);

// --- Process list
inline constexpr std::size_t kMaxProcessRows = 80;
// The groups listed: the first 80 in the model's order.
std::vector<ProcessGroup> listedGroups(const std::vector<ProcessGroup>& groups);
// The bar scale: the first group's memory, at least 1.
double largest(const std::vector<ProcessGroup>& listed);
// Never ourselves, never a part of the system, never the desktop session's own processes (the
// same rule as the slowness check's remedies).
bool canQuit(const ProcessGroup& group, pid_t ownPid);
QString processCaption(const ProcessGroup& group);
QString processHelp(const ProcessGroup& group);
// "12.3 %" in the current locale.
QString cpuText(double percent);
QString quitMenuTitle(const ProcessGroup& group);
QString quitTitle(const ProcessGroup& group);
QString quitMessage(const ProcessGroup& group);

// --- Startup items
QString startupCaption();
QString scopeTitle(StartupItem::Scope scope);
// The items of one scope in the model's order.
std::vector<StartupItem> itemsIn(const std::vector<StartupItem>& items, StartupItem::Scope scope);
QString programLine(const StartupItem& item, const std::string& home);
QString startsText(const StartupItem& item);
QString leftoverBadge();
QString removeTitle(const StartupItem& item);
QString removeMessage();

// --- Developer tools
QString toolsCaption();
// The empty state's description: the kinds of tool this desktop can have running.
QString toolsEmptyDescription();
// "<memory> in total" over every tool.
QString toolsTotal(const std::vector<DeveloperTool>& tools);
bool hasIdleBuildDaemon(const std::vector<DeveloperTool>& tools);
QString toolSymbol(DeveloperTool::Kind kind);
// Only dev servers get a badge: in use while a client is connected, else idle after 30 minutes.
struct ToolBadge {
  enum class Kind { inUse, idle } kind;
  QString text;
  QString help;
};
std::optional<ToolBadge> toolBadge(const DeveloperTool& tool, std::optional<double> idleSeconds);
// "started 2 hours ago"; nothing without a start.
std::optional<QString> startedText(const DeveloperTool& tool, Date now);
QString toolDescription(const DeveloperTool& tool);
QString toolMemory(const DeveloperTool& tool);
QString toolCpu(const DeveloperTool& tool);
QString stopTitle(const DeveloperTool& tool);

}  // namespace tidra::PerformanceTexts
