#include "views/menubar/MenuBarTexts.h"

#include "views/Formats.h"
#include "views/design/Brand.h"
#include "views/diagnosis/DiagnosisTexts.h"


#include <algorithm>

namespace tidra::MenuBarTexts {

using Theme::Role;

std::vector<Theme::Tint> pressureColors(MemorySnapshot::Pressure pressure) {
  switch (pressure) {
    case MemorySnapshot::Pressure::normal: return {Role::green, Brand::teal()};
    case MemorySnapshot::Pressure::warning: return {Role::yellow, Role::orange};
    case MemorySnapshot::Pressure::critical: return {Role::orange, Role::red};
  }
  return {};
}

static QString pressureTitle(MemorySnapshot::Pressure pressure) {
  switch (pressure) {
    case MemorySnapshot::Pressure::normal: return QStringLiteral("Memory is fine");
    case MemorySnapshot::Pressure::warning: return QStringLiteral("Memory is tight");
    case MemorySnapshot::Pressure::critical: return QStringLiteral("Memory is very low");
  }
  return {};
}

Gauge memoryGauge(const MemorySnapshot& memory) {
  const std::int64_t used = memory.used();
  return {pressureTitle(memory.pressure),
          Formats::memory(used) + QStringLiteral(" of ") + Formats::memory(memory.total),
          double(used) / double(std::max<std::int64_t>(memory.total, 1)), pressureColors(memory.pressure),
          QStringLiteral("memorychip")};
}

Gauge diskGauge(const DiskUsage& disk) {
  return {Formats::bytes(disk.available) + QStringLiteral(" free"), QStringLiteral("of ") + Formats::bytes(disk.total),
          disk.usedFraction(), {Brand::blue(), Brand::violet()}, QStringLiteral("internaldrive")};
}

double memoryShare(std::int64_t bytes, const std::optional<MemorySnapshot>& memory) {
  const std::int64_t divisor = memory ? std::max<std::int64_t>(memory->total, 1) : 1;
  return double(bytes) / double(divisor);
}

std::vector<DeveloperTool> idleServers(const std::vector<DeveloperTool>& servers,
                                       const std::map<std::string, double>& idleTimes) {
  std::vector<DeveloperTool> idle;
  for (const auto& server : servers) {
    const auto seconds = idleTimes.find(server.id);
    if (server.clients == 0 && seconds != idleTimes.end() && seconds->second >= kIdleSeconds) idle.push_back(server);
  }
  return idle;
}

static QString countTitle(int count, const QString& one, const QString& many) {
  return count == 1 ? one : QString::number(count) + many;
}

QString idleServersTitle(int count) {
  return countTitle(count, QStringLiteral("1 dev server is idle"), QStringLiteral(" dev servers are idle"));
}

QString idleDaemonsTitle(int count) {
  return countTitle(count, QStringLiteral("1 build daemon is idle"), QStringLiteral(" build daemons are idle"));
}

QString holding(const std::vector<DeveloperTool>& tools) {
  std::int64_t bytes = 0;
  for (const auto& tool : tools) bytes += tool.memoryBytes;
  return QStringLiteral("Holding ") + Formats::memory(bytes);
}

QString stopsHelp(const std::vector<DeveloperTool>& tools) { return QStringLiteral("Stops ") + DiagnosisTexts::toolList(tools); }

QString checkButtonTitle(bool diagnosing) {
  return diagnosing ? QStringLiteral("Hide Check") : QStringLiteral("Why Is My Computer Slow?");
}

int inlineCheckHeight(std::optional<int> visibleScreenHeight) {
  const int limit = visibleScreenHeight ? std::min(*visibleScreenHeight - 520, 340) : 280;
  return std::max(limit, 160);
}

int inlineCheckRoom(std::optional<int> visibleScreenHeight, int restOfPanel) {
  const int limit = inlineCheckHeight(visibleScreenHeight);
  if (!visibleScreenHeight) return limit;
  return std::clamp(*visibleScreenHeight - restOfPanel, 0, limit);
}

}  // namespace tidra::MenuBarTexts
