#include "support/TestMain.h"
#include "AppModelFakes.h"

#include "cleanup/AdminCleanup.h"
#include "models/ApplicationsModel.h"
#include "support/SettlePools.h"

#include <QSignalSpy>
#include <QTest>

using namespace tidra;
using namespace tidra::test;

namespace {

using Phase = AppModel::CleanupPhase;

void waitUntilReady(AppModel& model) { QTRY_VERIFY(model.cleanupPhase() == Phase::ready); }

// A model whose scan has finished over `items`.
AppModel& scanned(FakeModel& fake, const std::vector<std::pair<CleanupItem, std::int64_t>>& items) {
  fake.offer(items);
  auto& model = fake.make();
  model.scan();
  waitUntilReady(model);
  return model;
}

CleanupItem trashItem(const std::string& id) {
  auto item = fakeItem(id, CleanupCategory::downloads);
  item.action = CleanupAction::Trash{{fakePath(id)}};
  return item;
}

CleanupItem dockerItem(const std::string& id, std::int64_t known) {
  auto item = fakeItem(id, CleanupCategory::docker);
  item.action = CleanupAction::Run{"/usr/bin/docker", {"volume", "prune", "-f"}, {fakePath(id)}};
  item.knownBytes = known;
  return item;
}

// The only folder an administrator removal may take.
CleanupItem adminItem() {
  auto item = fakeItem("yarn.root", CleanupCategory::javascript);
  item.title = "Root Yarn Cache";
  item.action = CleanupAction::Delete{{*AdminCleanup::allowedPaths().begin()}};
  item.requiresAdmin = true;
  return item;
}

// Everything a refused call must leave as it was.
struct Snapshot {
  Phase phase;
  std::vector<CleanupItem> items;
  std::map<std::string, SizeResult> sizes;
  std::set<std::string> selection;
  bool hasSummary;
  std::optional<QString> title;
  int cleans;
  int measures;
  bool operator==(const Snapshot&) const = default;
};

Snapshot snapshot(const AppModel& model, const FakeDisk& disk) {
  return {model.cleanupPhase(),
          model.items(),
          model.sizes(),
          model.selection(),
          model.cleanSummary().has_value(),
          model.cleaningTitle(),
          disk.cleanStarts.load(),
          disk.measureStarts.load()};
}

}  // namespace

class AppModelCleanTest : public QObject {
  Q_OBJECT

private slots:
  // Every operation in every phase that must refuse it: nothing changes, nothing runs.
  void operationsOutOfPhaseChangeNothing_data() {
    QTest::addColumn<int>("phase");
    QTest::addColumn<QString>("operation");
    for (const auto& [phase, name] : std::vector<std::pair<Phase, const char*>>{
             {Phase::idle, "idle"}, {Phase::scanning, "scanning"}, {Phase::cleaning, "cleaning"}}) {
      for (const char* operation : {"scan", "clean", "password"}) {
        if (phase == Phase::idle && QString(operation) == "scan") continue;  // a scan starts from idle
        QTest::addRow("%s in %s", operation, name) << int(phase) << QString(operation);
      }
    }
    QTest::addRow("clean with nothing selected") << int(Phase::ready) << QStringLiteral("clean");
    QTest::addRow("password for an item off the list") << int(Phase::ready) << QStringLiteral("password off list");
  }

  void operationsOutOfPhaseChangeNothing() {
    QFETCH(int, phase);
    QFETCH(QString, operation);
    FakeModel fake;
    fake.offer({{fakeItem("a"), 10}, {adminItem(), 10}});
    auto hold = std::make_shared<Latch>();
    if (Phase(phase) == Phase::scanning) fake.disk->measureLatches["a"] = hold;
    auto& model = fake.make();
    if (Phase(phase) != Phase::idle) model.scan();
    if (Phase(phase) == Phase::scanning)
      QTRY_COMPARE(model.sizes().size(), size_t{1});
    else if (Phase(phase) != Phase::idle)
      waitUntilReady(model);
    if (Phase(phase) == Phase::ready) model.setSelection({});
    if (Phase(phase) == Phase::cleaning) {
      fake.disk->cleanLatches[fakePath("a")] = hold;
      model.clean();
      QTRY_COMPARE(fake.disk->cleanStarts.load(), 1);
    }
    QCOMPARE(model.cleanupPhase(), Phase(phase));

    const auto before = snapshot(model, *fake.disk);
    if (operation == "scan") model.scan();
    if (operation == "clean") model.clean();
    if (operation == "password") model.cleanWithPassword(adminItem());
    if (operation == "password off list") model.cleanWithPassword(fakeItem("a"));
    QCoreApplication::processEvents();
    QVERIFY(snapshot(model, *fake.disk) == before);

    hold->open();
    if (Phase(phase) != Phase::idle) waitUntilReady(model);
  }

