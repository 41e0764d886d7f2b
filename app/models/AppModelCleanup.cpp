// The cleanup scan and the clean of the selection.

#include "models/AppModel.h"

#include "Demo.h"
#include "cleanup/AdminCleanup.h"
#include "cleanup/TrashedFiles.h"
#include "demo/DemoMac.h"
#include "models/TrashPin.h"

#include <QUuid>

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <utility>

namespace tidra {

using namespace std::chrono_literals;

namespace {

// What removing one item did, worked out on a pool thread.
struct ItemOutcome {
  CleanReport report;
  // What this removal took off the disk or moved to the Trash.
  std::int64_t gain = 0;
  // The size that remains, stored as the item's new measurement.
  SizeResult after;
  // Of the gain, what erased Tidra's own earlier moves to the Trash: counted when they were moved.
  std::int64_t recounted = 0;
  // How the entries this removal moved into the Trash lie there.
  std::vector<TrashedFile> movedFiles{};
};

// What an item in hand adds to its clean's record beyond the summary.
struct RecordExtras {
  std::int64_t recounted = 0;
  std::vector<TrashedFile> movedFiles;
};

std::set<std::string> defaultSelection(const std::vector<CleanupItem>& items) {
  std::set<std::string> ids;
  for (const auto& item : items)
    if (item.safety == Safety::safe && !item.requiresAdmin) ids.insert(item.id);
  return ids;
}

bool movesToTrash(const CleanupAction& action) { return std::holds_alternative<CleanupAction::Trash>(action.value); }

// Removes one item and measures what is left. The gain is what the removal itself reports:
// a path gone since the scan, or taken meanwhile by another process, frees nothing here. A
// known size (a tool's figure) cannot be measured again: it is gone whole when the tool
// reports no failure.
ItemOutcome cleanOne(const CleanupServices& cleanup, const PathGuard& guardian, const CleanupItem& item,
                     std::int64_t scannedBytes, const std::optional<CleanupItem>& earlierMoves) {
  const std::int64_t earlierBefore = earlierMoves ? cleanup.measure(*earlierMoves).bytes : 0;
  std::vector<std::pair<std::string, TrashedFile>> trashing;
  if (movesToTrash(item.action))
    for (const auto& path : item.action.paths())
      if (const auto identity = TrashedFiles::of(path)) trashing.emplace_back(path, *identity);
  auto report = cleanup.perform(guardian, item.action);
  const SizeResult after = item.knownBytes ? SizeResult(report.failures.empty() ? 0 : scannedBytes) : cleanup.measure(item);
  const auto gain = item.knownBytes ? CleanReport::gainBetween(scannedBytes, after.bytes)
                                    : report.freedBytes + report.trashedBytes;
  ItemOutcome outcome{std::move(report), gain, after};
  if (earlierMoves)
    outcome.recounted = std::clamp<std::int64_t>(earlierBefore - cleanup.measure(*earlierMoves).bytes, 0, gain);
  for (const auto& [path, identity] : trashing)
    if (!TrashedFiles::of(path)) outcome.movedFiles.push_back(identity);
  return outcome;
}

// The Trash entries of `item` that Tidra itself moved there, with their ".trashinfo" records;
// nothing for any other item. Their records came with the move and leave with the entries,
// so erasing them takes nothing off the disk that was there before Tidra moved them.
std::optional<CleanupItem> earlierMovesIn(const CleanupItem& item, const std::vector<std::string>& entries,
                                          const std::set<TrashedFile>& moved) {
  const auto folder = TrashPin::entriesFolder(item);
  if (!folder) return std::nullopt;
  const auto records = TrashPin::recordsFolder(*folder);
  std::vector<std::string> paths;
  for (const auto& name : TrashedFiles::ownNames(*folder, entries, moved)) {
    paths.push_back(*folder + "/" + name);
    paths.push_back(records + "/" + name + ".trashinfo");
  }
  auto own = item;
  own.action = CleanupAction::Delete{std::move(paths)};
  return own;
}

// An item that grew while it was cleaned frees nothing rather than a negative amount. True
// when the item removed something or failed: an item that found nothing to remove is not
// named in the record.
bool fold(CleanSummary& summary, RecordExtras& extras, const CleanupItem& item, const ItemOutcome& outcome) {
  extras.recounted += outcome.recounted;
  extras.movedFiles.insert(extras.movedFiles.end(), outcome.movedFiles.begin(), outcome.movedFiles.end());
  const std::int64_t gain = outcome.gain;
  (movesToTrash(item.action) ? summary.trashed : summary.freed) += gain;
  if (item.category == CleanupCategory::docker && item.knownBytes) summary.insideDocker += gain;
  summary.failures.insert(summary.failures.end(), outcome.report.failures.begin(), outcome.report.failures.end());
  return gain > 0 || !outcome.report.failures.empty();
}

// A clean that removed nothing and failed nowhere leaves no record.
bool removedAnything(const CleanSummary& summary) {
  return summary.freed + summary.trashed > 0 || !summary.failures.empty();
}

CleanupRecord cleanupRecord(Scheduler::Clock::time_point now, const CleanSummary& summary,
                            std::vector<std::string> titles, RecordExtras extras = {}, std::string run = {}) {
  CleanupRecord record{now, "Cleanup", summary.freed + summary.trashed, std::move(titles),
                       static_cast<std::int64_t>(summary.failures.size())};
  record.trashedBytes = summary.trashed;
  record.recountedBytes = extras.recounted;
  record.trashedFiles = std::move(extras.movedFiles);
  record.run = std::move(run);
  return record;
}

}  // namespace

struct AppModel::CleanRun {
  // The outcome of the item being removed, handed over by its worker. Quitting waits on it.
  class InHand {
  public:
    void put(ItemOutcome outcome) {
      std::lock_guard lock(mutex);
      value = std::move(outcome);
      arrived.notify_all();
    }
    ItemOutcome wait() {
      std::unique_lock lock(mutex);
      arrived.wait(lock, [&] { return value.has_value(); });
      return *value;
    }

