#pragma once

// Fake cleanup services for the central model's tests: a tiny disk of byte counts per path,
// a history in memory and latches that hold workers until a test lets them go.

#include "models/AppModel.h"
#include "support/TestScheduler.h"
#include "support/CatalogFixture.h"
#include "support/FakeDesktop.h"

#include <QObject>

#include <atomic>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "support/Latch.h"

namespace tidra::test {

// The machine the fake services act on. Every path holds a byte count; a path also holds the
// paths below it, so measuring an item sums its paths and everything under them, and a folder
// lists the names directly under it. Cleaning sets each path to what `leftAfterClean` says (0
// by default) and drops what is under it, unless the path is to fail; emptying a folder drops
// what is under it. With `trashFolder` set, a move to the Trash puts the path's bytes under
// "<trashFolder>/files/<name>". Latches hold measuring or cleaning of one item id or path.
struct FakeDisk {
  std::mutex mutex;
  std::map<std::string, std::int64_t> bytes;
  std::map<std::string, std::int64_t> leftAfterClean;
  std::set<std::string> failing;
  std::map<std::string, std::shared_ptr<Latch>> measureLatches;  // by item id
  std::map<std::string, std::shared_ptr<Latch>> cleanLatches;     // by first path
  std::vector<std::string> performed;                            // first path of each action
  std::vector<CleanupAction> actions;                            // each action performed
  std::atomic<int> measuring{0};
  std::atomic<int> mostMeasuring{0};
  std::atomic<int> measureStarts{0};
  std::atomic<int> cleanStarts{0};

