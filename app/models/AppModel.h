#pragma once

#include "models/CleanSummary.h"
#include "models/Diagnosis.h"
#include "models/Section.h"
#include "models/TrashPin.h"
#include "runtime/Flow.h"
#include "runtime/Scheduler.h"
#include "services/AppServices.h"
#include "services/DesktopServices.h"

#include "cleanup/CleanupCategory.h"
#include "cleanup/CleanupEnvironment.h"
#include "cleanup/CleanupHistory.h"
#include "cleanup/CleanupItem.h"
#include "cleanup/CleanupRecord.h"
#include "cleanup/Docker.h"
#include "cleanup/PathGuard.h"
#include "files/LargeFile.h"
#include "fs/SizeResult.h"
#include "performance/DeveloperTool.h"
#include "performance/ProcessGroup.h"
#include "performance/StartupItem.h"
#include "system/DiskUsage.h"
#include "system/MemorySnapshot.h"

#include <QHash>
#include <QIcon>
#include <QObject>
#include <QPointer>
#include <QString>

#include <array>
#include <chrono>
#include <functional>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace tidra {

// The one model behind every screen, the menu-bar panel, the monitor and the diagnosis. Lives
// on the GUI thread; every property is written there. Each property has a getter and one
// ...Changed() signal; setters skip equal values except for `startupItems`, `items` and
// `cleanSummary`, which notify on every write.
//
// Every removal made anywhere ends in record(), so there is one history. Operations check
// their phase, start a flow that dies with the model, and return at once; a call in the wrong
// phase is ignored. In demo mode (Demo::isOn) every operation works on the demo data set and
// the history file is never written.
class ApplicationsModel;
class DuplicatesModel;
class ProjectsModel;
class SimilarPhotosModel;

class AppModel final : public QObject {
  Q_OBJECT

public:
  using Section = tidra::Section;
  enum class PerformanceTab { apps, developerTools, startup };
  enum class CleanupPhase { idle, scanning, ready, cleaning };
  enum class SearchPhase { idle, searching, ready };

  static const std::array<PerformanceTab, 3>& allPerformanceTabs();
  // The tab titles: "Apps", "Developer Tools", "Startup Items".
  static QString rawValue(PerformanceTab tab);
  static std::optional<PerformanceTab> performanceTabFromRawValue(const QString& text);

  // Builds the model for `environment.home` with its feature models and diagnosis, and hooks
  // every feature model's removals to record(); reads the history, nothing else: no disk
  // figures, no sampling, no flow starts here. `scheduler` must outlive the model.
  AppModel(CleanupEnvironment environment, AppServices services, DesktopServices desktop, Scheduler& scheduler,
           QObject* parent = nullptr);
  // A clean still running is recorded as far as it got, so the history never loses a removal:
  // the item in hand is finished first (this waits for it). A password clean is not waited
  // for: its prompt may still be open.
  ~AppModel() override;

  const CleanupEnvironment& environment() const { return environment_; }
  const PathGuard& guardian() const { return guardian_; }
  const CleanupHistory& history() const { return history_; }
  const AppServices& services() const { return services_; }
  Scheduler& scheduler() const { return scheduler_; }
  const DesktopServices& desktop() const { return desktop_; }
  ProjectsModel& projects() const { return *projects_; }
  DuplicatesModel& duplicates() const { return *duplicates_; }
  SimilarPhotosModel& similarPhotos() const { return *similarPhotos_; }
  ApplicationsModel& applications() const { return *applications_; }
  Diagnosis& diagnosis() const { return *diagnosis_; }

  // --- History and disk