  private:
    std::mutex mutex;
    std::condition_variable arrived;
    std::optional<ItemOutcome> value;
  };

  // Titles of the items that removed something or failed so far.
  std::vector<std::string> titles;
  CleanSummary summary;
  RecordExtras extras;
  // Each item that finishes rewrites the clean's record, so a process killed outright loses
  // at most the item in hand.
  std::string id = QUuid::createUuid().toString(QUuid::WithoutBraces).toStdString();
  std::optional<CleanupItem> current;
  std::shared_ptr<InHand> inHand;
};

// --- The scan

void AppModel::scan() {
  if (cleanupPhase_ == CleanupPhase::scanning || cleanupPhase_ == CleanupPhase::cleaning) return;
  setCleanupPhase(CleanupPhase::scanning);
  setItems({});
  setSizes({});
  setCleanSummary(std::nullopt);
  refreshDisk();
  if (Demo::isOn())
    scanDemo(DemoMac::cleanupItems(environment_.home)).start(this);
  else
    scanFlow().start(this);
}

Flow AppModel::scanFlow() {
  const auto env = environment_;
  const auto cleanup = services_.cleanup;
  const auto askDocker = [env, cleanup] { return cleanup.dockerStatus(env); };
  const auto askTools = [env, cleanup] { return cleanup.toolItems(env); };
  const auto buildCatalog = [env, cleanup] { return cleanup.catalog(env); };
  // Docker and the tools answer slowly; they run beside the catalog and its measuring.
  auto docker = runOn(Pool::user, askDocker);
  auto tools = runOn(Pool::user, askTools);
  const auto catalog = co_await runOn(Pool::user, buildCatalog);

  setItems(catalog);
  setSelection(defaultSelection(catalog));
  setHasFullDiskAccess(cleanup.hasFullDiskAccess(env.home));

  // Four walks at once keep the disk busy without flooding it.
  BoundedGroup<Measurement> measuring(Pool::user, 4, this,
                                      [this](Measurement measured) { applyMeasurement(measured); });
  for (const auto& item : catalog)
    measuring.add([cleanup, home = env.home, item] { return measureItem(cleanup, home, item); });
  co_await measuring.finished();

  setDockerStatus(co_await docker);
  auto extra = cleanup.dockerItems(dockerStatus_);
  auto toolItems = co_await tools;
  extra.insert(extra.end(), toolItems.begin(), toolItems.end());
  appendExtraItems(extra);
  setCleanupPhase(CleanupPhase::ready);
}

void AppModel::remeasureItems() {
  if (Demo::isOn() || cleanupPhase_ != CleanupPhase::ready) return;
  for (const auto& item : items_) {
    if (item.knownBytes || TrashPin::entriesFolder(item)) continue;
    runThen(Pool::user, this,
            [cleanup = services_.cleanup, home = environment_.home, item] { return measureItem(cleanup, home, item); },
            [this](const Measurement& measured) {
              if (cleanupPhase_ == CleanupPhase::ready && sizes_.contains(measured.id)) applyMeasurement(measured);
            });
  }
}

// Docker and tool items carry their sizes, so measuring them touches no disk.
void AppModel::appendExtraItems(const std::vector<CleanupItem>& extra) {
  for (const auto& item : extra) {
    auto items = items_;
    items.push_back(item);
    setItems(std::move(items));
    setSize(item.id, item.measure());
    if (item.safety == Safety::safe) {
      auto selection = selection_;
      selection.insert(item.id);
      setSelection(std::move(selection));
    }
  }
}

Flow AppModel::scanDemo(std::vector<CleanupItem> demoItems) {
  co_await sleepFor(scheduler_, 600ms);
  setItems(demoItems);
  setSelection(defaultSelection(demoItems));
  setHasFullDiskAccess(true);
  setDockerStatus(DemoMac::docker());
  for (const auto& item : demoItems) {
    co_await sleepFor(scheduler_, 50ms);
    setSize(item.id, item.measure());
  }
  setCleanupPhase(CleanupPhase::ready);
}

// --- Derived views

std::vector<CleanupItem> AppModel::visibleItems() const {
  std::vector<CleanupItem> visible;
  for (const auto& item : items_) {
    const auto size = sizes_.find(item.id);
    if (size != sizes_.end() && size->second.bytes >= item.minimumBytesToShow) visible.push_back(item);
  }
  return visible;
}

std::vector<CleanupCategory> AppModel::categories() const {
  std::set<CleanupCategory> present;
  for (const auto& item : visibleItems()) present.insert(item.category);
  std::vector<CleanupCategory> ordered;
  for (const auto category : allCleanupCategories())
    if (present.contains(category)) ordered.push_back(category);
  return ordered;
}

std::vector<CleanupItem> AppModel::items(CleanupCategory category) const {
  auto visible = visibleItems();
  std::erase_if(visible, [&](const CleanupItem& item) { return item.category != category; });
  return visible;
}

std::vector<CleanupItem> AppModel::selectedItems() const {
  auto visible = visibleItems();
  std::erase_if(visible, [&](const CleanupItem& item) { return item.requiresAdmin || !selection_.contains(item.id); });
  return visible;
}

std::int64_t AppModel::safeBytes() const {
  std::int64_t total = 0;
  for (const auto& item : visibleItems())
    if (item.safety == Safety::safe && !item.requiresAdmin) total += measuredBytes(item.id);
  return total;
}

// --- Cleaning

void AppModel::clean() {
  auto list = selectedItems();
  if (cleanupPhase_ != CleanupPhase::ready || list.empty()) return;
  auto lease = claimRemoval();
  if (!lease) {
    cleanWaiting_ = true;
    return;
  }
  setCleanupPhase(CleanupPhase::cleaning);
  setCleanSummary(std::nullopt);
  if (Demo::isOn())
    cleanDemo(std::move(list), std::move(*lease)).start(this);
  else
    cleanFlow(std::move(list), std::move(*lease)).start(this);
}

Flow AppModel::cleanFlow(std::vector<CleanupItem> list, RemovalLease lease) {
  const auto cleanup = services_.cleanup;
  const auto guardian = guardian_;
  // The Trash as the confirmation showed it.
  const auto trashEntries = trashEntries_;
  const auto moved = TrashedFiles::movedBy(records_);
  const auto trashPins = trashPins_;
  cleanRun_ = std::make_shared<CleanRun>();
  for (const auto& item : list) {
    if (windingDown_) break;
    setCleaningTitle(QString::fromStdString(item.title));
    const auto scannedBytes = measuredBytes(item.id);
    auto inHand = std::make_shared<CleanRun::InHand>();
    cleanRun_->current = item;
    cleanRun_->inHand = inHand;
    const auto target = TrashPin::entriesFolder(item) ? TrashPin::narrowed(item, trashEntries, trashPins) : item;
    const auto removeItem = [cleanup, guardian, item, target, scannedBytes, inHand, trashEntries, moved] {
      auto outcome = cleanOne(cleanup, guardian, target, scannedBytes, earlierMovesIn(item, trashEntries, moved));
      inHand->put(outcome);
      return outcome;
    };
    const auto outcome = co_await runOn(Pool::user, removeItem);
    cleanRun_->inHand.reset();
    if (fold(cleanRun_->summary, cleanRun_->extras, item, outcome)) {
      cleanRun_->titles.push_back(item.title);
      // The last item's record is written once the clean is over.
      if (&item != &list.back()) record(runRecord(*cleanRun_), true);
    }
    setSize(item.id, outcome.after);
  }
  const auto run = std::exchange(cleanRun_, {});
  setCleaningTitle(std::nullopt);
  setCleanSummary(run->summary);
  // What comes back into a cleaned row (a file trashed since, say) was never reviewed.
  selectDefaultsOf(list);
  // Open before ready: whatever ready prompts may remove again.
  lease.release();
  setCleanupPhase(CleanupPhase::ready);
  refreshDisk();
  if (removedAnything(run->summary)) record(runRecord(*run), true);
}

CleanupRecord AppModel::runRecord(const CleanRun& run) const {
  return cleanupRecord(scheduler_.now(), run.summary, run.titles, run.extras, run.id);
}

void AppModel::selectDefaultsOf(const std::vector<CleanupItem>& attempted) {
  auto selection = selection_;
  for (const auto& item : attempted) selection.erase(item.id);
  selection.merge(defaultSelection(attempted));
  setSelection(std::move(selection));
}

void AppModel::recordUnfinishedClean() {
  if (!cleanRun_) return;
  auto& run = *cleanRun_;
  if (run.inHand && fold(run.summary, run.extras, *run.current, run.inHand->wait()))
    run.titles.push_back(run.current->title);
  if (!removedAnything(run.summary)) return;
  std::erase_if(unwritten_, [&](const CleanupRecord& earlier) { return earlier.run == run.id; });
  unwritten_.push_back(runRecord(run));
}

Flow AppModel::cleanDemo(std::vector<CleanupItem> list, RemovalLease lease) {
  CleanSummary summary;
  std::vector<std::string> titles;
  for (const auto& item : list) {
    setCleaningTitle(QString::fromStdString(item.title));
    titles.push_back(item.title);
    co_await sleepFor(scheduler_, 300ms);
    const auto bytes = measuredBytes(item.id);
    (movesToTrash(item.action) ? summary.trashed : summary.freed) += bytes;
    if (item.category == CleanupCategory::docker) summary.insideDocker += bytes;
    setSize(item.id, SizeResult{});
  }
  setCleaningTitle(std::nullopt);
  setCleanSummary(summary);
  lease.release();
  setCleanupPhase(CleanupPhase::ready);
  record(cleanupRecord(scheduler_.now(), summary, titles), true);
  // The demo disk gains only what leaves it: the Trash keeps its bytes, Docker keeps its own.
  demoFreed_ -= summary.insideDocker + summary.trashed;
  refreshDisk();
}

void AppModel::cleanWithPassword(const CleanupItem& item) {
  if (cleanupPhase_ != CleanupPhase::ready) return;
  if (!AdminCleanup::command(item.action.paths())) return;
  auto lease = claimRemoval();
  if (!lease) return;
  setCleanupPhase(CleanupPhase::cleaning);
  setCleaningTitle(QString::fromStdString(item.title));
  passwordFlow(item, std::move(*lease)).start(this);
}

Flow AppModel::passwordFlow(CleanupItem item, RemovalLease lease) {
  const auto cleanup = services_.cleanup;
  const auto prompt =
      "Tidra needs your password to delete " + QString::fromStdString(item.title).toLower().toStdString() + ".";
  // Measured afresh before removing, so a folder gone since the scan is not counted as freed.
  const auto removeAsAdmin = [cleanup, item, prompt, scannedBytes = measuredBytes(item.id)] {
    const auto before = std::min(scannedBytes, cleanup.measure(item).bytes);
    return std::pair{before, cleanup.removeAsAdmin(item.action.paths(), prompt)};
  };
  const auto measureAgain = [cleanup, item] { return cleanup.measure(item); };
  const auto [before, message] = co_await runOn(Pool::user, removeAsAdmin);
  const auto after = co_await runOn(Pool::user, measureAgain);
  setSize(item.id, after);
  setCleaningTitle(std::nullopt);
  lease.release();
  setCleanupPhase(CleanupPhase::ready);
  if (!message) {
    const CleanSummary summary{std::max<std::int64_t>(0, before - after.bytes), 0, 0, {}};
    setCleanSummary(summary);
    record(cleanupRecord(scheduler_.now(), summary, {item.title}), true);
  } else if (*message != "cancelled") {
    const auto paths = item.action.paths();
    setCleanSummary(CleanSummary{0, 0, 0, {{paths.empty() ? item.title : paths.front(), *message}}});
  }
  refreshDisk();
}

}  // namespace tidra
