#include "support/TestMain.h"
#include "AppModelFakes.h"

#include "Demo.h"
#include "demo/DemoMac.h"
#include "fs/ByteFormat.h"

#include <QSignalSpy>
#include <QTest>

using namespace tidra;
using namespace tidra::test;
using namespace std::chrono_literals;

namespace {

using Phase = AppModel::CleanupPhase;

constexpr std::int64_t demoAvailable = 31'740'000'000;

// Scans the demo data set in virtual time.
void scanDemo(FakeModel& fake) {
  fake.model->scan();
  fake.scheduler.advance(600ms + 50ms * 33);
}

}  // namespace

// Demo mode works on the fixed data set, in virtual time, and never touches the history file.
class AppModelDemoTest : public QObject {
  Q_OBJECT

private slots:
  void init() { Demo::decide(true); }
  void cleanup() { Demo::decide(false); }

  void newModelShowsTheDemoHistoryAndDisk() {
    FakeModel fake;
    auto& model = fake.make();
    QCOMPARE(model.records(), DemoMac::history(fake.scheduler.now()));
    model.refreshDisk();
    QCOMPARE(model.disk()->available, demoAvailable);
  }

  void recordChangesOnlyTheModel() {
    FakeModel fake;
    auto& model = fake.make();
    model.refreshDisk();
    const CleanupRecord trashed{fake.scheduler.now(), "Duplicates", 7'000'000'000, {"clip.mov"}, 0};
    model.record(trashed, false);
    QCOMPARE(model.records().front(), trashed);
    QCOMPARE(model.disk()->available, demoAvailable);
    const CleanupRecord freed{fake.scheduler.now(), "Projects", 2'000'000'000, {"node_modules"}, 0};
    model.record(freed, true);
    QCOMPARE(model.records().front(), freed);
    QCOMPARE(model.disk()->available, demoAvailable + 2'000'000'000);
    QCOMPARE(fake.disk->appends.load(), 0);
  }

  void demoScanRunsOnTheClock() {
    FakeModel fake;
    fake.offer({{fakeItem("never"), 10}});
    auto& model = fake.make();
    model.scan();
    fake.scheduler.advance(599ms);
    QVERIFY(model.items().empty());
    fake.scheduler.advance(1ms);
    QCOMPARE(model.items().size(), size_t{33});
    QVERIFY(model.sizes().empty());
    QVERIFY(model.hasFullDiskAccess());
    QVERIFY(model.dockerStatus() == DemoMac::docker());
    fake.scheduler.advance(50ms * 32);
    QCOMPARE(model.cleanupPhase(), Phase::scanning);
    fake.scheduler.advance(50ms);
    QCOMPARE(model.cleanupPhase(), Phase::ready);
    QCOMPARE(model.sizes().size(), size_t{33});
    QCOMPARE(ByteFormat::string(model.safeBytes()), std::string("85.4 GB"));
    QCOMPARE(fake.disk->measureStarts.load(), 0);
  }

  void demoCleanCountsTheSelectionAndFreesOnlyWhatLeavesTheDisk() {
    FakeModel fake;
    auto& model = fake.make();
    scanDemo(fake);
    std::set<std::string> everything;
    for (const auto& item : model.items()) everything.insert(item.id);
    model.setSelection(everything);
    const auto list = model.selectedItems();
    std::int64_t listed = 0;
    for (const auto& item : list) listed += model.sizes().at(item.id).bytes;
    model.refreshDisk();

    model.clean();
    fake.scheduler.advance(300ms * (list.size() - 1));
    QCOMPARE(model.cleanupPhase(), Phase::cleaning);
    fake.scheduler.advance(300ms);
    QCOMPARE(model.cleanupPhase(), Phase::ready);

    const auto& summary = *model.cleanSummary();
    QVERIFY(summary.failures.empty());
    QVERIFY(summary.freed > 0 && summary.trashed > 0 && summary.insideDocker > 0);
    QCOMPARE(summary.freed + summary.trashed, listed);
    for (const auto& item : list) QCOMPARE(model.sizes().at(item.id).bytes, std::int64_t{0});
    QCOMPARE(model.records().front().freedBytes, summary.freed + summary.trashed);
    QCOMPARE(model.records().front().items.size(), list.size());
    QCOMPARE(model.disk()->available, demoAvailable + summary.freed - summary.insideDocker);
    QCOMPARE(fake.disk->appends.load(), 0);
    QCOMPARE(fake.disk->cleanStarts.load(), 0);
  }
};

TIDRA_TEST_MAIN(AppModelDemoTest)
#include "AppModelDemoTest.moc"