  // Adds one removal to the history. Outside demo mode: appended to the history file, then
  // `records` is read back from it (the file decides what was kept), and the Trash is measured
  // again (the removal may have filled it). A record that cannot be written is kept, named by
  // historyProblem(), and written again before the new one at the next call. In demo mode: put
  // at the front of `records`; when `freesSpace`, the demo disk gains its bytes; then
  // refreshDisk().
  void record(const CleanupRecord& record, bool freesSpace);
  // Records that could not be written to the history file yet, oldest first.
  const std::vector<CleanupRecord>& unwrittenRecords() const { return unwritten_; }
  // Why the last write left records unwritten; none once every record is in the file.
  const std::optional<std::string>& historyProblem() const { return historyProblem_; }
  // Re-reads the home volume's figures into `disk` (none when unreadable).
  void refreshDisk();
  // A cleanup item measured again after a removal elsewhere (the weekly clean); an item not in
  // the list is left alone.
  void remeasured(const std::string& id, const SizeResult& size);

  // --- The removal gate

  // Held by whoever removes cleanup items: the interactive clean and the weekly automatic
  // clean would otherwise remove the same items and count the same bytes twice. Move-only;
  // the gate opens again when the lease is destroyed.
  class RemovalLease {
  public:
    RemovalLease(RemovalLease&& other) noexcept : model(std::exchange(other.model, {})) {}
    RemovalLease& operator=(RemovalLease&& other) noexcept;
    ~RemovalLease() { release(); }
    // Opens the gate now; later calls do nothing.
    void release();

  private:
    friend class AppModel;
    explicit RemovalLease(AppModel* model) : model(model) {}
    QPointer<AppModel> model;
  };
  // A lease when no removal runs, else nothing.
  std::optional<RemovalLease> claimRemoval();
  bool isRemoving() const { return removing_; }

  // --- Quitting

  // Whether anything is being removed or moved to the Trash anywhere in the application.
  bool removalsRunning() const;
  // Quitting: removals stop after the item in hand and record what they did. No way back.
  void windDown();
  bool isWindingDown() const { return windingDown_; }

  // --- The cleanup scan

  // Starts a scan from idle or ready; ignored while scanning or cleaning.
  void scan();
  // Measured items at or above their minimum size, in `items` order.
  std::vector<CleanupItem> visibleItems() const;
  // The categories of the visible items, in display order.
  std::vector<CleanupCategory> categories() const;
  std::vector<CleanupItem> items(CleanupCategory category) const;
  // Visible, selected items that need no administrator rights: what clean() removes.
  std::vector<CleanupItem> selectedItems() const;
  // Measured bytes of the visible safe items that need no administrator rights.
  std::int64_t safeBytes() const;

  // --- Cleaning

  // Removes selectedItems() one at a time; ignored unless ready with something to clean. While
  // the weekly automatic clean holds the removal gate, it waits and starts when the gate opens.
  void clean();
  // Removes one allow-listed item with administrator rights; ignored unless ready, the item
  // is allow-listed and the removal gate free.
  void cleanWithPassword(const CleanupItem& item);

  // --- Performance figures and actions

  // Keeps the performance figures fresh while held: the first token starts one pass every
  // 3 s, the last one released ends the loop, also in the middle of a pass or a sleep.
  // Move-only; a token outliving the model does nothing.
  class RefreshToken {
  public:
    RefreshToken(RefreshToken&& other) noexcept : model(std::exchange(other.model, {})) {}
    RefreshToken& operator=(RefreshToken&& other) noexcept;
    ~RefreshToken() { release(); }
    void release();

  private:
    friend class AppModel;
    explicit RefreshToken(AppModel* model) : model(model) {}
    QPointer<AppModel> model;
  };
  RefreshToken keepPerformanceFresh();
  // Demo mode: the demo machine's figures without the processes stopped so far.
  void showDemoProcesses();
  // Caches the icon of each group with an app bundle, keyed by the group's id.
  void prepareIcons(const std::vector<ProcessGroup>& groups);
  // Caches one icon per file type, keyed "type:" + the lower-case extension.
  void prepareIcons(const std::vector<LargeFile>& files);
  // Reads the startup items on a worker into `startupItems`.
  void loadStartupItems();
  // Removes a leftover startup item on a worker, reloads the list whatever the outcome, then
  // hands `done` the failure text (nothing on success). `done` may be empty.
  void removeLeftover(const StartupItem& item, std::function<void(std::optional<std::string>)> done = {});
  // Drops the tool's row at once and stops it on a worker; the next pass brings it back if
  // it still runs.
  void stop(const DeveloperTool& tool);
  // Stops every build daemon below 1 % CPU, as the list stands now.
  void stopIdleBuildDaemons();
  // How a quit ends a group: asked to end (SIGTERM), or ended by force (SIGKILL).
  enum class QuitMode { polite, force };
  // Quits an app's processes: each pid only while it still has the start time `started` gives
  // it (a pid without one is left alone), never a process the session depends on or our own.
  // In demo mode either way only takes the group off the demo machine.
  void quit(const ProcessGroup& group, const std::map<pid_t, std::chrono::system_clock::time_point>& started,
            QuitMode mode = QuitMode::polite);
  // The same with the start times of the model's last sample.
  void quit(const ProcessGroup& group, QuitMode mode = QuitMode::polite) { quit(group, processStarts_, mode); }

