#include "support/TestMain.h"
#include "models/ProjectsModel.h"

#include "Demo.h"
#include "support/TestScheduler.h"
#include "support/FakeFolderChooser.h"
#include "support/GatedProjectScan.h"
#include "support/InMemoryPreferences.h"

#include <QSignalSpy>
#include <QTest>

#include <atomic>
#include <condition_variable>
#include <mutex>

using namespace tidra;
using namespace std::chrono_literals;
using Stage = ProjectScanner::Stage;


namespace {

const std::string home = "/home/someone";

ProjectScan::ArtifactRow artifact(const std::string& path, const std::string& project, std::int64_t real,
                                  std::optional<ProjectScan::Date> lastChange = std::nullopt,
                                  Safety safety = Safety::safe, std::int64_t apparent = -1) {
  ProjectScan::ArtifactRow row;
  row.path = path;
  row.projectPath = project;
  row.realBytes = real;
  row.apparentBytes = apparent < 0 ? real : apparent;
  row.projectLastChange = lastChange;
  row.kind.safety = safety;
  return row;
}

ProjectScan::WorktreeRow worktree(const std::string& path, Worktree::State state, std::int64_t real,
                                  std::optional<ProjectScan::Date> lastChange = std::nullopt, bool inUse = false) {
  ProjectScan::WorktreeRow row{Worktree{path, "/r", "topic", std::move(state), std::nullopt, {}, {}, {}}, std::nullopt, false, 0, 0, {}, {}};
  row.realBytes = real;
  row.apparentBytes = real;
  row.lastChange = lastChange;
  row.isInUse = inUse;
  return row;
}

// Lets every queued worker finish and delivers what they posted back.
void settleScan() {
  threadPool(Pool::user).waitForDone();
  QCoreApplication::processEvents();
}

ProjectScan scanOf(std::vector<ProjectScan::ArtifactRow> artifacts, std::vector<ProjectScan::WorktreeRow> worktrees = {}) {
  ProjectScan scan;
  scan.roots = {home + "/Projects"};
  scan.artifacts = std::move(artifacts);
  scan.worktrees = std::move(worktrees);
  // Every row holds its own bytes alone.
  std::int32_t owner = 0;
  const auto own = [&](std::int64_t bytes) {
    scan.account.apparent.push_back(bytes);
    scan.account.sharedOutside.push_back(0);
    if (bytes > 0) scan.account.combinations[{owner}] = bytes;
    return owner++;
  };
  for (auto& row : scan.artifacts) row.owner = own(row.realBytes);
  for (auto& row : scan.worktrees) row.owners = {own(row.realBytes)};
  return scan;
}

struct ProjectsFixture {
  TestScheduler scheduler;
  InMemoryPreferences preferences;
  FakeFolderChooser chooser;
  std::shared_ptr<GatedProjectScan> gate = std::make_shared<GatedProjectScan>();
  ProjectServices services;

  explicit ProjectsFixture(std::string realHome = home) {
    services.defaultRoots = [](const std::string& h) { return std::vector<std::string>{h + "/Developer"}; };
    services.workingDirectories = [] { return std::vector<std::string>{}; };
    services.realHome = [realHome] { return realHome; };
    services.scan = gate->service();
  }
  std::unique_ptr<ProjectsModel> model(const std::string& forHome = home) {
    return std::make_unique<ProjectsModel>(forHome, services, scheduler, preferences, chooser);
  }
};

}  // namespace

class ProjectsModelTest : public QObject {
  Q_OBJECT

private slots:
  void init() { Demo::decide(false); }
  void cleanupTestCase() { Demo::decide(false); }