  // One gate for every removal: whoever holds it, the other cannot start.
  void onlyOneRemovalAtATime() {
    FakeModel fake;
    auto& model = scanned(fake, {{fakeItem("a"), 10}});

    auto weekly = model.claimRemoval();
    QVERIFY(weekly && model.isRemoving());
    model.cleanWithPassword(adminItem());
    QCOMPARE(model.cleanupPhase(), Phase::ready);
    QCOMPARE(fake.disk->cleanStarts.load(), 0);
    weekly.reset();
    QVERIFY(!model.isRemoving());
    // Nothing was waiting for the gate, so nothing starts when it opens.
    QCoreApplication::processEvents();
    QCOMPARE(model.cleanupPhase(), Phase::ready);

    auto hold = std::make_shared<Latch>();
    fake.disk->cleanLatches[fakePath("a")] = hold;
    bool openAtReady = false;
    connect(&model, &AppModel::cleanupPhaseChanged, [&] {
      if (model.cleanupPhase() == Phase::ready) openAtReady = !model.isRemoving();
    });
    model.clean();
    QVERIFY(model.isRemoving());
    QVERIFY(!model.claimRemoval());
    hold->open();
    waitUntilReady(model);
    QVERIFY(openAtReady);
    QVERIFY(model.claimRemoval());
  }

  // Clean pressed while the weekly automatic clean holds the gate is not dropped: it waits,
  // and starts once the gate opens.
  void aCleanAskedForWhileTheGateIsHeldStartsWhenItOpens() {
    FakeModel fake;
    auto& model = scanned(fake, {{fakeItem("a"), 10}});
    auto weekly = model.claimRemoval();
    QSignalSpy removing(&model, &AppModel::isRemovingChanged);
    model.clean();
    QCOMPARE(model.cleanupPhase(), Phase::ready);
    QCOMPARE(fake.disk->cleanStarts.load(), 0);
    weekly.reset();
    QCOMPARE(removing.count(), 1);
    QTRY_COMPARE(fake.disk->cleanStarts.load(), 1);
    waitUntilReady(model);
    QCOMPARE(model.records().front().items, std::vector<std::string>{"Title a"});
  }

