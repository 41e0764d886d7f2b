// The large-file search of the central model and the move of chosen files to the Trash.
#include "models/AppModel.h"

#include "Demo.h"
#include "demo/DemoMac.h"

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
  std::vector<std::string> paths;
  for (const auto& file : files) paths.push_back(file.path);
  // Each file is measured just before the move, so a link swapped in since the search counts
  // nothing and a file that shrank counts what it still held.
  auto trash = [trash = services_.files.trashFiles, measure = services_.files.bytesNow, guardian = guardian_, paths] {
    std::map<std::string, std::int64_t> held;
    for (const auto& path : paths) held[path] = measure(path);
    return std::pair{trash(guardian, paths), held};
  };
  const auto [outcome, held] = co_await runOn(Pool::user, trash);
  for (const auto& path : paths) trashing_.erase(path);

  setTrashFailures(outcome.failures);
  // A file already gone (moved from another view) leaves the list but frees nothing here.
  std::set<std::string> moved(outcome.moved.begin(), outcome.moved.end());
  auto leaving = moved;
  leaving.insert(outcome.vanished.begin(), outcome.vanished.end());
  dropLargeFiles(leaving);
  refreshDisk();

  std::erase_if(files, [&](const LargeFile& file) { return !moved.contains(file.path); });
  for (auto& file : files) file.bytes = std::min(file.bytes, held.at(file.path));
  if (files.empty() && outcome.failures.empty()) co_return;
  record(trashRecord(scheduler_.now(), files, static_cast<int>(outcome.failures.size()), outcome.movedFiles), true);
}

}  // namespace tidra