  void rootsComeFromTheRightSource_data() {
    QTest::addColumn<bool>("demo");
    QTest::addColumn<bool>("realHome");
    QTest::addColumn<bool>("stored");
    QTest::addColumn<QStringList>("storedRoots");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<bool>("remembers");
    const QString h = QString::fromStdString(home);
    QTest::newRow("nothing stored") << false << true << false << QStringList{} << QStringList{h + "/Developer"} << true;
    QTest::newRow("stored") << false << true << true << QStringList{"/a", "/b"} << QStringList{"/a", "/b"} << true;
    QTest::newRow("stored empty stays empty") << false << true << true << QStringList{} << QStringList{} << true;
    QTest::newRow("other home ignores stored") << false << false << true << QStringList{"/a"}
                                               << QStringList{h + "/Developer"} << false;
    QTest::newRow("demo ignores stored") << true << true << true << QStringList{"/a"} << QStringList{h + "/Projects"}
                                         << false;
  }
  void rootsComeFromTheRightSource() {
    QFETCH(bool, demo);
    QFETCH(bool, realHome);
    QFETCH(bool, stored);
    QFETCH(QStringList, storedRoots);
    QFETCH(QStringList, expected);
    QFETCH(bool, remembers);
    Demo::decide(demo);
    ProjectsFixture f(realHome ? home : "/home/other");
    if (stored) f.preferences.setStringList("projectRoots", storedRoots);
    auto model = f.model();
    QStringList roots;
    for (const auto& root : model->roots()) roots << QString::fromStdString(root);
    QCOMPARE(roots, expected);
    QCOMPARE(model->remembersRoots(), remembers);
  }

  void settingRootsStoresThemOnlyForTheRealHome() {
    for (bool real : {true, false}) {
      ProjectsFixture f(real ? home : "/home/other");
      auto model = f.model();
      model->setRoots({"/x"});
      QCOMPARE(f.preferences.stringList("projectRoots").has_value(), real);
    }
  }

  void chooserConfirmationReplacesRoots() {
    ProjectsFixture f;
    auto model = f.model();
    model->chooseRoots();
    QCOMPARE(f.chooser.lastRequest.prompt, QString("Search These Folders"));
    QCOMPARE(f.chooser.lastRequest.message, QString("Choose the folders that hold your projects."));
    QCOMPARE(f.chooser.lastRequest.startFolder, QString::fromStdString(home));
    f.chooser.confirm({"/p/one", "/p/two"});
    QCOMPARE(model->roots(), (std::vector<std::string>{"/p/one", "/p/two"}));
  }

  void aScanPublishesItsResultWithTheDefaultSelection() {
    ProjectsFixture f;
    const auto now = f.scheduler.now();
    f.gate->results = {scanOf({artifact("/p/a/node_modules", "/p/a", 10, now - 31 * 24h)})};
    auto model = f.model();
    model->scanProjects();
    QVERIFY(model->phase().isScanning());
    f.gate->release();
    QTRY_VERIFY(model->phase().isReady());
    QCOMPARE(model->selectedArtifacts(), (ProjectsModel::Paths{"/p/a/node_modules"}));
    QCOMPARE(model->selectedBytes(), 10);
  }

  void aSecondStartWhileScanningChangesNothing() {
    ProjectsFixture f;
    f.gate->results = {scanOf({})};
    auto model = f.model();
    model->scanProjects();
    model->scanProjects();
    f.gate->release();
    QTRY_VERIFY(model->phase().isReady());
    QCOMPARE(f.gate->callCount(), 1);
  }

  void stoppingTheFirstScanReturnsToTheEmptyState() {
    ProjectsFixture f;
    f.gate->results = {scanOf({artifact("/p/a/target", "/p/a", 5)})};
    auto model = f.model();
    model->scanProjects();
    model->stopScan();
    f.gate->release();
    QTRY_VERIFY(model->phase().isIdle());
    QVERIFY(!model->scan());
  }

  void stoppingALaterScanKeepsTheEarlierResult() {
    ProjectsFixture f;
    f.gate->results = {scanOf({artifact("/p/a/target", "/p/a", 5)}), scanOf({})};
    auto model = f.model();
    model->scanProjects();
    f.gate->release();
    QTRY_VERIFY(model->phase().isReady());
    model->scanProjects();
    model->stopScan();
    f.gate->release();
    QTRY_COMPARE(f.gate->callCount(), 2);
    QTRY_VERIFY(model->phase().isReady());
    QCOMPARE(model->scan()->artifacts.size(), size_t{1});
  }

