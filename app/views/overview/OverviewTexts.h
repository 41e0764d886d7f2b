#pragma once

#include "models/AppModel.h"
#include "projects/ProjectScan.h"
#include "views/design/RingGauge.h"

#include <QString>

#include <chrono>
#include <cstdint>
#include <optional>
#include <vector>

// Every text and figure the overview shows, as pure functions of the model's values.
namespace tidra::OverviewTexts {

using Phase = AppModel::CleanupPhase;

// --- Storage

struct Storage {
  std::int64_t total = 0;
  std::int64_t available = 0;
  std::int64_t used = 0;
  // What can safely go, never more than what is in use.
  std::int64_t safe = 0;
  // The ring's denominator: the total, at least 1.
  double scale = 1;
};
Storage storage(const DiskUsage& disk, std::int64_t safeBytes);
// "used" (in use less the safe part) and "cleanable", laid end to end; the rest is free.
std::vector<RingGauge::Part> ringParts(const Storage& storage);
// "31.7 GB available of 494.4 GB".
QString availableOf(const Storage& storage);
QString unavailable();

// --- Cleanup summary

// The progress line while the scan runs, nothing once it has ended.
std::optional<QString> scanProgress(Phase phase, int measured, int total);
// The three largest visible safe items that need no administrator; equal sizes keep their order.
std::vector<CleanupItem> candidates(const std::vector<CleanupItem>& visible, const std::map<std::string, SizeResult>& sizes);
// A candidate's share of everything safe to clean.
double candidateFraction(std::int64_t bytes, std::int64_t safeBytes);
// "Review and Clean 12 GB", or without a size when nothing is safe to clean.
QString reviewTitle(std::int64_t safeBytes);
bool canReview(Phase phase, bool hasVisibleItems);

// --- Projects

struct ProjectsCard {
  enum class Status { result, scanning, teaser } status;
  QString number;  // the selected bytes, with a result
  QString text;
  QString button;
  bool buttonEnabled;
};
ProjectsCard projects(const std::optional<ProjectScan>& scan, bool scanning, std::int64_t selectedBytes);
int finishedWorktrees(const ProjectScan& scan);

// --- History

// Each byte once: moves to the Trash count when made, not again when Tidra empties the Trash.
std::int64_t totalFreed(const std::vector<CleanupRecord>& records);
// The newest three.
std::vector<CleanupRecord> recent(const std::vector<CleanupRecord>& records);

// --- Memory

// "9.2 GB of 16 GB in use".
QString memoryInUse(const MemorySnapshot& memory);
// The three largest groups that are not system services, in the model's order.
std::vector<ProcessGroup> topApps(const std::vector<ProcessGroup>& groups);
double memoryFraction(std::int64_t bytes, std::int64_t total);
// "Developer tools are holding 2.1 GB" from 1 GB on; nothing below.
std::optional<QString> developerToolsLink(const std::vector<DeveloperTool>& tools);

}  // namespace tidra::OverviewTexts
