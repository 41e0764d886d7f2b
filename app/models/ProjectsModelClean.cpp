#include "models/ProjectsModel.h"

#include "Demo.h"
#include "runtime/Scheduler.h"

#include <QUuid>

namespace tidra {

using namespace std::chrono_literals;

// What one removal run achieved.
struct ProjectsModel::Removal {
  Paths worktrees;
  Paths artifacts;
  std::vector<CleanReport::Failure> failures;
  std::vector<std::string> items;  // history texts, worktrees first
  // What the removals themselves took off the disk; nothing in the demo.
  std::optional<std::int64_t> freed;
  // The run's one record, written again as each row goes.
  std::string run = QUuid::createUuid().toString(QUuid::WithoutBraces).toStdString();
};

Job<ProjectsModel::RowOutcome> ProjectsModel::removeRow(CleanupAction action, std::string path,
                                                       std::string project) const {
  auto work = [services = services_, guard = guardian_, action = std::move(action), path = std::move(path),
               project = std::move(project)]() -> RowOutcome {
    if (!project.empty() && !services.onProjectsVolume(project, path))
      return {{{path, "another volume is mounted in the project"}}, false, 0};
    auto report = services.perform(guard, action);
    // Removed means gone, whatever the report says; a dangling link is still there.
    return RowOutcome{std::move(report.failures), !services.exists(path), report.freedBytes};
  };
  return runOn(Pool::user, work);
}

void ProjectsModel::clean() {
  if (!scan_ || !phase_.isReady()) return;
  auto worktrees = selectedWorktreeRows();
  auto artifacts = selectedArtifactRows();
  if (worktrees.empty() && artifacts.empty()) return;
  setSummary(std::nullopt);
  // The phase names the first row at once, so nothing else can start in between.
  setPhase(Phase::Cleaning{worktrees.empty() ? label(artifacts.front()) : label(worktrees.front())});
  if (Demo::isOn()) demoCleanFlow(*scan_, std::move(worktrees), std::move(artifacts)).start(this);
  else cleanFlow(*scan_, std::move(worktrees), std::move(artifacts)).start(this);
}

Flow ProjectsModel::cleanFlow(ProjectScan scan, std::vector<ProjectScan::WorktreeRow> worktrees,
                              std::vector<ProjectScan::ArtifactRow> artifacts) {
  Removal removal;
  removal.freed = 0;
  // Each row counts what its removal took off the disk, a part of a row that stayed included:
  // data shared through hard links counts with the row whose removal took its last link.
  const auto count = [&](const RowOutcome& outcome, Paths& gone, const std::string& path) {
    removal.failures.insert(removal.failures.end(), outcome.failures.begin(), outcome.failures.end());
    *removal.freed += outcome.freedBytes;
    if (outcome.gone) gone.insert(path);
  };
  // Recorded after each row that went, so a run killed outright loses at most the row in hand.
  const auto recordSoFar = [&] {
    removal.items = itemsOf(removal, worktrees, artifacts);
    if (onCleaned && !removal.items.empty()) onCleaned(recordOf(removal, *removal.freed));
  };
  for (const auto& row : worktrees) {
    if (finishingSoon_) break;
    setPhase(Phase::Cleaning{label(row)});
    auto job = removeRow(ProjectScan::action(row), row.worktree.path);
    count(co_await job, removal.worktrees, row.worktree.path);
    recordSoFar();
  }
  for (const auto& row : artifacts) {
    if (finishingSoon_) break;
    setPhase(Phase::Cleaning{label(row)});
    auto job = removeRow(ProjectScan::action(row), row.path, row.projectPath);
    count(co_await job, removal.artifacts, row.path);
    recordSoFar();
  }
  finishClean(scan, removal);
}

std::vector<std::string> ProjectsModel::itemsOf(const Removal& removal,
                                                const std::vector<ProjectScan::WorktreeRow>& worktrees,
                                                const std::vector<ProjectScan::ArtifactRow>& artifacts) {
  std::vector<std::string> items;
  for (const auto& row : worktrees)
    if (removal.worktrees.contains(row.worktree.path)) items.push_back("Worktree " + row.worktree.name());
  for (const auto& row : artifacts)
    if (removal.artifacts.contains(row.path)) items.push_back(label(row).toStdString());
  return items;
}

CleanupRecord ProjectsModel::recordOf(const Removal& removal, std::int64_t freed) const {
  CleanupRecord record{scheduler_.now(), "Projects", freed, removal.items, static_cast<int>(removal.failures.size())};
  record.run = removal.run;
  return record;
}

Flow ProjectsModel::demoCleanFlow(ProjectScan scan, std::vector<ProjectScan::WorktreeRow> worktrees,
                                  std::vector<ProjectScan::ArtifactRow> artifacts) {
  Removal removal;
  for (const auto& row : worktrees) {
    setPhase(Phase::Cleaning{label(row)});
    co_await sleepFor(scheduler_, 350ms);
    removal.worktrees.insert(row.worktree.path);
    removal.items.push_back("Worktree " + row.worktree.name());
  }
  for (const auto& row : artifacts) {
    setPhase(Phase::Cleaning{label(row)});
    co_await sleepFor(scheduler_, 250ms);
    removal.artifacts.insert(row.path);
    removal.items.push_back(label(row).toStdString());
  }
  finishClean(scan, removal);
}

void ProjectsModel::finishClean(const ProjectScan& scan, const Removal& removal) {
  const auto freed = removal.freed ? *removal.freed : scan.freed(removal.artifacts, removal.worktrees);
  setSummary(CleanSummary{freed, 0, 0, removal.failures});
  if (onCleaned) onCleaned(recordOf(removal, freed));
  setScan(scan.removing(removal.artifacts, removal.worktrees));
  Paths worktrees = selectedWorktrees_, artifacts = selectedArtifacts_;
  for (const auto& path : removal.worktrees) worktrees.erase(path);
  for (const auto& path : removal.artifacts) artifacts.erase(path);
  setSelectedWorktrees(std::move(worktrees));
  setSelectedArtifacts(std::move(artifacts));
  setPhase(Phase::Ready{});
  if (auto roots = std::exchange(pendingRoots_, std::nullopt)) setRoots(std::move(*roots));
}

}  // namespace tidra
