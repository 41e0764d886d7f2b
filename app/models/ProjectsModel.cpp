#include "models/ProjectsModel.h"

#include "Demo.h"
#include "demo/DemoMac.h"
#include "platform/FolderChooser.h"
#include "runtime/Scheduler.h"
#include "settings/Preference.h"
#include "settings/Preferences.h"

#include <QDir>

#include <algorithm>
#include <map>
#include <mutex>

namespace tidra {

using namespace std::chrono_literals;

struct ProjectsModel::StopFlag {
  std::mutex lock;
  bool stopped = false;

  void stop() {
    std::lock_guard hold(lock);
    stopped = true;
  }
  bool isStopped() {
    std::lock_guard hold(lock);
    return stopped;
  }
};

namespace {

QStringList toQt(const std::vector<std::string>& paths) {
  QStringList list;
  for (const auto& path : paths) list << QString::fromStdString(path);
  return list;
}

std::vector<std::string> fromQt(const QStringList& paths) {
  std::vector<std::string> list;
  for (const auto& path : paths) list.push_back(path.toStdString());
  return list;
}

}  // namespace

ProjectsModel::ProjectsModel(std::string home, ProjectServices services, Scheduler& scheduler,
                             Preferences& preferences, FolderChooser& folderChooser, QObject* parent)
    : QObject(parent),
      home_(std::move(home)),
      services_(std::move(services)),
      scheduler_(scheduler),
      preferences_(preferences),
      folderChooser_(folderChooser),
      guardian_(home_, "/Applications"),
      stopFlag_(std::make_shared<StopFlag>()) {
  remembersRoots_ = !Demo::isOn() && services_.realHome && home_ == services_.realHome();
  roots_ = initialRoots();
}

ProjectsModel::~ProjectsModel() = default;

std::vector<std::string> ProjectsModel::initialRoots() {
  if (Demo::isOn()) return DemoMac::projectRoots(home_);
  if (remembersRoots_)
    if (auto stored = preferences_.stringList(Preference::projectRoots)) return fromQt(*stored);
  return services_.defaultRoots(home_);
}

void ProjectsModel::setSelectedWorktrees(Paths paths) {
  if (paths == selectedWorktrees_) return;
  selectedWorktrees_ = std::move(paths);
  emit selectedWorktreesChanged();
}

void ProjectsModel::setSelectedArtifacts(Paths paths) {
  if (paths == selectedArtifacts_) return;
  selectedArtifacts_ = std::move(paths);
  emit selectedArtifactsChanged();
}

void ProjectsModel::setConfirming(bool confirming) {
  if (confirming == isConfirming_) return;
  isConfirming_ = confirming;
  emit isConfirmingChanged();
}

void ProjectsModel::setPhase(Phase phase) {
  if (phase == phase_) return;
  phase_ = std::move(phase);
  emit phaseChanged();
}

void ProjectsModel::setScan(std::optional<ProjectScan> scan) {
  scan_ = std::move(scan);
  emit scanChanged();
}

void ProjectsModel::setSummary(std::optional<CleanSummary> summary) {
  summary_ = std::move(summary);
  emit summaryChanged();
}

void ProjectsModel::chooseRoots() {
  const FolderChooser::Request request{QString::fromStdString(home_), QStringLiteral("Search These Folders"),
                                       QStringLiteral("Choose the folders that hold your projects.")};
  QPointer<ProjectsModel> self(this);
  folderChooser_.chooseFolders(request, [self](QStringList folders) {
    if (self && !folders.isEmpty()) self->setRoots(fromQt(folders));
  });
}

void ProjectsModel::setRoots(std::vector<std::string> roots) {
  if (phase_.isCleaning()) {
    pendingRoots_ = std::move(roots);
    return;
  }
  if (phase_.isScanning()) stopFlag_->stop();
  ++scanGeneration_;  // whatever the running scan returns is for the old roots
  roots_ = std::move(roots);
  emit rootsChanged();
  if (remembersRoots_) preferences_.setStringList(Preference::projectRoots, toQt(roots_));
  setScan(std::nullopt);
  setSummary(std::nullopt);
  setPhase(Phase::Idle{});
}

void ProjectsModel::scanProjects() {
  if (!phase_.isIdle() && !phase_.isReady()) return;
  setPhase(Phase::Scanning{ProjectScanner::Stage::FindingProjects{}});
  setSummary(std::nullopt);
  stopFlag_ = std::make_shared<StopFlag>();
  const auto generation = ++scanGeneration_;
  if (Demo::isOn()) demoScanFlow(generation).start(this);
  else scanFlow(roots_, stopFlag_, generation).start(this);
}

void ProjectsModel::stopScan() { stopFlag_->stop(); }

bool ProjectsModel::isCurrentScan(std::uint64_t generation) const {
  return generation == scanGeneration_ && phase_.isScanning();
}

void ProjectsModel::applyStage(std::uint64_t generation, const ProjectScanner::Stage& stage) {
  if (isCurrentScan(generation)) setPhase(Phase::Scanning{stage});
}

Flow ProjectsModel::scanFlow(std::vector<std::string> roots, std::shared_ptr<StopFlag> stop,
                             std::uint64_t generation) {
  QPointer<ProjectsModel> self(this);
  ProjectScanner::StageReport report = [self, generation](const ProjectScanner::Stage& stage) {
    postToGui([self, generation, stage] {
      if (self) self->applyStage(generation, stage);
    });
  };
  auto work = [services = services_, roots, home = home_, guard = guardian_, stop, report] {
    const auto workingDirectories = services.workingDirectories();
    return services.scan(roots, home, guard, workingDirectories, report, [stop] { return stop->isStopped(); });
  };
  auto result = co_await runOn(Pool::user, work);
  if (generation != scanGeneration_) co_return;  // the roots changed meanwhile
  if (stop->isStopped()) {
    setPhase(scan_ ? Phase{Phase::Ready{}} : Phase{Phase::Idle{}});
    co_return;
  }
  publishScan(std::move(result));
}

Flow ProjectsModel::demoScanFlow(std::uint64_t generation) {
  co_await sleepFor(scheduler_, 800ms);
  applyStage(generation, ProjectScanner::Stage::CheckingWorktrees{11});
  co_await sleepFor(scheduler_, 900ms);
  for (std::int64_t files = 0; files <= 412'000; files += 41'200) {
    applyStage(generation, ProjectScanner::Stage::Measuring{files});
    co_await sleepFor(scheduler_, 80ms);
  }
  if (generation != scanGeneration_) co_return;
  publishScan(DemoMac::projectScan(home_, scheduler_.now()));
}

void ProjectsModel::publishScan(ProjectScan scan) {
  selectDefaults(scan);
  setScan(std::move(scan));
  setPhase(Phase::Ready{});
}

void ProjectsModel::selectDefaults(const ProjectScan& scan) {
  const auto now = scheduler_.now();
  const auto worktreeCutoff = now - 86'400s;
  const auto artifactCutoff = now - 2'592'000s;
  Paths worktrees, artifacts;
  for (const auto& row : scan.worktrees)
    if (row.worktree.isFinished() && !row.isInUse && row.lastChange.value_or(Date::min()) < worktreeCutoff)
      worktrees.insert(row.worktree.path);
  for (const auto& row : scan.artifacts)
    if (row.kind.safety == Safety::safe && row.projectLastChange.value_or(Date::min()) < artifactCutoff)
      artifacts.insert(row.path);
  setSelectedWorktrees(std::move(worktrees));
  setSelectedArtifacts(std::move(artifacts));
}

std::vector<ProjectScan::WorktreeRow> ProjectsModel::removableWorktrees() const {
  if (!scan_) return {};
  std::vector<ProjectScan::WorktreeRow> rows;
  for (const auto& row : scan_->worktrees)
    if (row.worktree.canRemove()) rows.push_back(row);
  const auto offered = [](const ProjectScan::WorktreeRow& row) { return row.worktree.isFinished() && !row.isInUse; };
  std::stable_sort(rows.begin(), rows.end(), [&](const auto& a, const auto& b) {
    if (offered(a) != offered(b)) return offered(a);
    return a.realBytes > b.realBytes;
  });
  return rows;
}

std::vector<ProjectScan::WorktreeRow> ProjectsModel::keptWorktrees() const {
  if (!scan_) return {};
  std::vector<ProjectScan::WorktreeRow> rows;
  for (const auto& row : scan_->worktrees)
    if (!row.worktree.canRemove()) rows.push_back(row);
  return rows;
}

std::vector<ProjectsModel::ProjectGroup> ProjectsModel::projectGroups() const {
  if (!scan_) return {};
  std::vector<ProjectGroup> groups;
  std::map<std::string, std::size_t> indexOf;
  for (const auto& row : scan_->artifacts) {
    auto [at, added] = indexOf.try_emplace(row.projectPath, groups.size());
    if (added) groups.push_back({row.projectPath, row.projectLastChange, {}});
    groups[at->second].rows.push_back(row);
  }
  const auto total = [](const ProjectGroup& group) {
    std::int64_t sum = 0;
    for (const auto& row : group.rows) sum += row.realBytes;
    return sum;
  };
  for (auto& group : groups)
    std::stable_sort(group.rows.begin(), group.rows.end(),
                     [](const auto& a, const auto& b) { return a.realBytes > b.realBytes; });
  std::stable_sort(groups.begin(), groups.end(), [&](const auto& a, const auto& b) { return total(a) > total(b); });
  return groups;
}

std::int64_t ProjectsModel::selectedBytes() const {
  return scan_ ? scan_->freed(selectedArtifacts_, selectedWorktrees_) : 0;
}

std::vector<ProjectScan::WorktreeRow> ProjectsModel::selectedWorktreeRows() const {
  if (!scan_) return {};
  std::vector<ProjectScan::WorktreeRow> rows;
  for (const auto& row : scan_->worktrees)
    if (selectedWorktrees_.contains(row.worktree.path) && row.worktree.canRemove()) rows.push_back(row);
  return rows;
}

std::vector<ProjectScan::ArtifactRow> ProjectsModel::selectedArtifactRows() const {
  if (!scan_) return {};
  std::vector<ProjectScan::ArtifactRow> rows;
  for (const auto& row : scan_->artifacts)
    if (selectedArtifacts_.contains(row.path)) rows.push_back(row);
  return rows;
}

bool ProjectsModel::sizesDifferFromFinder() const {
  if (!scan_) return false;
  std::int64_t apparent = 0, real = 0;
  for (const auto& row : scan_->worktrees) apparent += row.apparentBytes, real += row.realBytes;
  for (const auto& row : scan_->artifacts) apparent += row.apparentBytes, real += row.realBytes;
  return real + real / 2 < apparent;
}

QString ProjectsModel::label(const ProjectScan::WorktreeRow& row) { return QString::fromStdString(row.worktree.name()); }

QString ProjectsModel::label(const ProjectScan::ArtifactRow& row) {
  return QString::fromStdString(row.projectName() + "/" + row.relativePath());
}

}  // namespace tidra