  void aStopDoesNotOutliveItsScan() {
    ProjectsFixture f;
    f.gate->results = {scanOf({}), scanOf({artifact("/p/a/target", "/p/a", 5)})};
    auto model = f.model();
    model->scanProjects();
    model->stopScan();
    f.gate->release();
    QTRY_VERIFY(model->phase().isIdle());
    model->scanProjects();
    f.gate->release();
    QTRY_VERIFY(model->phase().isReady());
    QCOMPARE(model->scan()->artifacts.size(), size_t{1});
  }

  void changingRootsDuringAScanDropsItsResult() {
    ProjectsFixture f;
    f.gate->results = {scanOf({artifact("/old/x/target", "/old/x", 5)}), scanOf({})};
    auto model = f.model();
    model->scanProjects();
    model->setRoots({"/new"});
    QVERIFY(model->phase().isIdle());
    f.gate->release();
    settleScan();
    QVERIFY(model->phase().isIdle());
    QVERIFY(!model->scan());
    model->scanProjects();
    f.gate->release();
    QTRY_VERIFY(model->phase().isReady());
    QCOMPARE(f.gate->roots.back(), (std::vector<std::string>{"/new"}));
    QVERIFY(model->scan()->artifacts.empty());
  }

  void aLateStageReportIsIgnored() {
    ProjectsFixture f;
    f.gate->results = {scanOf({})};
    auto model = f.model();
    model->scanProjects();
    QTRY_COMPARE(f.gate->callCount(), 1);
    auto report = f.gate->reports.front();
    report(Stage::Measuring{7});
    QTRY_COMPARE(model->phase(), ProjectsPhase{ProjectsPhase::Scanning{Stage::Measuring{7}}});
    f.gate->release();
    QTRY_VERIFY(model->phase().isReady());
    report(Stage::Measuring{9});
    QCoreApplication::processEvents();
    QVERIFY(model->phase().isReady());
  }

  void defaultSelectionBoundaries_data() {
    QTest::addColumn<int>("worktreeAgeSeconds");
    QTest::addColumn<bool>("worktreeSelected");
    QTest::addColumn<int>("artifactAgeSeconds");
    QTest::addColumn<bool>("artifactSelected");
    QTest::newRow("just under a day / 30 days") << 86'399 << false << 2'591'999 << false;
    QTest::newRow("exactly a day / 30 days") << 86'400 << false << 2'592'000 << false;
    QTest::newRow("just over") << 86'401 << true << 2'592'001 << true;
  }
  void defaultSelectionBoundaries() {
    QFETCH(int, worktreeAgeSeconds);
    QFETCH(bool, worktreeSelected);
    QFETCH(int, artifactAgeSeconds);
    QFETCH(bool, artifactSelected);
    ProjectsFixture f;
    const auto now = f.scheduler.now();
    f.gate->results = {scanOf({artifact("/p/a/target", "/p/a", 1, now - std::chrono::seconds(artifactAgeSeconds))},
                              {worktree("/w/done", Worktree::State::Merged{"main"}, 1,
                                        now - std::chrono::seconds(worktreeAgeSeconds))})};
    auto model = f.model();
    model->scanProjects();
    f.gate->release();
    QTRY_VERIFY(model->phase().isReady());
    QCOMPARE(model->selectedWorktrees().contains("/w/done"), worktreeSelected);
    QCOMPARE(model->selectedArtifacts().contains("/p/a/target"), artifactSelected);
  }

  void defaultSelectionLeavesOutWhatMustBeKept() {
    ProjectsFixture f;
    const auto old = f.scheduler.now() - 400 * 24h;
    f.gate->results = {scanOf({artifact("/p/a/review", "/p/a", 1, old, Safety::review),
                               artifact("/p/a/undated", "/p/a", 1)},
                              {worktree("/w/in-use", Worktree::State::Merged{"main"}, 1, old, true),
                               worktree("/w/undated", Worktree::State::Merged{"main"}, 1),
                               worktree("/w/pushed", Worktree::State::Pushed{}, 1, old)})};
    auto model = f.model();
    model->scanProjects();
    f.gate->release();
    QTRY_VERIFY(model->phase().isReady());
    QCOMPARE(model->selectedWorktrees(), (ProjectsModel::Paths{"/w/undated"}));
    QCOMPARE(model->selectedArtifacts(), (ProjectsModel::Paths{"/p/a/undated"}));
  }