  // How much one item counts as freed, by its action, size source and outcome.
  void gainRule_data() {
    QTest::addColumn<bool>("trash");
    QTest::addColumn<std::int64_t>("known");      // 0: measured on disk
    QTest::addColumn<std::int64_t>("onDisk");     // what the scan measured
    QTest::addColumn<std::int64_t>("nowOnDisk");  // what is there when the clean starts
    QTest::addColumn<std::int64_t>("left");       // what the clean leaves
    QTest::addColumn<bool>("fails");
    QTest::addColumn<std::int64_t>("freed");
    QTest::addColumn<std::int64_t>("trashed");
    QTest::addColumn<std::int64_t>("insideDocker");
    QTest::addColumn<std::int64_t>("sizeAfter");
    using B = std::int64_t;
    QTest::newRow("trash, all gone") << true << B{0} << B{3'000'000} << B{3'000'000} << B{0} << false << B{0}
                                     << B{3'000'000} << B{0} << B{0};
    QTest::newRow("delete, part left") << false << B{0} << B{5000} << B{5000} << B{1200} << false << B{3800} << B{0}
                                       << B{0} << B{1200};
    QTest::newRow("grew while cleaned") << false << B{0} << B{5000} << B{5000} << B{9000} << false << B{0} << B{0}
                                        << B{0} << B{9000};
    // The removal counts what it took off the disk, whatever the scan saw.
    QTest::newRow("grew since the scan") << false << B{0} << B{5000} << B{9000} << B{0} << false << B{9000} << B{0}
                                         << B{0} << B{0};
    QTest::newRow("already gone") << false << B{0} << B{5000} << B{0} << B{0} << false << B{0} << B{0} << B{0} << B{0};
    QTest::newRow("docker, no failure") << false << B{4'400'000'000} << B{0} << B{0} << B{0} << false
                                        << B{4'400'000'000} << B{0} << B{4'400'000'000} << B{0};
    QTest::newRow("docker, a failure") << false << B{4'400'000'000} << B{0} << B{0} << B{0} << true << B{0} << B{0}
                                       << B{0} << B{4'400'000'000};
  }

  void gainRule() {
    QFETCH(bool, trash);
    QFETCH(std::int64_t, known);
    QFETCH(std::int64_t, onDisk);
    QFETCH(std::int64_t, nowOnDisk);
    QFETCH(std::int64_t, left);
    QFETCH(bool, fails);
    QFETCH(std::int64_t, freed);
    QFETCH(std::int64_t, trashed);
    QFETCH(std::int64_t, insideDocker);
    QFETCH(std::int64_t, sizeAfter);
    FakeModel fake;
    const auto item = known ? dockerItem("x", known) : trash ? trashItem("x") : fakeItem("x");
    auto& model = scanned(fake, {{item, onDisk}});
    fake.disk->bytes[fakePath("x")] = nowOnDisk;
    fake.disk->leftAfterClean[fakePath("x")] = left;
    if (fails) fake.disk->failing.insert(fakePath("x"));

    model.clean();
    waitUntilReady(model);
    const auto& summary = *model.cleanSummary();
    QCOMPARE(summary.freed, freed);
    QCOMPARE(summary.trashed, trashed);
    QCOMPARE(summary.insideDocker, insideDocker);
    QCOMPARE(summary.failures.size(), size_t(fails));
    QCOMPARE(model.sizes().at("x").bytes, sizeAfter);
    // A clean that removed nothing and failed nowhere leaves no record.
    if (freed + trashed == 0 && !fails) {
      QVERIFY(model.records().empty());
      return;
    }
    QCOMPARE(model.records().size(), size_t(1));
    QCOMPARE(model.records().front().freedBytes, freed + trashed);
    QCOMPARE(model.records().front().trashedBytes, trashed);
  }

  // The banner and the history see the same clean, in the order the screens rely on.
  void cleanEndsInOrderAndRecordsEveryAttempt() {
    FakeModel fake;
    auto small = fakeItem("small");
    small.minimumBytesToShow = 100;
    auto& model = scanned(fake, {{fakeItem("a"), 5000}, {fakeItem("b"), 7000}, {small, 300}});
    auto failingItem = fakeItem("c");
    failingItem.action = CleanupAction::Delete{{fakePath("c1"), fakePath("c2")}};
    fake.disk->failing = {fakePath("b"), fakePath("c1"), fakePath("c2")};
    fake.disk->catalog.push_back(failingItem);
    fake.disk->bytes[fakePath("c1")] = 100;
    fake.disk->bytes[fakePath("c2")] = 100;
    model.scan();
    waitUntilReady(model);
    fake.disk->disk = DiskUsage{1'000'000'000'000, 100'000'005'000};

    std::vector<std::string> trace;
    const auto note = [&](const char* name) { return [&trace, name] { trace.push_back(name); }; };
    connect(&model, &AppModel::cleaningTitleChanged,
            [&] { trace.push_back(model.cleaningTitle() ? "title" : "no title"); });
    connect(&model, &AppModel::cleanSummaryChanged, note("summary"));
    connect(&model, &AppModel::cleanupPhaseChanged, note("phase"));
    connect(&model, &AppModel::diskChanged, note("disk"));
    connect(&model, &AppModel::recordsChanged, note("records"));

    model.clean();
    waitUntilReady(model);
    // Each finished item but the last is on record at once.
    QCOMPARE(trace, (std::vector<std::string>{"phase", "summary", "title", "records", "title", "records", "title",
                                              "records", "title", "no title", "summary", "phase", "disk", "records"}));
    QCOMPARE(fake.disk->performed,
             (std::vector<std::string>{fakePath("a"), fakePath("b"), fakePath("small"), fakePath("c1")}));
    const auto& record = model.records().front();
    QCOMPARE(record.source, std::string("Cleanup"));
    QCOMPARE(record.items, (std::vector<std::string>{"Title a", "Title b", "Title small", "Title c"}));
    QCOMPARE(record.failures, std::int64_t{3});
    QCOMPARE(record.freedBytes, std::int64_t{5300});
    QCOMPARE(record.date, fake.scheduler.now());
    QCOMPARE(model.records(), fake.disk->history);
    // Cleaned items drop out of what is offered, yet stay selected.
    QCOMPARE(idsOf(model.selectedItems()), (std::vector<std::string>{"b", "c"}));
    QVERIFY(model.selection().contains("a"));
  }

  // A clean that frees nothing still shows its summary and asks for its record; the history
  // itself decides what it keeps.
  void cleanFreeingNothingIsStillRecorded() {
    FakeModel fake;
    auto& model = scanned(fake, {{fakeItem("a"), 10}});
    fake.disk->failing.insert(fakePath("a"));
    model.clean();
    waitUntilReady(model);
    QCOMPARE(fake.disk->appends.load(), 1);
    QCOMPARE(model.records().front().freedBytes, std::int64_t{0});
    QCOMPARE(model.cleanSummary()->failures.size(), size_t{1});
    fake.model.reset();  // a finished clean is not recorded again on quitting
    QCOMPARE(fake.disk->appends.load(), 1);
  }

  void cleanWithPassword_data() {
    QTest::addColumn<QString>("message");  // empty: success
    QTest::addColumn<bool>("summary");
    QTest::addColumn<bool>("recorded");
    QTest::newRow("removed") << QString() << true << true;
    QTest::newRow("cancelled") << QStringLiteral("cancelled") << false << false;
    QTest::newRow("refused") << QStringLiteral("exit code 1") << true << false;
  }

  void cleanWithPassword() {
    QFETCH(QString, message);
    QFETCH(bool, summary);
    QFETCH(bool, recorded);
    FakeModel fake;
    const auto item = adminItem();
    auto& model = scanned(fake, {{fakeItem("a"), 10}, {item, 8000}});
    model.clean();
    waitUntilReady(model);
    const auto earlierFreed = model.cleanSummary()->freed;
    if (!message.isEmpty()) fake.disk->adminMessage = message.toStdString();
    const auto path = item.action.paths().front();
    QSignalSpy titles(&model, &AppModel::cleaningTitleChanged);

    model.cleanWithPassword(item);
    QCOMPARE(model.cleanupPhase(), Phase::cleaning);
    QCOMPARE(*model.cleaningTitle(), QStringLiteral("Root Yarn Cache"));
    waitUntilReady(model);
    QVERIFY(!model.cleaningTitle());
    QCOMPARE(fake.disk->appends.load(), recorded ? 2 : 1);
    if (!summary) {
      QCOMPARE(model.cleanSummary()->freed, earlierFreed);
    } else if (message.isEmpty()) {
      QCOMPARE(model.cleanSummary()->freed, std::int64_t{8000});
      QCOMPARE(model.records().front().items, std::vector<std::string>{"Root Yarn Cache"});
      QCOMPARE(model.sizes().at(item.id).bytes, std::int64_t{0});
    } else {
      QCOMPARE(model.cleanSummary()->freed, std::int64_t{0});
      QCOMPARE(model.cleanSummary()->failures, (std::vector<CleanReport::Failure>{{path, message.toStdString()}}));
    }
  }

  // The Trash row: measured again whenever Tidra changes the Trash, held still while the
  // confirmation shows it, and emptied of exactly the entries it counted. What went to the
  // Trash later, by this very clean or by anyone, stays there and is not counted as freed.
  void theTrashEmptiesOnlyWhatTheConfirmationCounted() {
    FakeModel fake;
    const std::string trash = "/home/fake/.local/share/Trash";
    fake.disk->trashFolder = trash;
    const CleanupItem trashRow{"trash", "Everything in the Trash", CleanupCategory::trash, "Erased for good.",
                               Safety::review, CleanupAction::DeleteContents{{trash + "/files", trash + "/info"}},
                               false, 1, std::nullopt};
    fake.disk->bytes[trash + "/files/old"] = 500;
    fake.disk->bytes[trash + "/info/old.trashinfo"] = 4;
    auto& model = scanned(fake, {{trashItem("installer"), 1000}, {trashRow, 0}});
    QCOMPARE(model.sizes().at("trash").bytes, std::int64_t{504});
    model.setSelection({"installer", "trash"});

    // Large Files (say) moved a file there: the row follows once the move is recorded.
    fake.disk->bytes[trash + "/files/big"] = 2000;
    model.record({fake.scheduler.now(), "Large Files", 2000, {"big"}, 0}, true);
    QTRY_COMPARE(model.sizes().at("trash").bytes, std::int64_t{2504});

    // While the confirmation is open the figure it shows is the figure erased.
    model.setConfirmingClean(true);
    fake.disk->bytes[trash + "/files/late"] = 50;
    model.record({fake.scheduler.now(), "Duplicates", 50, {"late"}, 0}, false);
    settlePools();
    QCOMPARE(model.sizes().at("trash").bytes, std::int64_t{2504});
    model.setConfirmingClean(false);
    model.clean();
    waitUntilReady(model);

    QCOMPARE(model.cleanSummary()->trashed, std::int64_t{1000});
    QCOMPARE(model.cleanSummary()->freed, std::int64_t{2504});
    QCOMPARE(fake.disk->bytes[trash + "/files/old"], std::int64_t{0});
    QCOMPARE(fake.disk->bytes[trash + "/files/big"], std::int64_t{0});
    QCOMPARE(fake.disk->bytes.at(trash + "/files/late"), std::int64_t{50});
    QCOMPARE(fake.disk->bytes.at(trash + "/files/installer"), std::int64_t{1000});
    QCOMPARE(model.records().front().freedBytes, std::int64_t{3504});
    // The clean's own record measures the Trash again: what it holds now.
    QTRY_COMPARE(model.sizes().at("trash").bytes, std::int64_t{1050});
    // What came back into the cleaned rows was never reviewed: they start again unticked.
    QVERIFY(!model.selection().contains("trash"));
  }

  // An uninstall that took an app's cache away leaves no row offering it at its old size.
  void anUninstallMeasuresTheListAgain() {
    FakeModel fake;
    auto& model = scanned(fake, {{fakeItem("cache.notely"), 6'300'000}, {fakeItem("npm.cache"), 25'000'000}});
    {
      std::lock_guard lock(fake.disk->mutex);
      fake.disk->bytes[fakePath("cache.notely")] = 0;
    }
    model.applications().onRemoved({fake.scheduler.now(), "Applications", 6'300'000, {"Notely"}, 0});
    QTRY_COMPARE(model.sizes().at("cache.notely").bytes, std::int64_t{0});
    QCOMPARE(model.sizes().at("npm.cache").bytes, std::int64_t{25'000'000});
    QCOMPARE(model.records().front().source, std::string("Applications"));
  }

  // After a clean each attempted row is back at its default tick.
  void cleanedRowsStartAgainFromTheirDefaults() {
    FakeModel fake;
    auto& model = scanned(fake, {{fakeItem("safe"), 1000},
                                 {fakeItem("review", CleanupCategory::developerTools, Safety::review), 2000}});
    model.setSelection({"safe", "review"});
    model.clean();
    waitUntilReady(model);
    QCOMPARE(model.selection(), (std::set<std::string>{"safe"}));
  }

  // The cleaner gets each Trash entry and record with the identities it was measured with, and
  // those of its folders, so a Trash swapped or refilled since loses nothing unmeasured.
  void theTrashIsErasedAsItWasMeasured() {
    FakeModel fake;
    const std::string trash = "/home/fake/.local/share/Trash";
    const CleanupItem trashRow{"trash", "Everything in the Trash", CleanupCategory::trash, "Erased for good.",
                               Safety::review, CleanupAction::DeleteContents{{trash + "/files", trash + "/info"}},
                               false, 1, std::nullopt};
    fake.disk->bytes[trash + "/files/a"] = 500;
    fake.disk->bytes[trash + "/files/b"] = 7;
    fake.disk->bytes[trash + "/info/a.trashinfo"] = 4;
    auto& model = scanned(fake, {{trashRow, 0}});
    model.setSelection({"trash"});
    model.clean();
    waitUntilReady(model);

    QCOMPARE(fake.disk->actions.size(), std::size_t{1});
    const auto& erase = std::get<CleanupAction::Delete>(fake.disk->actions.front().value);
    QCOMPARE(erase.paths, (std::vector<std::string>{trash + "/files/a", trash + "/info/a.trashinfo",
                                                    trash + "/files/b", trash + "/info/b.trashinfo"}));
    QCOMPARE(erase.measured.size(), erase.paths.size());
    for (std::size_t i = 0; i < erase.paths.size(); ++i) {
      QVERIFY(erase.measured[i].folder.known());
      // b has no record: nothing there was measured, so nothing there may go.
      QCOMPARE(erase.measured[i].entry.known(), erase.paths[i] != trash + "/info/b.trashinfo");
    }
  }

  // A history that cannot be written: the clean still shows what it removed, the model says
  // the record is missing, and the record is written before the next one.
  void aRecordTheHistoryRefusedIsKeptAndWrittenLater() {
    FakeModel fake;
    auto& model = scanned(fake, {{fakeItem("a"), 6'500'000}, {fakeItem("a2"), 500'000}, {fakeItem("b"), 10}});
    model.setSelection({"a", "a2"});
    fake.disk->historyProblem = "No space left on device";
    model.clean();
    waitUntilReady(model);
    QCOMPARE(model.cleanSummary()->freed, std::int64_t{7'000'000});
    QCOMPARE(model.historyProblem(), std::optional<std::string>("No space left on device"));
    // The record written as each item finished is one record, the latest.
    QCOMPARE(model.unwrittenRecords().size(), size_t{1});
    QVERIFY(model.records().empty());

    fake.disk->historyProblem.reset();
    model.setSelection({"b"});
    model.clean();
    waitUntilReady(model);
    QVERIFY(!model.historyProblem());
    QVERIFY(model.unwrittenRecords().empty());
    QCOMPARE(model.records().size(), size_t{2});
    QCOMPARE(model.records()[0].items, std::vector<std::string>{"Title b"});
    QCOMPARE(model.records()[1].items, (std::vector<std::string>{"Title a", "Title a2"}));
  }

  // Quitting in order: the clean stops after the item in hand and records what it did.
  void windingDownStopsAfterTheItemInHandAndRecords() {
    FakeModel fake;
    auto& model = scanned(fake, {{fakeItem("a"), 1000}, {fakeItem("b"), 2000}, {fakeItem("c"), 4000}});
    auto hold = std::make_shared<Latch>();
    fake.disk->cleanLatches[fakePath("b")] = hold;
    QVERIFY(!model.removalsRunning());
    model.clean();
    QTRY_COMPARE(fake.disk->cleanStarts.load(), 2);
    QVERIFY(model.removalsRunning());
    model.windDown();
    hold->open();
    waitUntilReady(model);
    QVERIFY(!model.removalsRunning());
    QCOMPARE(fake.disk->performed, (std::vector<std::string>{fakePath("a"), fakePath("b")}));
    QCOMPARE(model.records().front().items, (std::vector<std::string>{"Title a", "Title b"}));
    QCOMPARE(model.records().front().freedBytes, std::int64_t{3000});
  }

  // A process killed outright mid-clean has already recorded every item that finished; the
  // record grows as items finish and stays one record.
  void eachFinishedItemIsRecordedAtOnce() {
    FakeModel fake;
    auto& model = scanned(fake, {{fakeItem("a"), 1000}, {fakeItem("b"), 2000}, {fakeItem("c"), 4000}});
    auto hold = std::make_shared<Latch>();
    fake.disk->cleanLatches[fakePath("c")] = hold;
    model.clean();
    QTRY_COMPARE(fake.disk->cleanStarts.load(), 3);
    QTRY_COMPARE(fake.disk->history.size(), size_t{1});
    QCOMPARE(fake.disk->history.front().items, (std::vector<std::string>{"Title a", "Title b"}));
    QCOMPARE(fake.disk->history.front().freedBytes, std::int64_t{3000});
    hold->open();
    waitUntilReady(model);
    QCOMPARE(fake.disk->history.size(), size_t{1});
    QCOMPARE(fake.disk->history.front().items, (std::vector<std::string>{"Title a", "Title b", "Title c"}));
    QCOMPARE(fake.disk->history.front().freedBytes, std::int64_t{7000});
  }

  // Quitting mid-clean finishes the item in hand and records what was removed.
  void quittingMidCleanRecordsWhatWasRemoved() {
    FakeModel fake;
    auto& model = scanned(fake, {{fakeItem("a"), 1000}, {fakeItem("b"), 2000}, {fakeItem("c"), 4000}});
    auto hold = std::make_shared<Latch>();
    fake.disk->cleanLatches[fakePath("b")] = hold;
    model.clean();
    QTRY_COMPARE(fake.disk->cleanStarts.load(), 2);
    hold->open();
    fake.model.reset();

    QCOMPARE(fake.disk->history.size(), size_t{1});
    const auto& record = fake.disk->history.front();
    QCOMPARE(record.items, (std::vector<std::string>{"Title a", "Title b"}));
    QCOMPARE(record.freedBytes, std::int64_t{3000});
    QCOMPARE(fake.disk->performed, (std::vector<std::string>{fakePath("a"), fakePath("b")}));
  }
};

TIDRA_TEST_MAIN(AppModelCleanTest)
#include "AppModelCleanTest.moc"