  std::vector<CleanupItem> catalog;
  DockerStatus docker{DockerStatus::NotInstalled{}};
  std::vector<CleanupItem> toolItems;
  bool fullDiskAccess = true;
  std::optional<DiskUsage> disk = DiskUsage{1'000'000'000'000, 100'000'000'000};
  std::vector<CleanupRecord> history;
  std::atomic<int> appends{0};
  std::optional<std::string> adminMessage;
  std::shared_ptr<Latch> catalogLatch;
  std::shared_ptr<Latch> dockerLatch;
  std::string trashFolder;
  // Set: the history file cannot be written, for this reason.
  std::optional<std::string> historyProblem;

  static bool under(const std::string& path, const std::string& folder) {
    return path.size() > folder.size() && path.compare(0, folder.size() + 1, folder + "/") == 0;
  }
  // Called with the mutex held.
  std::int64_t sizeOfPath(const std::string& path) const {
    std::int64_t total = 0;
    for (const auto& [each, size] : bytes)
      if (each == path || under(each, path)) total += size;
    return total;
  }
  std::int64_t sizeOf(const CleanupItem& item) {
    std::lock_guard lock(mutex);
    std::int64_t total = 0;
    for (const auto& path : item.action.paths()) total += sizeOfPath(path);
    return total;
  }
  std::optional<std::vector<std::string>> entriesOf(const std::string& folder) {
    std::lock_guard lock(mutex);
    std::set<std::string> names;
    for (const auto& [each, size] : bytes)
      if (under(each, folder)) names.insert(each.substr(folder.size() + 1, each.find('/', folder.size() + 1) - folder.size() - 1));
    return std::vector<std::string>(names.begin(), names.end());
  }
  // Called with the mutex held.
  void dropUnder(const std::string& folder) {
    std::erase_if(bytes, [&](const auto& entry) { return under(entry.first, folder); });
  }
  // Called with the mutex held.
  void clean(const std::string& path, const CleanupAction& action) {
    if (std::holds_alternative<CleanupAction::DeleteContents>(action.value)) {
      dropUnder(path);
      return;
    }
    if (std::holds_alternative<CleanupAction::Trash>(action.value) && !trashFolder.empty()) {
      bytes[trashFolder + "/files/" + path.substr(path.rfind('/') + 1)] = sizeOfPath(path);
      bytes[trashFolder + "/info/" + path.substr(path.rfind('/') + 1) + ".trashinfo"] = 0;
    }
    dropUnder(path);
    bytes[path] = leftAfterClean[path];
  }
  std::shared_ptr<Latch> latchIn(std::map<std::string, std::shared_ptr<Latch>>& latches, const std::string& key) {
    std::lock_guard lock(mutex);
    const auto found = latches.find(key);
    return found == latches.end() ? nullptr : found->second;
  }
};

inline CleanupServices fakeCleanup(const std::shared_ptr<FakeDisk>& disk) {
  CleanupServices services;
  services.catalog = [disk](const CleanupEnvironment&) {
    if (disk->catalogLatch) disk->catalogLatch->wait();
    return disk->catalog;
  };
  services.measure = [disk](const CleanupItem& item) {
    if (item.knownBytes) return SizeResult(*item.knownBytes);
    ++disk->measureStarts;
    const int now = ++disk->measuring;
    int seen = disk->mostMeasuring.load();
    while (now > seen && !disk->mostMeasuring.compare_exchange_weak(seen, now)) {}
    if (auto latch = disk->latchIn(disk->measureLatches, item.id)) latch->wait();
    --disk->measuring;
    return SizeResult(disk->sizeOf(item));
  };
  services.perform = [disk](const PathGuard&, const CleanupAction& action) {
    const auto paths = action.paths();
    ++disk->cleanStarts;
    if (auto latch = disk->latchIn(disk->cleanLatches, paths.empty() ? "" : paths.front())) latch->wait();
    CleanReport report;
    std::lock_guard lock(disk->mutex);
    if (!paths.empty()) disk->performed.push_back(paths.front());
    disk->actions.push_back(action);
    for (const auto& path : paths) {
      if (disk->failing.contains(path)) {
        report.failures.push_back({path, "Operation not permitted"});
        continue;
      }
      const auto before = disk->sizeOfPath(path);
      disk->clean(path, action);
      const auto gone = CleanReport::gainBetween(before, disk->sizeOfPath(path));
      (std::holds_alternative<CleanupAction::Trash>(action.value) ? report.trashedBytes : report.freedBytes) += gone;
      ++report.removed;
    }
    return report;
  };
  services.removeAsAdmin = [disk](const std::vector<std::string>& paths, const std::string&) {
    if (!disk->adminMessage) {
      std::lock_guard lock(disk->mutex);
      for (const auto& path : paths) disk->bytes[path] = 0;
    }
    return disk->adminMessage;
  };
  services.loadHistory = [disk](const CleanupHistory&) { return disk->history; };
  services.appendHistory = [disk](const CleanupHistory&, const CleanupRecord& record) {
    ++disk->appends;
    if (disk->historyProblem) return disk->historyProblem;
    // As the history file does: a record of a run replaces that run's earlier one.
    if (!record.run.empty())
      std::erase_if(disk->history, [&](const CleanupRecord& earlier) { return earlier.run == record.run; });
    disk->history.insert(disk->history.begin(), record);
    return std::optional<std::string>();
  };
  services.pinFolder = [disk](const std::string&, const std::string& folder) {
    // Identities only the real cleaner checks; here every entry is simply itself.
    PinnedFolder pinned{{1, 1}, {}};
    std::uint64_t inode = 1;
    const auto names = disk->entriesOf(folder).value_or(std::vector<std::string>{});
    for (const auto& name : names) pinned.entries[name] = {1, ++inode};
    return std::optional<PinnedFolder>(std::move(pinned));
  };
  services.disk = [disk](const std::string&) { return disk->disk; };
  services.hasFullDiskAccess = [disk](const std::string&) { return disk->fullDiskAccess; };
  services.dockerStatus = [disk](const CleanupEnvironment&) {
    if (disk->dockerLatch) disk->dockerLatch->wait();
    return disk->docker;
  };
  services.dockerItems = [](const DockerStatus& status) { return Docker::cleanupItems(status); };
  services.toolItems = [disk](const CleanupEnvironment&) { return disk->toolItems; };
  return services;
}

// An item over one path named after its id, "/fake/<id>".
inline CleanupItem fakeItem(const std::string& id, CleanupCategory category = CleanupCategory::developerTools,
                            Safety safety = Safety::safe) {
  return CleanupItem{id,    "Title " + id, category, "Consequence", safety, CleanupAction::Delete{{"/fake/" + id}},
                     false, 1,             std::nullopt};
}

inline std::string fakePath(const std::string& id) { return "/fake/" + id; }

// A model over fake services with its own virtual clock.
struct FakeModel {
  std::shared_ptr<FakeDisk> disk = std::make_shared<FakeDisk>();
  TestScheduler scheduler;
  std::unique_ptr<AppModel> model;

  AppModel& make(const std::string& home = "/home/fake") {
    AppServices services;
    services.cleanup = fakeCleanup(disk);
    services.projects = quietProjects();
    services.applications = quietApplications();
    services.files = quietFiles();
    model = std::make_unique<AppModel>(quietEnvironment(home), services, fakeDesktop(), scheduler);
    return *model;
  }
  // Puts items on the fake disk with their sizes and publishes them as the catalog.
  void offer(const std::vector<std::pair<CleanupItem, std::int64_t>>& items) {
    for (const auto& [item, bytes] : items) {
      disk->catalog.push_back(item);
      for (const auto& path : item.action.paths()) disk->bytes[path] = bytes;
    }
  }
};

}  // namespace tidra::test