  // --- Large files

  // Searches the home folder for files of at least 100 MB (at most 1,000); ignored while
  // searching.
  void findLargeFiles();
  // Moves the listed files among `files` to the Trash and records what really moved. A file
  // already on its way or no longer listed is left out; nothing to move does nothing.
  void moveToTrash(const std::vector<LargeFile>& files);

  // --- Properties

  const std::vector<CleanupRecord>& records() const { return records_; }
  const std::set<std::int32_t>& demoGone() const { return demoGone_; }
  void setDemoGone(std::set<std::int32_t> pids);
  std::optional<Section> section() const { return section_; }
  void setSection(std::optional<Section> section);
  PerformanceTab performanceTab() const { return performanceTab_; }
  void setPerformanceTab(PerformanceTab tab);
  bool isConfirmingClean() const { return isConfirmingClean_; }
  void setConfirmingClean(bool confirming);
  const std::optional<DiskUsage>& disk() const { return disk_; }
  const std::optional<MemorySnapshot>& memory() const { return memory_; }
  const std::vector<ProcessGroup>& processes() const { return processes_; }
  const std::vector<DeveloperTool>& developerTools() const { return developerTools_; }
  const std::vector<StartupItem>& startupItems() const { return startupItems_; }
  const QHash<QString, QIcon>& icons() const { return icons_; }
  CleanupPhase cleanupPhase() const { return cleanupPhase_; }
  const std::vector<CleanupItem>& items() const { return items_; }
  const std::map<std::string, SizeResult>& sizes() const { return sizes_; }
  const std::set<std::string>& selection() const { return selection_; }
  void setSelection(std::set<std::string> ids);
  const std::optional<CleanSummary>& cleanSummary() const { return cleanSummary_; }
  // The banner's "Dismiss" clears it.
  void setCleanSummary(std::optional<CleanSummary> summary);
  const std::optional<QString>& cleaningTitle() const { return cleaningTitle_; }
  bool hasFullDiskAccess() const { return hasFullDiskAccess_; }
  const DockerStatus& dockerStatus() const { return dockerStatus_; }
  SearchPhase largeFilePhase() const { return largeFilePhase_; }
  const std::vector<LargeFile>& largeFiles() const { return largeFiles_; }
  int filesExamined() const { return filesExamined_; }
  // Folders the last search could not read (locked, or a path too long to open): what they
  // hold is missing from the list.
  std::int64_t unreadableFolders() const { return unreadableFolders_; }
  std::int64_t largeFileThreshold() const { return largeFileThreshold_; }
  void setLargeFileThreshold(std::int64_t bytes);
  const std::vector<CleanReport::Failure>& trashFailures() const { return trashFailures_; }
  void setTrashFailures(std::vector<CleanReport::Failure> failures);

signals:
  void recordsChanged();
  void demoGoneChanged();
  void sectionChanged();
  void performanceTabChanged();
  void isConfirmingCleanChanged();
  void diskChanged();
  void memoryChanged();
  void processesChanged();
  void developerToolsChanged();
  void startupItemsChanged();
  void iconsChanged();
  void cleanupPhaseChanged();
  void itemsChanged();
  void sizesChanged();
  void selectionChanged();
  void cleanSummaryChanged();
  void cleaningTitleChanged();
  void hasFullDiskAccessChanged();
  void dockerStatusChanged();
  void largeFilePhaseChanged();
  void largeFilesChanged();
  void filesExaminedChanged();
  void unreadableFoldersChanged();
  void largeFileThresholdChanged();
  void trashFailuresChanged();
  void isRemovingChanged();
  void historyProblemChanged();

private:
  // A clean in progress, kept beside its flow so that quitting can record what it removed.
  struct CleanRun;

