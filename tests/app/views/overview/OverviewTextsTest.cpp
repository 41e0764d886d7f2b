#include "support/TestMain.h"
#include "views/Formats.h"
#include "views/PressureLabel.h"
#include "views/overview/OverviewTexts.h"

#include <QTest>

#include <cstdint>

using namespace tidra;
using Phase = AppModel::CleanupPhase;

namespace {

CleanupItem overviewItem(const std::string& id, Safety safety = Safety::safe, bool admin = false) {
  return CleanupItem{id, "Title " + id, CleanupCategory::developerTools, "", safety, CleanupAction::Delete{{"/x/" + id}},
                     admin, 1, std::nullopt};
}

std::vector<std::string> ids(const std::vector<CleanupItem>& items) {
  std::vector<std::string> result;
  for (const auto& i : items) result.push_back(i.id);
  return result;
}

ProcessGroup usageGroup(const std::string& id, std::int64_t bytes, bool system = false) {
  ProcessGroup g;
  g.id = id;
  g.name = id;
  g.memoryBytes = bytes;
  g.isSystemService = system;
  return g;
}

DeveloperTool tool(std::int64_t bytes) {
  DeveloperTool t;
  t.memoryBytes = bytes;
  return t;
}

}  // namespace

class OverviewTextsTest : public QObject {
  Q_OBJECT

private slots:
  void storageCapsTheSafePartAtWhatIsUsed_data() {
    QTest::addColumn<qint64>("total");
    QTest::addColumn<qint64>("available");
    QTest::addColumn<qint64>("safeBytes");
    QTest::addColumn<qint64>("safe");
    QTest::addColumn<double>("usedFraction");
    QTest::addColumn<double>("cleanableFraction");
    QTest::newRow("usual") << 1000LL << 400LL << 100LL << 100LL << 0.5 << 0.1;
    QTest::newRow("nothing safe") << 1000LL << 400LL << 0LL << 0LL << 0.6 << 0.0;
    QTest::newRow("more safe than used") << 1000LL << 400LL << 900LL << 600LL << 0.0 << 0.6;
    QTest::newRow("no size") << 0LL << 0LL << 0LL << 0LL << 0.0 << 0.0;
  }
  void storageCapsTheSafePartAtWhatIsUsed() {
    QFETCH(qint64, total);
    QFETCH(qint64, available);
    QFETCH(qint64, safeBytes);
    QFETCH(qint64, safe);
    QFETCH(double, usedFraction);
    QFETCH(double, cleanableFraction);
    const auto figures = OverviewTexts::storage(DiskUsage{total, available}, safeBytes);
    QCOMPARE(figures.safe, safe);
    QCOMPARE(figures.scale, total < 1 ? 1.0 : double(total));
    const auto parts = OverviewTexts::ringParts(figures);
    QCOMPARE(parts.at(0).id, "used");
    QCOMPARE(parts.at(0).fraction, usedFraction);
    QCOMPARE(parts.at(1).id, "cleanable");
    QCOMPARE(parts.at(1).fraction, cleanableFraction);
  }

  // The root reserve is free space the user cannot write: neither in use nor available.
  void storageLeavesTheReserveOutOfWhatIsInUse() {
    const auto figures = OverviewTexts::storage(DiskUsage{1000, 250, 50}, 900);
    QCOMPARE(figures.used, 700);
    QCOMPARE(figures.available, 250);
    QCOMPARE(figures.safe, 700);
  }

  void availableOfNamesBothFigures() {
    const auto figures = OverviewTexts::storage(DiskUsage{494'384'795'648, 31'740'000'000}, 0);
    QCOMPARE(OverviewTexts::availableOf(figures),
             Formats::bytes(31'740'000'000) + " available of " + Formats::bytes(494'384'795'648));
  }

  void cleanupStatusFollowsTheScan() {
    QCOMPARE(OverviewTexts::scanProgress(Phase::idle, 0, 0), "Looking for things to clean…");
    QCOMPARE(OverviewTexts::scanProgress(Phase::scanning, 0, 0), "Looking for things to clean…");
    QCOMPARE(OverviewTexts::scanProgress(Phase::scanning, 4, 30), "Measuring 4 of 30…");
    QCOMPARE(OverviewTexts::scanProgress(Phase::ready, 30, 30), std::nullopt);
    QCOMPARE(OverviewTexts::scanProgress(Phase::cleaning, 30, 30), std::nullopt);
    QVERIFY(OverviewTexts::canReview(Phase::ready, true));
    for (const auto phase : {Phase::idle, Phase::scanning, Phase::cleaning}) QVERIFY(!OverviewTexts::canReview(phase, true));
    QVERIFY(!OverviewTexts::canReview(Phase::ready, false));
    QCOMPARE(OverviewTexts::reviewTitle(0), "Review and Clean");
    QCOMPARE(OverviewTexts::reviewTitle(12'000'000'000), "Review and Clean " + Formats::bytes(12'000'000'000));
  }

