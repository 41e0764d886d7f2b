#include "views/performance/PerformanceTexts.h"

#include "performance/SlownessCheck.h"
#include "views/Formats.h"

#include <QCoreApplication>
#include <QLocale>

#include <algorithm>

namespace tidra::PerformanceTexts {

namespace {

QString tr(const char* text) { return QCoreApplication::translate("PerformanceView", text); }

QString oneDecimal(double value) { return QLocale().toString(value, 'f', 1); }

}  // namespace

QString usedOfTotal(const MemorySnapshot& memory) {
  return tr("%1 of %2 in use").arg(Formats::memory(memory.used()), Formats::memory(memory.total));
}

QString diagnosisTitle() { return tr("Why Is My Computer Slow?"); }

BarShares barShares(const MemorySnapshot& memory) {
  const double divisor = std::max<double>(static_cast<double>(memory.total), 1.0);
  return {memory.app / divisor, memory.wired / divisor, memory.compressed / divisor, memory.cached / divisor};
}

QString barAccessibility(const MemorySnapshot& memory) {
  return QStringLiteral("Apps %1, system %2, compressed %3, file cache %4")
      .arg(Formats::memory(memory.app), Formats::memory(memory.wired), Formats::memory(memory.compressed),
           Formats::memory(memory.cached));
}

QString fileCacheLabel() { return tr("File cache"); }

QString advice(const MemorySnapshot& memory) {
  switch (memory.pressure) {
    case MemorySnapshot::Pressure::warning:
      return QStringLiteral(
          "The system is compressing memory to keep up, which is what makes things feel sluggish. Quitting an app "
          "you are not using is the only thing that relieves it.");
    case MemorySnapshot::Pressure::critical:
      return QStringLiteral(
          "The system is out of room and is swapping to disk. Quit the largest apps you can do without.");
    case MemorySnapshot::Pressure::normal:
      break;
  }
  // Compared as a fifth of the total, so no product can overflow.
  const bool compressing =
      memory.compressed > memory.total / 5 || (memory.compressed == memory.total / 5 && memory.total % 5 == 0);
  if (compressing)
    return QStringLiteral(
               "The system is coping, but only by compressing %1 of memory. Quitting a large app you are not using "
               "gives it room again.")
        .arg(Formats::memory(memory.compressed));
  return QStringLiteral(
      "Nothing to do. The system hands file cache back the moment an app needs it, so a full bar is not a problem "
      "by itself.");
}

std::vector<ProcessGroup> listedGroups(const std::vector<ProcessGroup>& groups) {
  const auto count = std::min(groups.size(), kMaxProcessRows);
  return {groups.begin(), groups.begin() + static_cast<std::ptrdiff_t>(count)};
}

double largest(const std::vector<ProcessGroup>& listed) {
  if (listed.empty()) return 1.0;
  return std::max<double>(static_cast<double>(listed.front().memoryBytes), 1.0);
}

bool canQuit(const ProcessGroup& group, pid_t ownPid) {
  return !group.isSystemService && std::find(group.pids.begin(), group.pids.end(), ownPid) == group.pids.end() &&
         !SlownessCheck::isProtected(group);
}

QString processCaption(const ProcessGroup& group) {
  if (group.isSystemService) return tr("Part of the system");
  if (group.pids.size() == 1) return tr("1 process");
  return tr("%1 processes").arg(static_cast<qlonglong>(group.pids.size()));
}

QString processHelp(const ProcessGroup& group) {
  if (group.isSystemService) return QStringLiteral("Part of the system. It is managed by the system.");
  return QString::fromStdString(group.name);
}

QString cpuText(double percent) { return oneDecimal(percent) + QStringLiteral(" %"); }

QString quitMenuTitle(const ProcessGroup& group) { return tr("Quit %1…").arg(QString::fromStdString(group.name)); }

QString quitTitle(const ProcessGroup& group) { return tr("Quit %1?").arg(QString::fromStdString(group.name)); }

QString quitMessage(const ProcessGroup& group) {
  if (group.bundlePath)
    return tr("The app gets a chance to save first. Force Quit ends it at once and loses unsaved changes.");
  const QString what = group.pids.size() == 1
                           ? tr("the process")
                           : tr("all %1 processes").arg(static_cast<qlonglong>(group.pids.size()));
  return tr("This ends %1. Anything it was doing stops.").arg(what) + Formats::processLines(group.processes);
}

QString startupCaption() {
  return tr("Background items the system starts by itself. Turn off the ones you do not need in Startup "
            "Applications.");
}

QString scopeTitle(StartupItem::Scope scope) { return QString::fromUtf8(scopeText(scope)); }

std::vector<StartupItem> itemsIn(const std::vector<StartupItem>& items, StartupItem::Scope scope) {
  std::vector<StartupItem> result;
  std::copy_if(items.begin(), items.end(), std::back_inserter(result),
               [scope](const StartupItem& item) { return item.scope == scope; });
  return result;
}

QString programLine(const StartupItem& item, const std::string& home) {
  if (!item.program) return tr("No program listed");
  return Formats::tildePath(*item.program, home);
}

QString startsText(const StartupItem& item) {
  return item.startsAutomatically ? tr("Starts automatically") : tr("Starts on demand");
}

QString leftoverBadge() { return tr("Leftover: its program is gone"); }

QString removeTitle(const StartupItem& item) { return tr("Remove %1?").arg(QString::fromStdString(item.label)); }

QString removeMessage() {
  return tr("Its program is gone, so it can only fail each time it starts. Its file goes to the Trash.");
}

QString toolsCaption() { return tr("Easy to forget, and each holds memory until it is stopped."); }

// No simulators here: their tool does not exist on this desktop.
QString toolsEmptyDescription() {
  return tr("Build daemons, language servers, dev servers, emulators and Docker show up here while they run.");
}

QString toolsTotal(const std::vector<DeveloperTool>& tools) {
  std::int64_t total = 0;
  for (const auto& tool : tools) total += tool.memoryBytes;
  return Formats::memory(total) + QStringLiteral(" in total");
}

bool hasIdleBuildDaemon(const std::vector<DeveloperTool>& tools) {
  return std::any_of(tools.begin(), tools.end(), [](const DeveloperTool& tool) { return tool.isIdleDaemon(); });
}

QString toolSymbol(DeveloperTool::Kind kind) {
  switch (kind) {
    case DeveloperTool::Kind::buildDaemon: return QStringLiteral("hammer.fill");
    case DeveloperTool::Kind::languageServer: return QStringLiteral("text.cursor");
    case DeveloperTool::Kind::devServer: return QStringLiteral("network");
    case DeveloperTool::Kind::emulator: return QStringLiteral("smartphone");
    case DeveloperTool::Kind::simulator: return QStringLiteral("iphone");
    case DeveloperTool::Kind::containers: return QStringLiteral("shippingbox.fill");
  }
  return {};
}

std::optional<ToolBadge> toolBadge(const DeveloperTool& tool, std::optional<double> idleSeconds) {
  if (tool.kind != DeveloperTool::Kind::devServer) return std::nullopt;
  if (tool.clients > 0)
    return ToolBadge{ToolBadge::Kind::inUse, tr("In use"), tr("A browser tab or another client is connected to it.")};
  if (!idleSeconds || *idleSeconds < 1800) return std::nullopt;
  return ToolBadge{ToolBadge::Kind::idle,
                   QStringLiteral("Idle ") + QString::fromStdString(SlownessCheck::duration(*idleSeconds)),
                   tr("Nothing has connected to it and nothing in its folder has changed.")};
}

std::optional<QString> startedText(const DeveloperTool& tool, Date now) {
  if (!tool.started) return std::nullopt;
  return QStringLiteral("started ") + Formats::relativeDate(*tool.started, now);
}

QString toolDescription(const DeveloperTool& tool) {
  return QString::fromStdString(tool.detail) + QLatin1Char(' ') + QString::fromStdString(tool.consequence);
}

QString toolMemory(const DeveloperTool& tool) { return Formats::memory(tool.memoryBytes); }

QString toolCpu(const DeveloperTool& tool) { return oneDecimal(tool.cpuPercent) + QStringLiteral(" % CPU"); }

QString stopTitle(const DeveloperTool& tool) { return tr("Stop %1?").arg(QString::fromStdString(tool.title)); }

}  // namespace tidra::PerformanceTexts
