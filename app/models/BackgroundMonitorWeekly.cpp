#include "models/BackgroundMonitor.h"

#include "Demo.h"
#include "models/AppModel.h"
#include "models/Notifier.h"
#include "platform/Notifications.h"
#include "settings/Preference.h"
#include "settings/Preferences.h"

#include "cleanup/CleanupRecord.h"

#include <QDateTime>
#include <QUuid>

#include <algorithm>
#include <numeric>
#include <utility>

namespace tidra {

using namespace std::chrono_literals;

std::optional<BackgroundMonitor::TimePoint> BackgroundMonitor::lastWeeklyCheck() const {
  return storedTime(Preference::lastWeeklyCheck);
}

bool BackgroundMonitor::weeklyCheckIfDue() {
  if (!preferences.boolValue(Preference::weeklyReport) && !preferences.boolValue(Preference::weeklyAutoClean))
    return false;
  const auto now = model.scheduler().now();
  const auto last = lastWeeklyCheck();
  if (!last) {
    // The first check of an installation comes a week after the monitor first looked.
    storeTime(Preference::lastWeeklyCheck, now);
    return false;
  }
  return AlertRules::weeklyCheckDue(*last, now) && weeklyCheck();
}

bool BackgroundMonitor::weeklyCheck() {
  if (isCheckingWeekly_) return false;
  assign(isCheckingWeekly_, true, &BackgroundMonitor::isCheckingWeeklyChanged);
  (Demo::isOn() ? weeklyDemo() : weeklyFlow()).start(this);
  return true;
}

Flow BackgroundMonitor::weeklyDemo() {
  co_await sleepFor(model.scheduler(), 1500ms);
  finishWeekly();
}

Flow BackgroundMonitor::weeklyFlow() {
  // Stored first: a check that does not finish still counts as done.
  storeTime(Preference::lastWeeklyCheck, model.scheduler().now());
  auto measuring = [cleanup = model.services().cleanup, environment = model.environment()] {
    std::vector<Candidate> safe;
    // One after another at low priority, so an interactive scan keeps the disk.
    for (const auto& item : cleanup.catalog(environment)) {
      if (item.safety != Safety::safe || item.requiresAdmin) continue;
      const auto bytes = cleanup.measure(item).bytes;
      if (bytes >= 1 && bytes >= item.minimumBytesToShow) safe.push_back({item, bytes});
    }
    return safe;
  };
  const auto safe = co_await runOn(Pool::utility, measuring);
  const auto total = std::accumulate(safe.begin(), safe.end(), std::int64_t{0},
                                     [](std::int64_t sum, const Candidate& c) { return sum + c.bytes; });

  // An interactive scan or clean works on the same items, and quitting starts nothing new: then
  // only the report is possible.
  const bool interactive = model.cleanupPhase() == AppModel::CleanupPhase::scanning ||
                           model.cleanupPhase() == AppModel::CleanupPhase::cleaning || model.isWindingDown();
  auto lease = preferences.boolValue(Preference::weeklyAutoClean) && !safe.empty() && !interactive
                   ? model.claimRemoval()
                   : std::nullopt;
  if (lease) {
    auto cleaning = weeklyClean(safe);
    co_await std::move(cleaning);
    lease->release();
  } else if (preferences.boolValue(Preference::weeklyReport) && total >= AlertRules::weeklyReportThreshold) {
    notifications.post(Notifier::weeklyReport(total));
  }
  finishWeekly();
}

// One item at a time, so quitting can stop after the item in hand and still record.
Flow BackgroundMonitor::weeklyClean(std::vector<Candidate> safe) {
  const auto cleanup = model.services().cleanup;
  const auto guardian = model.guardian();
  CleanupRecord record{{}, "Automatic", 0, {}, 0};
  // Recorded as each item finishes, so a process killed outright loses at most the item in hand.
  record.run = QUuid::createUuid().toString(QUuid::WithoutBraces).toStdString();
  int refusedItems = 0;
  for (const auto& candidate : safe) {
    if (model.isWindingDown()) break;
    // Counted by the removal itself: what left since the check (moved aside, taken by another
    // program or a second Tidra) was not freed by this clean.
    auto cleanItem = [cleanup, guardian, candidate] {
      auto report = cleanup.perform(guardian, candidate.item.action);
      return std::pair{std::move(report), cleanup.measure(candidate.item)};
    };
    const auto [report, after] = co_await runOn(Pool::utility, cleanItem);
    // The cleanup list shows what is left, so a clean queued behind this one sees it.
    model.remeasured(candidate.item.id, after);
    if (report.freedBytes + report.trashedBytes == 0 && report.failures.empty()) continue;
    record.items.push_back(candidate.item.title);
    record.failures += std::int64_t(report.failures.size());
    refusedItems += report.failures.empty() ? 0 : 1;
    // What went to the Trash is still on the disk.
    record.freedBytes += report.freedBytes;
    record.date = model.scheduler().now();
    model.record(record, true);
  }
  model.refreshDisk();
  // A clean that removed nothing leaves no record and says nothing.
  if (record.items.empty()) co_return;
  notifications.post(Notifier::weeklyCleaned(record.freedBytes, refusedItems));
}

void BackgroundMonitor::finishWeekly() {
  assign(isCheckingWeekly_, false, &BackgroundMonitor::isCheckingWeeklyChanged);
  weeklyWaiters.releaseAll();
}

}  // namespace tidra