  // Only safe items without admin rights, largest first, equal sizes in catalog order, three at most.
  void candidatesAreTheThreeLargestSafeItems() {
    const std::vector<CleanupItem> visible{overviewItem("small"), overviewItem("tieFirst"), overviewItem("review", Safety::review),
                                           overviewItem("admin", Safety::safe, true), overviewItem("tieSecond"), overviewItem("big")};
    const std::map<std::string, SizeResult> sizes{{"small", SizeResult(1)},   {"tieFirst", SizeResult(5)},
                                                  {"review", SizeResult(99)}, {"admin", SizeResult(99)},
                                                  {"tieSecond", SizeResult(5)}, {"big", SizeResult(9)}};
    QCOMPARE(ids(OverviewTexts::candidates(visible, sizes)), (std::vector<std::string>{"big", "tieFirst", "tieSecond"}));
    QVERIFY(OverviewTexts::candidates({overviewItem("review", Safety::review)}, sizes).empty());
    QCOMPARE(OverviewTexts::candidateFraction(5, 20), 0.25);
    QCOMPARE(OverviewTexts::candidateFraction(5, 0), 5.0);
  }

  void projectsCardByScanState() {
    using Status = OverviewTexts::ProjectsCard::Status;
    const auto teaser = OverviewTexts::projects(std::nullopt, false, 0);
    QCOMPARE(teaser.status, Status::teaser);
    QCOMPARE(teaser.text, "Finished git worktrees and old build folders often hold tens of gigabytes.");
    QCOMPARE(teaser.button, "Scan Projects");
    QVERIFY(teaser.buttonEnabled);
    const auto scanning = OverviewTexts::projects(std::nullopt, true, 0);
    QCOMPARE(scanning.status, Status::scanning);
    QCOMPARE(scanning.text, "Scanning your projects…");
    QVERIFY(!scanning.buttonEnabled);
    const auto result = OverviewTexts::projects(ProjectScan{}, false, 0);
    QCOMPARE(result.status, Status::result);
    QCOMPARE(result.number, Formats::bytes(0));
    QCOMPARE(result.text, "in 0 finished worktrees and build folders of projects you have left alone.");
    QCOMPARE(result.button, "Review Projects");
    QVERIFY(result.buttonEnabled);
    QVERIFY(!OverviewTexts::projects(ProjectScan{}, true, 0).buttonEnabled);
  }

  void historyTotalsEveryRecordAndListsThree() {
    std::vector<CleanupRecord> records;
    for (int i = 0; i < 10; ++i) records.push_back({{}, "Cleanup", i == 4 ? 0 : 1'000, {}, 0});
    QCOMPARE(OverviewTexts::totalFreed(records), 9'000);
    QCOMPARE(OverviewTexts::recent(records).size(), 3u);
    records.resize(2);
    QCOMPARE(OverviewTexts::recent(records).size(), 2u);
    QCOMPARE(OverviewTexts::totalFreed({}), 0);
    // A hand-edited history near the 64-bit limit holds the total there instead of turning negative.
    records = {{{}, "Cleanup", INT64_MAX - 10, {}, 0}, {{}, "Cleanup", 100, {}, 0}};
    QCOMPARE(OverviewTexts::totalFreed(records), INT64_MAX);
  }

  void memoryFigures() {
    MemorySnapshot memory;
    memory.total = 16LL << 30;
    memory.app = 6LL << 30;
    memory.wired = 2LL << 30;
    memory.compressed = 1LL << 30;
    QCOMPARE(OverviewTexts::memoryInUse(memory), Formats::memory(9LL << 30) + " of " + Formats::memory(16LL << 30) + " in use");
    const std::vector<ProcessGroup> groups{usageGroup("kernel", 9, true), usageGroup("a", 8), usageGroup("b", 7), usageGroup("c", 6), usageGroup("d", 5)};
    const auto top = OverviewTexts::topApps(groups);
    QCOMPARE(top.size(), 3u);
    QCOMPARE(top.front().id, "a");
    QCOMPARE(top.back().id, "c");
    QVERIFY(OverviewTexts::topApps({usageGroup("kernel", 9, true)}).empty());
    QCOMPARE(OverviewTexts::memoryFraction(4, 16), 0.25);
    QCOMPARE(OverviewTexts::memoryFraction(4, 0), 4.0);
  }

  void developerToolsLinkFromOneGigabyte() {
    QCOMPARE(OverviewTexts::developerToolsLink({}), std::nullopt);
    QCOMPARE(OverviewTexts::developerToolsLink({tool(999'999'999)}), std::nullopt);
    QCOMPARE(OverviewTexts::developerToolsLink({tool(400'000'000), tool(600'000'000)}),
             "Developer tools are holding " + Formats::memory(1'000'000'000));
  }

  void pressureLabelWords() {
    using P = MemorySnapshot::Pressure;
    QCOMPARE(PressureLabel::text(P::normal), "Memory pressure is normal");
    QCOMPARE(PressureLabel::text(P::warning), "Memory is under pressure");
    QCOMPARE(PressureLabel::text(P::critical), "Memory is critically low");
    QCOMPARE(PressureLabel::color(P::normal), Theme::Role::green);
    QCOMPARE(PressureLabel::color(P::warning), Theme::Role::yellow);
    QCOMPARE(PressureLabel::color(P::critical), Theme::Role::red);
  }
};

TIDRA_TEST_MAIN(OverviewTextsTest)
#include "OverviewTextsTest.moc"
