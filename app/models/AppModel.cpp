#include "models/AppModel.h"

#include "Demo.h"
#include "demo/DemoMac.h"
#include "models/ApplicationsModel.h"
#include "models/DuplicatesModel.h"
#include "models/ProjectsModel.h"
#include "models/SimilarPhotosModel.h"

#include <algorithm>
#include <utility>

namespace tidra {

namespace {

// Icons carry no equality of their own; the same cache key is the same pixmap source.
bool sameIcons(const QHash<QString, QIcon>& a, const QHash<QString, QIcon>& b) {
  if (a.size() != b.size()) return false;
  for (auto it = a.begin(); it != a.end(); ++it) {
    const auto other = b.find(it.key());
    if (other == b.end() || other->cacheKey() != it->cacheKey()) return false;
  }
  return true;
}

}  // namespace

const std::array<AppModel::PerformanceTab, 3>& AppModel::allPerformanceTabs() {
  static const std::array<PerformanceTab, 3> tabs{PerformanceTab::apps, PerformanceTab::developerTools,
                                                  PerformanceTab::startup};
  return tabs;
}

QString AppModel::rawValue(PerformanceTab tab) {
  switch (tab) {
    case PerformanceTab::apps: return QStringLiteral("Apps");
    case PerformanceTab::developerTools: return QStringLiteral("Developer Tools");
    case PerformanceTab::startup: return QStringLiteral("Startup Items");
  }
  return {};
}

std::optional<AppModel::PerformanceTab> AppModel::performanceTabFromRawValue(const QString& text) {
  for (const auto tab : allPerformanceTabs())
    if (rawValue(tab) == text) return tab;
  return std::nullopt;
}

AppModel::AppModel(CleanupEnvironment environment, AppServices services, DesktopServices desktop,
                   Scheduler& scheduler, QObject* parent)
    : QObject(parent),
      environment_(std::move(environment)),
      guardian_(environment_.home, "/Applications"),
      history_(environment_.home),
      services_(std::move(services)),
      desktop_(std::move(desktop)),
      scheduler_(scheduler) {
  const auto& home = environment_.home;
  projects_ = new ProjectsModel(home, services_.projects, scheduler_, *desktop_.preferences, *desktop_.folderChooser,
                                this);
  duplicates_ = new DuplicatesModel(services_.files, desktop_.thumbnailer, scheduler_, home, this);
  similarPhotos_ = new SimilarPhotosModel(services_.files, desktop_.thumbnailer, scheduler_, home, this);
  applications_ =
      new ApplicationsModel(services_.applications, desktop_.runningApps, desktop_.thumbnailer, scheduler_, home, this);
  diagnosis_ = new Diagnosis(services_.performance, scheduler_, this);
  records_ = Demo::isOn() ? DemoMac::history(scheduler_.now()) : services_.cleanup.loadHistory(history_);
  installHooks();
}

// Every removal anywhere ends in record(); the hooks hold the model weakly.
void AppModel::installHooks() {
  const QPointer<AppModel> self(this);
  const auto recorder = [self](bool freesSpace) {
    return [self, freesSpace](const CleanupRecord& record) {
      if (self) self->record(record, freesSpace);
    };
  };
  projects_->onCleaned = recorder(true);
  // An uninstall moves the app's caches and data away, out of rows the cleanup list shows.
  applications_->onRemoved = [self](const CleanupRecord& record) {
    if (!self) return;
    self->record(record, false);
    self->remeasureItems();
  };
  duplicates_->onTrashed = recorder(false);
  similarPhotos_->onTrashed = recorder(false);
  // A file trashed in one photo view disappears from the other.
  duplicates_->onGone = [self](const std::set<std::string>& paths) {
    if (self) self->similarPhotos_->forget(paths);
  };
  similarPhotos_->onGone = [self](const std::set<std::string>& paths) {
    if (self) self->duplicates_->forget(paths);
  };
}

AppModel::~AppModel() {
  recordUnfinishedClean();
  if (!unwritten_.empty()) flushHistory();
}

void AppModel::record(const CleanupRecord& record, bool freesSpace) {
  if (!Demo::isOn()) {
    // A later record of a run holds everything its earlier ones did.
    if (!record.run.empty())
      std::erase_if(unwritten_, [&](const CleanupRecord& earlier) { return earlier.run == record.run; });
    unwritten_.push_back(record);
    flushHistory();
    remeasureTrash();
    return;
  }
  auto records = records_;
  records.insert(records.begin(), record);
  setRecords(std::move(records));
  if (freesSpace) demoFreed_ += record.freedBytes;
  refreshDisk();
}

void AppModel::flushHistory() {
  // Older records that could not be written go first, so the newest stays in front.
  auto waiting = std::exchange(unwritten_, {});
  std::optional<std::string> problem;
  for (const auto& each : waiting)
    if (auto reason = services_.cleanup.appendHistory(history_, each)) {
      unwritten_.push_back(each);
      problem = std::move(reason);
    }
  setRecords(services_.cleanup.loadHistory(history_));
  assign(historyProblem_, problem, &AppModel::historyProblemChanged);
}

void AppModel::remeasured(const std::string& id, const SizeResult& size) {
  if (sizes_.contains(id)) setSize(id, size);
}

void AppModel::refreshDisk() {
  setDisk(Demo::isOn() ? DemoMac::disk(demoFreed_) : services_.cleanup.disk(environment_.home));
}

bool AppModel::removalsRunning() const {
  return removing_ || cleanupPhase_ == CleanupPhase::cleaning || !trashing_.empty() || startupRemovals_ > 0 ||
         projects_->phase().isCleaning() || applications_->phase() == ApplicationsModel::Phase::removing ||
         duplicates_->isMoving() || similarPhotos_->isMoving();
}

void AppModel::windDown() {
  windingDown_ = true;
  projects_->finishSoon();
  duplicates_->finishSoon();
  similarPhotos_->finishSoon();
}

AppModel::RemovalLease& AppModel::RemovalLease::operator=(RemovalLease&& other) noexcept {
  if (this != &other) {
    release();
    model = std::exchange(other.model, {});
  }
  return *this;
}

void AppModel::RemovalLease::release() {
  const auto holder = std::exchange(model, {});
  if (!holder) return;
  holder->setRemoving(false);
  // Queued: the holder finishes its own steps (its record, its phase) before the clean starts.
  if (std::exchange(holder->cleanWaiting_, false))
    QMetaObject::invokeMethod(holder, &AppModel::clean, Qt::QueuedConnection);
}

std::optional<AppModel::RemovalLease> AppModel::claimRemoval() {
  if (removing_) return std::nullopt;
  setRemoving(true);
  return RemovalLease(this);
}

void AppModel::setRemoving(bool removing) { assign(removing_, removing, &AppModel::isRemovingChanged); }

void AppModel::setRecords(std::vector<CleanupRecord> records) {
  assign(records_, std::move(records), &AppModel::recordsChanged);
}
void AppModel::setDemoGone(std::set<std::int32_t> pids) {
  assign(demoGone_, std::move(pids), &AppModel::demoGoneChanged);
}
void AppModel::setSection(std::optional<Section> section) { assign(section_, section, &AppModel::sectionChanged); }
void AppModel::setPerformanceTab(PerformanceTab tab) { assign(performanceTab_, tab, &AppModel::performanceTabChanged); }
void AppModel::setConfirmingClean(bool confirming) {
  assign(isConfirmingClean_, confirming, &AppModel::isConfirmingCleanChanged);
  if (!confirming && trashStale_) remeasureTrash();
}
void AppModel::setDisk(std::optional<DiskUsage> disk) { assign(disk_, disk, &AppModel::diskChanged); }
void AppModel::setMemory(std::optional<MemorySnapshot> memory) { assign(memory_, memory, &AppModel::memoryChanged); }
void AppModel::setDeveloperTools(std::vector<DeveloperTool> tools) {
  assign(developerTools_, std::move(tools), &AppModel::developerToolsChanged);
}
void AppModel::setCleanupPhase(CleanupPhase phase) { assign(cleanupPhase_, phase, &AppModel::cleanupPhaseChanged); }
void AppModel::setSizes(std::map<std::string, SizeResult> sizes) {
  assign(sizes_, std::move(sizes), &AppModel::sizesChanged);
}
void AppModel::setSelection(std::set<std::string> ids) {
  assign(selection_, std::move(ids), &AppModel::selectionChanged);
}
void AppModel::setCleaningTitle(std::optional<QString> title) {
  assign(cleaningTitle_, std::move(title), &AppModel::cleaningTitleChanged);
}
void AppModel::setHasFullDiskAccess(bool granted) {
  assign(hasFullDiskAccess_, granted, &AppModel::hasFullDiskAccessChanged);
}
void AppModel::setDockerStatus(DockerStatus status) {
  assign(dockerStatus_, std::move(status), &AppModel::dockerStatusChanged);
}
void AppModel::setLargeFilePhase(SearchPhase phase) {
  assign(largeFilePhase_, phase, &AppModel::largeFilePhaseChanged);
}
void AppModel::setLargeFiles(std::vector<LargeFile> files) {
  assign(largeFiles_, std::move(files), &AppModel::largeFilesChanged);
}
void AppModel::setFilesExamined(int count) { assign(filesExamined_, count, &AppModel::filesExaminedChanged); }
void AppModel::setUnreadableFolders(std::int64_t count) {
  assign(unreadableFolders_, count, &AppModel::unreadableFoldersChanged);
}
void AppModel::setLargeFileThreshold(std::int64_t bytes) {
  assign(largeFileThreshold_, bytes, &AppModel::largeFileThresholdChanged);
}
void AppModel::setTrashFailures(std::vector<CleanReport::Failure> failures) {
  assign(trashFailures_, std::move(failures), &AppModel::trashFailuresChanged);
}

// These notify on every write: the screens redraw even for an equal value.
void AppModel::setProcesses(std::vector<ProcessGroup> groups) {
  assign(processes_, std::move(groups), &AppModel::processesChanged);
}
void AppModel::setStartupItems(std::vector<StartupItem> items) {
  startupItems_ = std::move(items);
  emit startupItemsChanged();
}
void AppModel::setItems(std::vector<CleanupItem> items) {
  items_ = std::move(items);
  emit itemsChanged();
}
void AppModel::setCleanSummary(std::optional<CleanSummary> summary) {
  cleanSummary_ = std::move(summary);
  emit cleanSummaryChanged();
}

void AppModel::setIcons(QHash<QString, QIcon> icons) {
  if (sameIcons(icons_, icons)) return;
  icons_ = std::move(icons);
  emit iconsChanged();
}

void AppModel::setSize(const std::string& id, const SizeResult& size) {
  auto sizes = sizes_;
  sizes[id] = size;
  setSizes(std::move(sizes));
}

std::int64_t AppModel::measuredBytes(const std::string& id) const {
  const auto found = sizes_.find(id);
  return found == sizes_.end() ? 0 : found->second.bytes;
}

}  // namespace tidra