  // Assigns and notifies, unless the value is unchanged.
  template <class T>
  void assign(T& field, T value, void (AppModel::*changed)()) {
    if (field == value) return;
    field = std::move(value);
    emit(this->*changed)();
  }

  void setRemoving(bool removing);
  void setRecords(std::vector<CleanupRecord> records);
  void setDisk(std::optional<DiskUsage> disk);
  void setMemory(std::optional<MemorySnapshot> memory);
  void setProcesses(std::vector<ProcessGroup> groups);
  void setDeveloperTools(std::vector<DeveloperTool> tools);
  void setStartupItems(std::vector<StartupItem> items);
  void setIcons(QHash<QString, QIcon> icons);
  void setCleanupPhase(CleanupPhase phase);
  void setItems(std::vector<CleanupItem> items);
  void setSizes(std::map<std::string, SizeResult> sizes);
  void setSize(const std::string& id, const SizeResult& size);
  void setCleaningTitle(std::optional<QString> title);
  void setHasFullDiskAccess(bool granted);
  void setDockerStatus(DockerStatus status);
  void setLargeFilePhase(SearchPhase phase);
  void setLargeFiles(std::vector<LargeFile> files);
  void setFilesExamined(int count);
  void setUnreadableFolders(std::int64_t count);

  void installHooks();
  // Writes every record still unwritten, oldest first; sets historyProblem().
  void flushHistory();
  void holdRefresh();
  void releaseRefresh();
  Flow refreshLoop(std::shared_ptr<bool> running);
  void quitLive(const ProcessGroup& group, const std::map<pid_t, std::chrono::system_clock::time_point>& started,
                QuitMode mode);
  Flow removeLeftoverFlow(StartupItem item, std::function<void(std::optional<std::string>)> done);
  Flow searchDemo(std::vector<LargeFile> files);
  Flow search(std::set<std::string> excluding);
  Flow trashFlow(std::vector<LargeFile> files);
  void trashDemo(const std::vector<LargeFile>& files);
  // Files of `files` still listed and not on their way to the Trash, in the given order.
  std::vector<LargeFile> movable(const std::vector<LargeFile>& files) const;
  void dropLargeFiles(const std::set<std::string>& paths);

  // The measured bytes of an item, 0 when unmeasured.
  std::int64_t measuredBytes(const std::string& id) const;

  // One item's measurement; for the Trash, with the entries it counted.
  struct Measurement {
    std::string id;
    SizeResult size;
    std::optional<std::vector<std::string>> trashEntries;
    // The Trash's folders and those entries, by identity.
    std::optional<TrashPin::Pins> trashPins;
  };
  // On a pool thread. The Trash is listed first and only those entries are measured, so the
  // figure shown is the figure of the entries a clean erases.
  static Measurement measureItem(const CleanupServices& cleanup, const std::string& home, const CleanupItem& item);
  void applyMeasurement(const Measurement& measured);
  // Measures the Trash again after Tidra changed it; while a confirmation is open or a scan or
  // clean runs, afterwards instead, so the figure confirmed is the figure erased.
  void remeasureTrash();
  // Measures every listed item again but the Trash (which has its own) and those whose size a
  // tool gave, when the list is ready; a result that arrives after another scan began is dropped.
  void remeasureItems();

