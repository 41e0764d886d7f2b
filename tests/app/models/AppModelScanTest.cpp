#include "support/TestMain.h"
#include "AppModelFakes.h"

#include <QSignalSpy>
#include <QTest>

using namespace tidra;
using namespace tidra::test;

namespace {

using Phase = AppModel::CleanupPhase;
using Ids = std::vector<std::string>;

DockerStatus runningDocker() {
  return {DockerStatus::Running{"/usr/bin/docker", {1'100'000'000, 9'600'000'000, 4'400'000'000, 7'900'000'000}}};
}

CleanupItem toolItem() {
  auto item = fakeItem("homebrew.oldVersions");
  item.action = CleanupAction::Run{"/usr/bin/brew", {"cleanup"}, {}};
  item.knownBytes = 2'000'000;
  return item;
}

void waitUntilScanned(AppModel& model) { QTRY_VERIFY(model.cleanupPhase() == Phase::ready); }

}  // namespace

class AppModelScanTest : public QObject {
  Q_OBJECT

private slots:
  // Each step is one observable change, in the order the cleanup screen relies on.
  void scanPublishesInOrder() {
    FakeModel fake;
    fake.offer({{fakeItem("a"), 10}, {fakeItem("b"), 20}});
    fake.disk->fullDiskAccess = false;
    fake.disk->docker = runningDocker();
    fake.disk->toolItems = {toolItem()};
    auto& model = fake.make();
    std::vector<std::string> trace;
    const auto note = [&](const char* name) { return [&trace, name] { trace.push_back(name); }; };
    connect(&model, &AppModel::itemsChanged, note("items"));
    connect(&model, &AppModel::selectionChanged, note("selection"));
    connect(&model, &AppModel::hasFullDiskAccessChanged, note("access"));
    connect(&model, &AppModel::sizesChanged, note("sizes"));
    connect(&model, &AppModel::dockerStatusChanged, note("docker"));
    connect(&model, &AppModel::cleanupPhaseChanged, note("phase"));

    model.scan();
    waitUntilScanned(model);

    const std::vector<std::string> expected{
        "phase",  "items",                                     // scanning; emptied at once
        "items",  "selection", "access",    "sizes", "sizes",  // catalog, selection, access, measured
        "docker",                                              // Docker status after measuring
        "items",  "sizes",     "items",     "sizes", "items", "sizes", "items", "sizes", "selection",  // 4 prune items
        "items",  "sizes",     "selection",                                                            // the tool item
        "phase"};
    QCOMPARE(trace, expected);
    QCOMPARE(idsOf(model.items()), (Ids{"a", "b", "docker.containers", "docker.images", "docker.volumes",
                                        "docker.buildCache", "homebrew.oldVersions"}));
    // Of Docker's prune items only the build cache is safe.
    QCOMPARE(model.selection(), (std::set<std::string>{"a", "b", "docker.buildCache", "homebrew.oldVersions"}));
    QCOMPARE(model.sizes().at("docker.volumes").bytes, std::int64_t{4'400'000'000});
    QVERIFY(model.dockerStatus() == runningDocker());
    QVERIFY(!model.hasFullDiskAccess());
  }

  void dockerNotRunningAddsNoItems() {
    FakeModel fake;
    fake.offer({{fakeItem("a"), 10}});
    fake.disk->docker = {DockerStatus::NotRunning{}};
    auto& model = fake.make();
    model.scan();
    waitUntilScanned(model);
    QCOMPARE(idsOf(model.items()), Ids{"a"});
    QVERIFY(model.dockerStatus() == DockerStatus{DockerStatus::NotRunning{}});
  }

  void emptyCatalogStillEndsReady() {
    FakeModel fake;
    auto& model = fake.make();
    model.scan();
    waitUntilScanned(model);
    QVERIFY(model.items().empty());
    QVERIFY(model.selection().empty());
  }

  void atMostFourMeasurementsRunAndSizesArriveInCompletionOrder() {
    FakeModel fake;
    std::vector<std::shared_ptr<Latch>> latches;
    for (int i = 0; i < 7; ++i) {
      const auto id = "item" + std::to_string(i);
      fake.offer({{fakeItem(id), 100 + i}});
      latches.push_back(std::make_shared<Latch>());
      fake.disk->measureLatches[id] = latches.back();
    }
    auto& model = fake.make();
    Ids stored;
    connect(&model, &AppModel::sizesChanged, [&] {
      for (const auto& [id, size] : model.sizes())
        if (std::find(stored.begin(), stored.end(), id) == stored.end()) stored.push_back(id);
    });
    model.scan();
    QTRY_COMPARE(fake.disk->measureStarts.load(), 4);
    // Nothing came back, so no fifth walk may start.
    QCoreApplication::processEvents();
    QCOMPARE(fake.disk->measureStarts.load(), 4);

    for (const int i : {2, 0, 5, 6, 4, 1, 3}) {
      latches[i]->open();
      QTRY_COMPARE(stored.size(), model.sizes().size());
      QTRY_VERIFY(std::find(stored.begin(), stored.end(), "item" + std::to_string(i)) != stored.end());
    }
    waitUntilScanned(model);
    QCOMPARE(stored, (Ids{"item2", "item0", "item5", "item6", "item4", "item1", "item3"}));
    QCOMPARE(fake.disk->mostMeasuring.load(), 4);
  }

  void scanResetsAtOnceAndRescanDiscardsTheSelection() {
    FakeModel fake;
    fake.offer({{fakeItem("a"), 10}, {fakeItem("b", CleanupCategory::apps, Safety::review), 20}});
    auto& model = fake.make();
    model.scan();
    waitUntilScanned(model);
    model.setSelection({"b"});
    fake.disk->catalogLatch = std::make_shared<Latch>();

    model.scan();
    QCOMPARE(model.cleanupPhase(), Phase::scanning);
    QVERIFY(model.items().empty());
    QVERIFY(model.sizes().empty());
    QVERIFY(!model.cleanSummary());
    QVERIFY(model.visibleItems().empty() && model.categories().empty() && model.selectedItems().empty());
    QCOMPARE(model.safeBytes(), std::int64_t{0});
    QCOMPARE(model.selection(), std::set<std::string>{"b"});

    fake.disk->catalogLatch->open();
    waitUntilScanned(model);
    QCOMPARE(model.selection(), std::set<std::string>{"a"});
  }

  void derivedViews_data() {
    QTest::addColumn<std::int64_t>("bytes");
    QTest::addColumn<bool>("requiresAdmin");
    QTest::addColumn<int>("safety");
    QTest::addColumn<bool>("selected");
    QTest::addColumn<bool>("visible");
    QTest::addColumn<bool>("inSelected");
    QTest::addColumn<bool>("counted");
    // The item's minimum is 1,000 bytes.
    QTest::newRow("at its minimum") << std::int64_t{1000} << false << int(Safety::safe) << true << true << true << true;
    QTest::newRow("one byte under") << std::int64_t{999} << false << int(Safety::safe) << true << false << false
                                    << false;
    QTest::newRow("unmeasured") << std::int64_t{-1} << false << int(Safety::safe) << true << false << false << false;
    QTest::newRow("needs admin") << std::int64_t{5000} << true << int(Safety::safe) << true << true << false << false;
    QTest::newRow("review, selected") << std::int64_t{5000} << false << int(Safety::review) << true << true << true
                                      << false;
    QTest::newRow("safe, not selected") << std::int64_t{5000} << false << int(Safety::safe) << false << true << false
                                        << true;
  }

  void derivedViews() {
    QFETCH(std::int64_t, bytes);
    QFETCH(bool, requiresAdmin);
    QFETCH(int, safety);
    QFETCH(bool, selected);
    QFETCH(bool, visible);
    QFETCH(bool, inSelected);
    QFETCH(bool, counted);
    FakeModel fake;
    auto item = fakeItem("x", CleanupCategory::apps, Safety(safety));
    item.requiresAdmin = requiresAdmin;
    item.minimumBytesToShow = 1000;
    fake.offer({{item, bytes}});
    if (bytes < 0) fake.disk->measureLatches["x"] = std::make_shared<Latch>();
    auto& model = fake.make();
    model.scan();
    if (bytes < 0)
      QTRY_COMPARE(fake.disk->measureStarts.load(), 1);
    else
      waitUntilScanned(model);
    model.setSelection(selected ? std::set<std::string>{"x"} : std::set<std::string>{});

    QCOMPARE(model.visibleItems().size(), size_t(visible));
    QCOMPARE(model.items(CleanupCategory::apps).size(), size_t(visible));
    QCOMPARE(model.categories().size(), size_t(visible));
    QCOMPARE(model.selectedItems().size(), size_t(inSelected));
    QCOMPARE(model.safeBytes(), counted ? bytes : 0);
    if (bytes < 0) fake.disk->measureLatches["x"]->open();
    waitUntilScanned(model);
  }

  void categoriesFollowDisplayOrderAndSkipInvisibleOnes() {
    FakeModel fake;
    auto small = fakeItem("small", CleanupCategory::android);
    small.minimumBytesToShow = 1'000'000;
    fake.offer({{fakeItem("trash", CleanupCategory::trash), 10},
                {small, 10},
                {fakeItem("apps", CleanupCategory::apps), 10},
                {fakeItem("xcode", CleanupCategory::xcode), 10},
                {fakeItem("apps2", CleanupCategory::apps), 10}});
    auto& model = fake.make();
    model.scan();
    waitUntilScanned(model);
    QCOMPARE(model.categories(),
             (std::vector<CleanupCategory>{CleanupCategory::xcode, CleanupCategory::apps, CleanupCategory::trash}));
    QCOMPARE(idsOf(model.items(CleanupCategory::apps)), (Ids{"apps", "apps2"}));
    QCOMPARE(model.safeBytes(), std::int64_t{40});
  }
};

TIDRA_TEST_MAIN(AppModelScanTest)
#include "AppModelScanTest.moc"
