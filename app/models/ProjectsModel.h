#pragma once

#include "cleanup/CleanupRecord.h"
#include "cleanup/PathGuard.h"
#include "models/CleanSummary.h"
#include "models/ProjectsPhase.h"
#include "projects/ProjectScan.h"
#include "runtime/Flow.h"
#include "services/ProjectServices.h"

#include <QObject>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace tidra {

class FolderChooser;
class Preferences;
class Scheduler;

// The model behind the Projects screen and the overview's projects card: the folders searched
// for projects, the project scan with its progress and stop, the default selection of what is
// safe to remove, the lists and totals the screens show, and the removal (ProjectsModelClean.cpp).
// Lives on the GUI thread; engine work runs on the user pool.
class ProjectsModel final : public QObject {
  Q_OBJECT

public:
  using Phase = ProjectsPhase;
  using Date = std::chrono::system_clock::time_point;
  using Paths = std::set<std::string>;

  // One project's artifact rows, largest first.
  struct ProjectGroup {
    std::string path;
    std::optional<Date> lastChange;
    std::vector<ProjectScan::ArtifactRow> rows;
  };

  ProjectsModel(std::string home, ProjectServices services, Scheduler& scheduler, Preferences& preferences,
                FolderChooser& folderChooser, QObject* parent = nullptr);
  ~ProjectsModel() override;

  const Phase& phase() const { return phase_; }
  const std::optional<ProjectScan>& scan() const { return scan_; }
  const Paths& selectedWorktrees() const { return selectedWorktrees_; }
  void setSelectedWorktrees(Paths paths);
  const Paths& selectedArtifacts() const { return selectedArtifacts_; }
  void setSelectedArtifacts(Paths paths);
  bool isConfirming() const { return isConfirming_; }
  void setConfirming(bool confirming);
  const std::optional<CleanSummary>& summary() const { return summary_; }
  const std::vector<std::string>& roots() const { return roots_; }
  const std::string& home() const { return home_; }
  const PathGuard& guardian() const { return guardian_; }
  // Only the person's own home folder, outside demo mode, keeps its folders in the settings.
  bool remembersRoots() const { return remembersRoots_; }

  // Quitting: a removal under way stops after the row in hand and records what went.
  void finishSoon() { finishingSoon_ = true; }

  // Receives the record of each removal; the central model installs it.
  std::function<void(const CleanupRecord&)> onCleaned;

  // The folders searched when the person chose none.
  std::vector<std::string> usualRoots() const { return services_.defaultRoots(home_); }
  // The result banner's "Dismiss".
  void dismissSummary() { setSummary(std::nullopt); }
  // Asks for folders; confirming with at least one replaces the roots.
  void chooseRoots();
  // Replaces the roots and drops the result on show. During a scan the scan is stopped and its
  // result dropped; during a removal the change waits until the removal ends.
  void setRoots(std::vector<std::string> roots);
  // Starts a scan unless one or a removal runs.
  void scanProjects();
  // Asks the running scan to stop; its result is dropped and the earlier one stays.
  void stopScan();
  // Removes the selected worktrees, then the selected artifact folders, one at a time.
  void clean();

  std::vector<ProjectScan::WorktreeRow> removableWorktrees() const;
  std::vector<ProjectScan::WorktreeRow> keptWorktrees() const;
  std::vector<ProjectGroup> projectGroups() const;
  // What removing the selection really frees: shared data counts only once all holders go.
  std::int64_t selectedBytes() const;
  std::vector<ProjectScan::WorktreeRow> selectedWorktreeRows() const;
  std::vector<ProjectScan::ArtifactRow> selectedArtifactRows() const;
  // The apparent total exceeds one and a half times what deleting frees.
  bool sizesDifferFromFinder() const;

  // The label a row carries while it is removed, and in the history.
  static QString label(const ProjectScan::WorktreeRow& row);
  static QString label(const ProjectScan::ArtifactRow& row);

signals:
  void phaseChanged();
  void scanChanged();
  void selectedWorktreesChanged();
  void selectedArtifactsChanged();
  void isConfirmingChanged();
  void summaryChanged();
  void rootsChanged();

private:
  struct StopFlag;
  struct Removal;
  // One row's removal as the run sees it.
  struct RowOutcome {
    std::vector<CleanReport::Failure> failures;
    bool gone = false;
    // What the removal itself took off the disk.
    std::int64_t freedBytes = 0;
  };

  Flow scanFlow(std::vector<std::string> roots, std::shared_ptr<StopFlag> stop, std::uint64_t generation);
  Flow demoScanFlow(std::uint64_t generation);
  Flow cleanFlow(ProjectScan scan, std::vector<ProjectScan::WorktreeRow> worktrees,
                 std::vector<ProjectScan::ArtifactRow> artifacts);
  Flow demoCleanFlow(ProjectScan scan, std::vector<ProjectScan::WorktreeRow> worktrees,
                     std::vector<ProjectScan::ArtifactRow> artifacts);
  // `project` is the artifact's project folder, empty for a worktree.
  Job<RowOutcome> removeRow(CleanupAction action, std::string path, std::string project = {}) const;
  void finishClean(const ProjectScan& scan, const Removal& removal);
  // The history texts of the rows gone, worktrees first.
  static std::vector<std::string> itemsOf(const Removal& removal, const std::vector<ProjectScan::WorktreeRow>& worktrees,
                                          const std::vector<ProjectScan::ArtifactRow>& artifacts);
  CleanupRecord recordOf(const Removal& removal, std::int64_t freed) const;
  void applyStage(std::uint64_t generation, const ProjectScanner::Stage& stage);
  void publishScan(ProjectScan scan);
  void selectDefaults(const ProjectScan& scan);
  bool isCurrentScan(std::uint64_t generation) const;
  void setPhase(Phase phase);
  void setScan(std::optional<ProjectScan> scan);
  void setSummary(std::optional<CleanSummary> summary);
  std::vector<std::string> initialRoots();

  std::string home_;
  ProjectServices services_;
  Scheduler& scheduler_;
  Preferences& preferences_;
  FolderChooser& folderChooser_;
  PathGuard guardian_;
  bool remembersRoots_ = false;

  Phase phase_;
  std::optional<ProjectScan> scan_;
  Paths selectedWorktrees_;
  Paths selectedArtifacts_;
  bool isConfirming_ = false;
  std::optional<CleanSummary> summary_;
  std::vector<std::string> roots_;

  // Each scan has its own stop flag and number, so a stop or a late report of an earlier
  // scan never reaches a later one.
  std::shared_ptr<StopFlag> stopFlag_;
  std::uint64_t scanGeneration_ = 0;
  // Roots chosen while a removal ran, applied when it ends.
  std::optional<std::vector<std::string>> pendingRoots_;
  bool finishingSoon_ = false;
};

}  // namespace tidra