  Flow scanFlow();
  Flow scanDemo(std::vector<CleanupItem> demoItems);
  void appendExtraItems(const std::vector<CleanupItem>& extra);
  Flow cleanFlow(std::vector<CleanupItem> list, RemovalLease lease);
  Flow cleanDemo(std::vector<CleanupItem> list, RemovalLease lease);
  Flow passwordFlow(CleanupItem item, RemovalLease lease);
  // Finishes the item in hand of an interrupted clean and records the run; for quitting.
  void recordUnfinishedClean();
  // The clean's record as it stands, under the clean's run.
  CleanupRecord runRecord(const CleanRun& run) const;
  // After a clean: each attempted item back to its default tick, the others as they were.
  void selectDefaultsOf(const std::vector<CleanupItem>& attempted);

  // Constants
  const CleanupEnvironment environment_;
  const PathGuard guardian_;
  const CleanupHistory history_;
  const AppServices services_;
  const DesktopServices desktop_;
  Scheduler& scheduler_;
  // The model's own sampling, made at the first pass: CPU figures cover the time since its
  // previous pass.
  PerformanceServices::Sample sample_;
  // Children of the model, built in this order.
  ProjectsModel* projects_ = nullptr;
  DuplicatesModel* duplicates_ = nullptr;
  SimilarPhotosModel* similarPhotos_ = nullptr;
  ApplicationsModel* applications_ = nullptr;
  Diagnosis* diagnosis_ = nullptr;
  // The refresh loop: its holders, its flow's context and the flag that stops it between awaits.
  int refreshHolders_ = 0;
  QPointer<QObject> refreshContext_;
  std::shared_ptr<bool> refreshRunning_;
  // Start times of the last sample, for quitting what the process list shows.
  std::map<pid_t, std::chrono::system_clock::time_point> processStarts_;
  // Large files on their way to the Trash.
  std::set<std::string> trashing_;
  bool removing_ = false;
  // clean() was asked for while the gate was held.
  bool cleanWaiting_ = false;
  std::shared_ptr<CleanRun> cleanRun_;
  std::vector<CleanupRecord> unwritten_;
  std::optional<std::string> historyProblem_;
  bool windingDown_ = false;
  // The Trash entries of its last measurement: all a clean may erase of it.
  std::vector<std::string> trashEntries_;
  TrashPin::Pins trashPins_;
  // The Trash changed while its figure could not be replaced.
  bool trashStale_ = false;
  // A measurement of the Trash is under way; a change meanwhile asks for one more after it,
  // so a move recorded file by file measures the Trash a few times, not once per file.
  bool trashMeasuring_ = false;

  // Observable state, with the initial values every new model starts from.
  std::vector<CleanupRecord> records_;
  std::set<std::int32_t> demoGone_;
  // Demo mode only: bytes freed so far, read by refreshDisk().
  std::int64_t demoFreed_ = 0;
  // Demo mode only: startup items the user removed, by their file path.
  std::set<std::string> demoRemovedStartupItems_;
  // Leftover startup items being removed: quitting waits for them as for any removal.
  int startupRemovals_ = 0;
  std::optional<Section> section_ = Section::overview;
  PerformanceTab performanceTab_ = PerformanceTab::apps;
  bool isConfirmingClean_ = false;
  std::optional<DiskUsage> disk_;
  std::optional<MemorySnapshot> memory_;
  std::vector<ProcessGroup> processes_;
  std::vector<DeveloperTool> developerTools_;
  std::vector<StartupItem> startupItems_;
  QHash<QString, QIcon> icons_;
  CleanupPhase cleanupPhase_ = CleanupPhase::idle;
  std::vector<CleanupItem> items_;
  std::map<std::string, SizeResult> sizes_;
  std::set<std::string> selection_;
  std::optional<CleanSummary> cleanSummary_;
  std::optional<QString> cleaningTitle_;
  bool hasFullDiskAccess_ = true;
  DockerStatus dockerStatus_{DockerStatus::NotInstalled{}};
  SearchPhase largeFilePhase_ = SearchPhase::idle;
  std::vector<LargeFile> largeFiles_;
  int filesExamined_ = 0;
  std::int64_t unreadableFolders_ = 0;
  std::int64_t largeFileThreshold_ = 500'000'000;
  std::vector<CleanReport::Failure> trashFailures_;
};

}  // namespace tidra
