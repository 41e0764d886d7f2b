#include "support/TestMain.h"
#include "MonitorFakes.h"

#include "Demo.h"

#include <QSignalSpy>
#include <QTest>

using namespace tidra;
using namespace tidra::test;
using namespace std::chrono_literals;

namespace {

constexpr auto eightDays = std::chrono::hours(24 * 8);

CleanupItem item(const std::string& id, Safety safety = Safety::safe, bool admin = false, std::int64_t minimum = 1) {
  auto i = fakeItem(id, CleanupCategory::developerTools, safety);
  i.requiresAdmin = admin;
  i.minimumBytesToShow = minimum;
  return i;
}

CleanupItem toTrash(const std::string& id) {
  auto i = item(id);
  i.action = CleanupAction::Trash{{fakePath(id)}};
  return i;
}

}  // namespace

class WeeklyCheckTest : public QObject {
  Q_OBJECT

  static bool checked(MonitorRig& rig) {
    return QTest::qWaitFor([&] { return !rig.monitor->isCheckingWeekly(); }, 10'000);
  }

private slots:
  void init() { Demo::decide(false); }

  void theWeeklyTestRunsOnTicks0And60() {
    MonitorRig rig;
    const auto start = rig.scheduler.now();
    rig.setLastWeeklyCheck(start - eightDays);
    rig.monitor->start();
    QVERIFY(rig.settled(1));
    QCOMPARE(*rig.monitor->lastWeeklyCheck(), start);

    // Due again from now on, but only the 60th tick looks.
    rig.setLastWeeklyCheck(start - eightDays);
    for (int tick = 1; tick < 60; ++tick) QVERIFY(rig.tick());
    QCOMPARE(*rig.monitor->lastWeeklyCheck(), start - eightDays);
    QVERIFY(rig.tick());
    QCOMPARE(*rig.monitor->lastWeeklyCheck(), rig.scheduler.now());
  }

  void whenTheWeeklyTestFindsNoDateItStoresOneAndChecksNothing() {
    MonitorRig rig;
    rig.offer({{item("a"), 9'000'000'000}});
    QSignalSpy checking(rig.monitor.get(), &BackgroundMonitor::isCheckingWeeklyChanged);
    rig.monitor->start();
    QVERIFY(rig.settled(1));
    QCOMPARE(*rig.monitor->lastWeeklyCheck(), rig.scheduler.now());
    QCOMPARE(checking.size(), 0);
    QVERIFY(rig.notifications.posted.empty());
  }

  void withBothWeeklySettingsOffTheTestDoesNothing() {
    MonitorRig rig;
    rig.preferences.setBool(Preference::weeklyReport, false);
    rig.preferences.setBool(Preference::weeklyAutoClean, false);
    rig.monitor->start();
    QVERIFY(rig.settled(1));
    QVERIFY(!rig.monitor->lastWeeklyCheck());
  }

  void aStoredDateInTheFutureCountsAsDue() {
    MonitorRig rig;
    rig.setLastWeeklyCheck(rig.scheduler.now() + std::chrono::hours(24 * 365));
    rig.monitor->start();
    QVERIFY(rig.settled(1));
    QCOMPARE(*rig.monitor->lastWeeklyCheck(), rig.scheduler.now());
  }

  void aSlowWeeklyCheckHoldsTheNextTickBack() {
    MonitorRig rig;
    rig.setLastWeeklyCheck(rig.scheduler.now() - eightDays);
    rig.disk->catalogLatch = std::make_shared<Latch>();
    rig.monitor->start();
    QTRY_VERIFY(rig.monitor->isCheckingWeekly());
    for (int i = 0; i < 5; ++i) rig.scheduler.advance(30s);
    QCOMPARE(rig.scheduler.pending(), 0);
    QCOMPARE(rig.readings, 1);
    rig.disk->catalogLatch->open();
    QVERIFY(rig.settled(1));
    QVERIFY(rig.tick());
  }

  void theReportNeedsFiveGigabytesOfSafeItems() {
    // The sizes are split over two items to show they are summed.
    const std::vector<std::pair<std::int64_t, bool>> cases = {{4'999'999'999, false}, {5'000'000'000, true}};
    for (const auto& [total, reports] : cases) {
      MonitorRig rig;
      rig.offer({{item("a"), total - 1'000'000'000}, {item("b"), 1'000'000'000}});
      QVERIFY(rig.monitor->weeklyCheck());
      QVERIFY(!rig.monitor->weeklyCheck());  // "Check Now" while one runs
      QVERIFY(checked(rig));
      QCOMPARE(*rig.monitor->lastWeeklyCheck(), rig.scheduler.now());
      QCOMPARE(rig.notifications.posted.size(), size_t(reports ? 1 : 0));
      if (reports) QCOMPARE(rig.notifications.posted[0].title, QStringLiteral("5 GB can be cleaned"));
      QCOMPARE(rig.disk->cleanStarts.load(), 0);
    }
  }

  void checkNowWithBothSettingsOffMeasuresAndStoresTheDateOnly() {
    MonitorRig rig;
    rig.preferences.setBool(Preference::weeklyReport, false);
    rig.preferences.setBool(Preference::weeklyAutoClean, false);
    rig.offer({{item("a"), 9'000'000'000}});
    QVERIFY(rig.monitor->weeklyCheck());
    QVERIFY(checked(rig));
    QCOMPARE(rig.disk->measureStarts.load(), 1);
    QCOMPARE(*rig.monitor->lastWeeklyCheck(), rig.scheduler.now());
    QVERIFY(rig.notifications.posted.empty());
    QCOMPARE(rig.disk->cleanStarts.load(), 0);
  }

  void theAutomaticCleanTakesOnlySafeMeasuredItemsAndRecordsThem() {
    MonitorRig rig;
    rig.preferences.setBool(Preference::weeklyAutoClean, true);
    rig.preferences.setBool(Preference::weeklyReport, false);
    rig.offer({{item("a"), 3'000'000'000},
               {item("review", Safety::review), 7'000'000'000},
               {item("admin", Safety::safe, true), 7'000'000'000},
               {item("small", Safety::safe, false, 100'000'000), 99'999'999},
               {item("empty"), 0},
               {item("f"), 2'000'000'000},
               {item("grows"), 1'000'000'000},
               {item("refused"), 1'000'000'000},
               {toTrash("moved"), 700'000'000}});
    rig.disk->leftAfterClean[fakePath("f")] = 500'000'000;
    // Grew between the two measurements: counts nothing, never less than nothing.
    rig.disk->leftAfterClean[fakePath("grows")] = 1'200'000'000;
    rig.disk->failing.insert(fakePath("refused"));

    QVERIFY(rig.monitor->weeklyCheck());
    QVERIFY(checked(rig));
    QCOMPARE(rig.disk->performed,
             (std::vector<std::string>{fakePath("a"), fakePath("f"), fakePath("grows"), fakePath("refused"),
                                       fakePath("moved")}));
    QCOMPARE(rig.model->records().size(), size_t(1));
    const auto& record = rig.model->records().front();
    QCOMPARE(record.source, std::string("Automatic"));
    // An item that gave nothing is not named: the record says what this clean removed.
    QCOMPARE(record.items, (std::vector<std::string>{"Title a", "Title f", "Title refused", "Title moved"}));
    // What went to the Trash is still on the disk: only what left it counts.
    QCOMPARE(record.freedBytes, std::int64_t(4'500'000'000));
    QCOMPARE(record.failures, std::int64_t(1));
    QCOMPARE(record.date, rig.scheduler.now());
    QVERIFY(rig.model->disk().has_value());
    QCOMPARE(rig.notifications.identifiers(), std::vector<QString>{"weekly"});
    QCOMPARE(rig.notifications.posted[0].title, QStringLiteral("Tidra cleaned 4.5 GB"));
    QVERIFY(rig.notifications.posted[0].body.endsWith(QStringLiteral(" 1 item could not be removed.")));
    QVERIFY(!rig.model->isRemoving());
  }

  // An interactive scan is measuring the same items: the weekly check only reports.
  void theAutomaticCleanDoesNotStartDuringAnInteractiveScan() {
    MonitorRig rig;
    rig.preferences.setBool(Preference::weeklyAutoClean, true);
    rig.offer({{item("a"), 6'000'000'000}});
    rig.disk->dockerLatch = std::make_shared<Latch>();
    rig.model->scan();
    QVERIFY(rig.monitor->weeklyCheck());
    QVERIFY(checked(rig));
    QCOMPARE(rig.model->cleanupPhase(), AppModel::CleanupPhase::scanning);
    QCOMPARE(rig.disk->cleanStarts.load(), 0);
    QVERIFY(rig.model->records().empty());
    QCOMPARE(rig.notifications.posted.size(), size_t(1));
    QCOMPARE(rig.notifications.posted[0].title, QStringLiteral("6 GB can be cleaned"));
    rig.disk->dockerLatch->open();
    QTRY_COMPARE(rig.model->cleanupPhase(), AppModel::CleanupPhase::ready);
  }

  // Quitting in order: the automatic clean stops after the item in hand and records it.
  void windingDownStopsTheAutomaticCleanAfterTheItemInHand() {
    MonitorRig rig;
    rig.preferences.setBool(Preference::weeklyAutoClean, true);
    rig.offer({{item("a"), 3'000'000'000}, {item("b"), 2'000'000'000}});
    auto hold = std::make_shared<Latch>();
    rig.disk->cleanLatches[fakePath("a")] = hold;
    QVERIFY(rig.monitor->weeklyCheck());
    QTRY_COMPARE(rig.disk->cleanStarts.load(), 1);
    QVERIFY(rig.model->removalsRunning());
    rig.model->windDown();
    hold->open();
    QVERIFY(checked(rig));
    QVERIFY(!rig.model->removalsRunning());
    QCOMPARE(rig.disk->cleanStarts.load(), 1);
    QCOMPARE(rig.model->records().front().items, std::vector<std::string>{"Title a"});
    QCOMPARE(rig.model->records().front().freedBytes, std::int64_t(3'000'000'000));
  }

  void anAutomaticCleanWithNothingSafeRecordsAndPostsNothing() {
    MonitorRig rig;
    rig.preferences.setBool(Preference::weeklyAutoClean, true);
    rig.offer({{item("empty"), 0}, {item("review", Safety::review), 9'000'000'000}});
    QVERIFY(rig.monitor->weeklyCheck());
    QVERIFY(checked(rig));
    QVERIFY(rig.model->records().empty());
    QVERIFY(rig.notifications.posted.empty());
  }

  void whileAnInteractiveCleanHoldsTheGateTheWeeklyCheckOnlyReports() {
    MonitorRig rig;
    rig.preferences.setBool(Preference::weeklyAutoClean, true);
    rig.offer({{item("a"), 6'000'000'000}});
    auto interactive = rig.model->claimRemoval();
    QVERIFY(interactive);
    QVERIFY(rig.monitor->weeklyCheck());
    QVERIFY(checked(rig));
    QCOMPARE(rig.disk->cleanStarts.load(), 0);
    QVERIFY(rig.model->records().empty());
    QCOMPARE(rig.notifications.posted.size(), size_t(1));
    QCOMPARE(rig.notifications.posted[0].title, QStringLiteral("6 GB can be cleaned"));
  }

  // Clean pressed meanwhile does not run beside it; it starts once the automatic clean ends.
  void anInteractiveCleanWaitsForTheWeeklyCheckToClean() {
    MonitorRig rig;
    rig.preferences.setBool(Preference::weeklyAutoClean, true);
    rig.offer({{item("a"), 6'000'000'000}});
    rig.model->scan();
    QTRY_COMPARE(rig.model->cleanupPhase(), AppModel::CleanupPhase::ready);
    QVERIFY(!rig.model->selectedItems().empty());

    auto latch = std::make_shared<Latch>();
    rig.disk->cleanLatches[fakePath("a")] = latch;
    QVERIFY(rig.monitor->weeklyCheck());
    QTRY_COMPARE(rig.disk->cleanStarts.load(), 1);
    rig.model->clean();
    QCOMPARE(rig.model->cleanupPhase(), AppModel::CleanupPhase::ready);
    QCOMPARE(rig.disk->cleanStarts.load(), 1);
    latch->open();
    QVERIFY(checked(rig));
    // The automatic clean took it all and the list shows so: the waiting clean finds nothing
    // to remove and records nothing.
    QTRY_COMPARE(rig.model->sizes().at("a").bytes, std::int64_t(0));
    QVERIFY(rig.model->selectedItems().empty());
    QCOMPARE(rig.model->cleanupPhase(), AppModel::CleanupPhase::ready);
    QCOMPARE(rig.disk->cleanStarts.load(), 1);
    QCOMPARE(rig.model->records().size(), size_t(1));
    QCOMPARE(rig.model->records().front().source, std::string("Automatic"));
    QVERIFY(!rig.model->isRemoving());
  }

  // Measured again around the removal itself: what left after the check (another program, a
  // second Tidra) is not freed by this clean, and an item that gave nothing is not named.
  void theAutomaticCleanCountsOnlyWhatItRemoved() {
    MonitorRig rig;
    rig.preferences.setBool(Preference::weeklyAutoClean, true);
    rig.preferences.setBool(Preference::weeklyReport, false);
    rig.offer({{item("a"), 3'000'000'000}, {item("b"), 2'000'000'000}, {item("c"), 1'000'000'000}});
    auto latch = std::make_shared<Latch>();
    rig.disk->cleanLatches[fakePath("a")] = latch;
    QVERIFY(rig.monitor->weeklyCheck());
    QTRY_COMPARE(rig.disk->cleanStarts.load(), 1);
    {
      std::lock_guard lock(rig.disk->mutex);
      rig.disk->bytes[fakePath("b")] = 500'000'000;
      rig.disk->bytes[fakePath("c")] = 0;
    }
    latch->open();
    QVERIFY(checked(rig));
    QCOMPARE(rig.model->records().size(), size_t(1));
    QCOMPARE(rig.model->records().front().freedBytes, std::int64_t(3'500'000'000));
    QCOMPARE(rig.model->records().front().items, (std::vector<std::string>{"Title a", "Title b"}));
  }

  // The removal counts what it took itself: a cache moved aside between the measurement and its
  // removal (by the user, or by a second Tidra) was not freed by this clean.
  void aCacheMovedAsideAfterItsMeasurementIsNotFreed() {
    MonitorRig rig;
    rig.preferences.setBool(Preference::weeklyAutoClean, true);
    rig.preferences.setBool(Preference::weeklyReport, false);
    rig.offer({{item("a"), 3'000'000'000}});
    auto latch = std::make_shared<Latch>();
    rig.disk->cleanLatches[fakePath("a")] = latch;
    QVERIFY(rig.monitor->weeklyCheck());
    QTRY_COMPARE(rig.disk->cleanStarts.load(), 1);
    {
      std::lock_guard lock(rig.disk->mutex);
      rig.disk->bytes.erase(fakePath("a"));
      rig.disk->bytes[fakePath("a") + ".old"] = 3'000'000'000;
    }
    latch->open();
    QVERIFY(checked(rig));
    QVERIFY(rig.model->records().empty());
    QVERIFY(rig.notifications.posted.empty());
  }

  void inDemoModeTheCheckIsBusyFor1point5sAndChangesNothing() {
    Demo::decide(true);
    MonitorRig rig;
    QVERIFY(rig.monitor->weeklyCheck());
    QVERIFY(rig.monitor->isCheckingWeekly());
    rig.scheduler.advance(1499ms);
    QVERIFY(rig.monitor->isCheckingWeekly());
    rig.scheduler.advance(1ms);
    QVERIFY(!rig.monitor->isCheckingWeekly());
    QVERIFY(!rig.monitor->lastWeeklyCheck());
    QVERIFY(rig.notifications.posted.empty());
    Demo::decide(false);
  }
};

TIDRA_TEST_MAIN(WeeklyCheckTest)
#include "WeeklyCheckTest.moc"