  void derivedListsOrderAndFilter() {
    ProjectsFixture f;
    f.gate->results = {scanOf({artifact("/p/a/x", "/p/a", 1), artifact("/p/b/y", "/p/b", 5), artifact("/p/a/z", "/p/a", 3)},
                              {worktree("/w/small-done", Worktree::State::Merged{"main"}, 1),
                               worktree("/w/big-open", Worktree::State::PullRequestOpen{4}, 9),
                               worktree("/w/dirty", Worktree::State::UncommittedChanges{2}, 50),
                               worktree("/w/busy-done", Worktree::State::Merged{"main"}, 20, std::nullopt, true)})};
    auto model = f.model();
    model->scanProjects();
    f.gate->release();
    QTRY_VERIFY(model->phase().isReady());
    std::vector<std::string> removable;
    for (const auto& row : model->removableWorktrees()) removable.push_back(row.worktree.path);
    QCOMPARE(removable, (std::vector<std::string>{"/w/small-done", "/w/busy-done", "/w/big-open"}));
    QCOMPARE(model->keptWorktrees().size(), size_t{1});
    const auto groups = model->projectGroups();
    QCOMPARE(groups.size(), size_t{2});
    QCOMPARE(groups[0].path, std::string("/p/b"));
    QCOMPARE(groups[1].rows[0].path, std::string("/p/a/z"));
    model->setSelectedWorktrees({"/w/dirty", "/w/big-open"});
    QCOMPARE(model->selectedWorktreeRows().size(), size_t{1});
  }

  void sizesDifferFromFinderAtItsBoundary_data() {
    QTest::addColumn<int>("apparent");
    QTest::addColumn<bool>("differs");
    QTest::newRow("150 of 100") << 150 << false;
    QTest::newRow("151 of 100") << 151 << true;
  }
  void sizesDifferFromFinderAtItsBoundary() {
    QFETCH(int, apparent);
    QFETCH(bool, differs);
    ProjectsFixture f;
    f.gate->results = {scanOf({artifact("/p/a/x", "/p/a", 60, std::nullopt, Safety::safe, apparent - 40),
                               artifact("/p/a/y", "/p/a", 40, std::nullopt, Safety::safe, 40)})};
    auto model = f.model();
    QVERIFY(!model->sizesDifferFromFinder());
    model->scanProjects();
    f.gate->release();
    QTRY_VERIFY(model->phase().isReady());
    QCOMPARE(model->sizesDifferFromFinder(), differs);
  }

  void theDemoScanRunsItsStagesAndIgnoresAStop() {
    Demo::decide(true);
    ProjectsFixture f;
    auto model = f.model();
    QSignalSpy phases(model.get(), &ProjectsModel::phaseChanged);
    model->scanProjects();
    model->stopScan();
    f.scheduler.advance(800ms);
    QCOMPARE(model->phase(), ProjectsPhase{ProjectsPhase::Scanning{Stage::CheckingWorktrees{11}}});
    f.scheduler.advance(900ms);
    QCOMPARE(model->phase(), ProjectsPhase{ProjectsPhase::Scanning{Stage::Measuring{0}}});
    f.scheduler.advance(10 * 80ms);
    QCOMPARE(model->phase(), ProjectsPhase{ProjectsPhase::Scanning{Stage::Measuring{412'000}}});
    f.scheduler.advance(80ms);
    QVERIFY(model->phase().isReady());
    QVERIFY(model->scan());
    QCOMPARE(model->selectedBytes(), std::int64_t{23'500'000'000});
    QCOMPARE(f.gate->callCount(), 0);
    QCOMPARE(phases.count(), 1 + 1 + 11 + 1);
  }
};

TIDRA_TEST_MAIN(ProjectsModelTest)
#include "ProjectsModelTest.moc"
