// The large-file search of the central model and the move of chosen files to the Trash.
#include "models/AppModel.h"

#include "Demo.h"
#include "demo/DemoMac.h"

#include <QUuid>

#include "system/PrivacyAccess.h"

#include <algorithm>
#include <atomic>
#include <map>
#include <numeric>
#include <utility>

namespace tidra {

namespace {

using namespace std::chrono_literals;

constexpr std::int64_t searchMinimum = 100'000'000;
constexpr std::int64_t searchLimit = 1'000;
constexpr int demoSteps = 15;
constexpr int demoStepFiles = 38'417;

CleanupRecord trashRecord(Scheduler::Clock::time_point now, const std::vector<LargeFile>& moved, int failures,
                          std::vector<TrashedFile> movedFiles = {}) {
  CleanupRecord record;
  record.date = now;
  record.source = "Large Files";
  record.freedBytes = std::accumulate(moved.begin(), moved.end(), std::int64_t{0},
                                      [](std::int64_t sum, const LargeFile& file) { return sum + file.bytes; });
  for (const auto& file : moved) record.items.push_back(file.name());
  record.failures = failures;
  record.trashedBytes = record.freedBytes;
  record.trashedFiles = std::move(movedFiles);
  return record;
}

std::set<std::string> pathsOf(const std::vector<LargeFile>& files) {
  std::set<std::string> paths;
  for (const auto& file : files) paths.insert(file.path);
  return paths;
}

}  // namespace

void AppModel::findLargeFiles() {
  if (largeFilePhase_ == SearchPhase::searching) return;
  setLargeFilePhase(SearchPhase::searching);
  setFilesExamined(0);
  setUnreadableFolders(0);
  setTrashFailures({});
  const auto& home = environment_.home;
  if (Demo::isOn()) {
    setHasFullDiskAccess(true);
    searchDemo(DemoMac::largeFiles(home, scheduler_.now())).start(this);
    return;
  }
  setHasFullDiskAccess(services_.cleanup.hasFullDiskAccess(home));
  search(hasFullDiskAccess_ ? std::set<std::string>{} : PrivacyAccess::appContainerFolders(home)).start(this);
}

Flow AppModel::searchDemo(std::vector<LargeFile> files) {
  for (int step = 1; step <= demoSteps; ++step) {
    setFilesExamined(step * demoStepFiles);
    co_await sleepFor(scheduler_, 100ms);
  }
  prepareIcons(files);
  setLargeFiles(std::move(files));
  setLargeFilePhase(SearchPhase::ready);
}

Flow AppModel::search(std::set<std::string> excluding) {
  // Counts arrive from the finder's workers, one post each; equal counts change nothing.
  const QPointer<AppModel> self(this);
  const LargeFileFinder::Progress progress = [self](std::int64_t examined) {
    postToGui([self, examined] {
      if (self) self->setFilesExamined(static_cast<int>(examined));
    });
  };
  auto find = [find = services_.files.findLargeFiles, home = environment_.home, excluding, progress] {
    std::atomic<std::int64_t> unreadable = 0;
    auto files = find(home, searchMinimum, searchLimit, excluding, progress, [&](const std::string&) { ++unreadable; });
    return std::pair{std::move(files), unreadable.load()};
  };
  auto [files, unreadable] = co_await runOn(Pool::user, find);
  prepareIcons(files);
  setLargeFiles(std::move(files));
  setUnreadableFolders(unreadable);
  setLargeFilePhase(SearchPhase::ready);
}

std::vector<LargeFile> AppModel::movable(const std::vector<LargeFile>& files) const {
  const auto listed = pathsOf(largeFiles_);
  std::set<std::string> taken = trashing_;
  std::vector<LargeFile> chosen;
  for (const auto& file : files)
    if (listed.contains(file.path) && taken.insert(file.path).second) chosen.push_back(file);
  return chosen;
}

void AppModel::dropLargeFiles(const std::set<std::string>& paths) {
  auto files = largeFiles_;
  std::erase_if(files, [&](const LargeFile& file) { return paths.contains(file.path); });
  setLargeFiles(std::move(files));
}

void AppModel::moveToTrash(const std::vector<LargeFile>& files) {
  auto chosen = movable(files);
  if (chosen.empty()) return;
  if (Demo::isOn()) {
    trashDemo(chosen);
    return;
  }
  for (const auto& file : chosen) trashing_.insert(file.path);
  trashFlow(std::move(chosen)).start(this);
}

// The demo leaves the disk and the history file alone; only the list and the records change.
void AppModel::trashDemo(const std::vector<LargeFile>& files) {
  dropLargeFiles(pathsOf(files));
  auto records = records_;
  records.insert(records.begin(), trashRecord(scheduler_.now(), files, 0));
  setRecords(std::move(records));
}

Flow AppModel::trashFlow(std::vector<LargeFile> files) {
  const auto run = QUuid::createUuid().toString(QUuid::WithoutBraces).toStdString();
  std::vector<LargeFile> moved;
  std::vector<TrashedFile> movedFiles;
  std::vector<CleanReport::Failure> failures;
  // One file at a time, each recorded as it goes: quitting stops after the file in hand, and a
  // process killed outright loses at most that one.
  for (auto file : files) {
    if (windingDown_) break;
    // Measured just before the move, so a link swapped in since the search counts nothing, a
    // file another link keeps counts nothing, and a file that shrank counts what it still held.
    auto trashOne = [trash = services_.files.trashFiles, measure = services_.files.bytesNow, guardian = guardian_,
                     path = file.path] {
      const auto held = measure(path);
      return std::pair{trash(guardian, {path}), held};
    };
    const auto [outcome, held] = co_await runOn(Pool::user, trashOne);
    trashing_.erase(file.path);
    failures.insert(failures.end(), outcome.failures.begin(), outcome.failures.end());
    movedFiles.insert(movedFiles.end(), outcome.movedFiles.begin(), outcome.movedFiles.end());
    // A file already gone (moved from another view) leaves the list but frees nothing here.
    if (outcome.failures.empty()) dropLargeFiles({file.path});
    if (outcome.moved.empty() && outcome.failures.empty()) continue;
    if (!outcome.moved.empty()) {
      file.bytes = std::min(file.bytes, held);
      moved.push_back(file);
    }
    auto record = trashRecord(scheduler_.now(), moved, static_cast<int>(failures.size()), movedFiles);
    record.run = run;
    this->record(record, true);
  }
  for (const auto& file : files) trashing_.erase(file.path);
  setTrashFailures(failures);
  refreshDisk();
}

}  // namespace tidra
