#include "views/overview/OverviewTexts.h"

#include "cleanup/CleanupHistory.h"
#include "views/Formats.h"
#include "views/design/Brand.h"

#include <algorithm>

namespace tidra::OverviewTexts {

namespace {

std::int64_t bytesOf(const std::map<std::string, SizeResult>& sizes, const std::string& id) {
  const auto found = sizes.find(id);
  return found == sizes.end() ? 0 : found->second.bytes;
}

double atLeastOne(std::int64_t value) { return value < 1 ? 1.0 : double(value); }

}  // namespace

Storage storage(const DiskUsage& disk, std::int64_t safeBytes) {
  Storage figures;
  figures.total = disk.total;
  figures.available = disk.available;
  figures.used = disk.used();
  figures.safe = std::min(safeBytes, figures.used);
  figures.scale = atLeastOne(disk.total);
  return figures;
}

std::vector<RingGauge::Part> ringParts(const Storage& storage) {
  QColor paleTeal = Brand::teal();
  paleTeal.setAlphaF(0.75f);
  return {
      {QStringLiteral("used"), double(storage.used - storage.safe) / storage.scale, {Brand::blue(), Brand::violet()}},
      {QStringLiteral("cleanable"), double(storage.safe) / storage.scale, {Brand::teal(), paleTeal}},
  };
}

QString availableOf(const Storage& storage) {
  return QStringLiteral("%1 available of %2").arg(Formats::bytes(storage.available), Formats::bytes(storage.total));
}

QString unavailable() { return QStringLiteral("Disk usage is unavailable."); }

std::optional<QString> scanProgress(Phase phase, int measured, int total) {
  if (phase != Phase::idle && phase != Phase::scanning) return std::nullopt;
  if (total == 0) return QStringLiteral("Looking for things to clean…");
  return QStringLiteral("Measuring %1 of %2…").arg(measured).arg(total);
}

std::vector<CleanupItem> candidates(const std::vector<CleanupItem>& visible, const std::map<std::string, SizeResult>& sizes) {
  std::vector<CleanupItem> safe;
  std::copy_if(visible.begin(), visible.end(), std::back_inserter(safe),
               [](const CleanupItem& item) { return item.safety == Safety::safe && !item.requiresAdmin; });
  std::stable_sort(safe.begin(), safe.end(), [&](const CleanupItem& a, const CleanupItem& b) {
    return bytesOf(sizes, a.id) > bytesOf(sizes, b.id);
  });
  if (safe.size() > 3) safe.erase(safe.begin() + 3, safe.end());
  return safe;
}

double candidateFraction(std::int64_t bytes, std::int64_t safeBytes) { return double(bytes) / atLeastOne(safeBytes); }

QString reviewTitle(std::int64_t safeBytes) {
  if (safeBytes <= 0) return QStringLiteral("Review and Clean");
  return QStringLiteral("Review and Clean %1").arg(Formats::bytes(safeBytes));
}

bool canReview(Phase phase, bool hasVisibleItems) { return phase == Phase::ready && hasVisibleItems; }

int finishedWorktrees(const ProjectScan& scan) {
  return int(std::count_if(scan.worktrees.begin(), scan.worktrees.end(),
                           [](const ProjectScan::WorktreeRow& row) { return row.worktree.isFinished(); }));
}

ProjectsCard projects(const std::optional<ProjectScan>& scan, bool scanning, std::int64_t selectedBytes) {
  const QString button = scan ? QStringLiteral("Review Projects") : QStringLiteral("Scan Projects");
  if (scan)
    return {ProjectsCard::Status::result, Formats::bytes(selectedBytes),
            QStringLiteral("in %1 finished worktrees and build folders of projects you have left alone.")
                .arg(finishedWorktrees(*scan)),
            button, !scanning};
  if (scanning) return {ProjectsCard::Status::scanning, {}, QStringLiteral("Scanning your projects…"), button, false};
  return {ProjectsCard::Status::teaser, {},
          QStringLiteral("Finished git worktrees and old build folders often hold tens of gigabytes."), button, true};
}

std::int64_t totalFreed(const std::vector<CleanupRecord>& records) { return CleanupHistory::totalFreed(records); }

std::vector<CleanupRecord> recent(const std::vector<CleanupRecord>& records) {
  return {records.begin(), records.begin() + std::ptrdiff_t(std::min<std::size_t>(records.size(), 3))};
}

QString memoryInUse(const MemorySnapshot& memory) {
  return QStringLiteral("%1 of %2 in use").arg(Formats::memory(memory.used()), Formats::memory(memory.total));
}

std::vector<ProcessGroup> topApps(const std::vector<ProcessGroup>& groups) {
  std::vector<ProcessGroup> apps;
  for (const auto& group : groups) {
    if (apps.size() == 3) break;
    if (!group.isSystemService) apps.push_back(group);
  }
  return apps;
}

double memoryFraction(std::int64_t bytes, std::int64_t total) { return double(bytes) / atLeastOne(total); }

std::optional<QString> developerToolsLink(const std::vector<DeveloperTool>& tools) {
  std::int64_t held = 0;
  for (const auto& tool : tools) held += tool.memoryBytes;
  if (held < 1'000'000'000) return std::nullopt;
  return QStringLiteral("Developer tools are holding %1").arg(Formats::memory(held));
}

}  // namespace tidra::OverviewTexts
