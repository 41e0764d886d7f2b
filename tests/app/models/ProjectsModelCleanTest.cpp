#include "support/TestMain.h"
#include "models/ProjectsModel.h"

#include "Demo.h"
#include "support/TestScheduler.h"
#include "support/InMemoryPreferences.h"
#include "support/FakeFolderChooser.h"
#include "support/Latch.h"
#include "support/MountNamespace.h"
#include "support/TempHome.h"

#include <QSignalSpy>
#include <QTest>

#include <map>
#include <mutex>

using namespace tidra;
using tidra::test::Latch;
using namespace std::chrono_literals;

namespace {

const std::string someoneHome = "/home/someone";

ProjectScan::ArtifactRow cleanArtifact(const std::string& path, const std::string& project, std::int32_t owner) {
  ProjectScan::ArtifactRow row;
  row.path = path;
  row.projectPath = project;
  row.owner = owner;
  row.realBytes = 100 * (owner + 1);
  row.apparentBytes = row.realBytes;
  return row;
}

ProjectScan::WorktreeRow cleanWorktree(const std::string& path, std::int32_t owner) {
  ProjectScan::WorktreeRow row{Worktree{path, "/p/repo", "topic", Worktree::State::Merged{"main"}, std::nullopt, {}, {}, {}}, std::nullopt, false, 0, 0, {}, {}};
  row.owners = {owner};
  row.realBytes = 100 * (owner + 1);
  row.apparentBytes = row.realBytes;
  return row;
}

// Owners 0..3 each hold 100 × (n + 1) bytes of their own.
ProjectScan fourRowScan() {
  ProjectScan scan;
  scan.worktrees = {cleanWorktree("/p/wt/feature", 0)};
  scan.artifacts = {cleanArtifact("/p/web/node_modules", "/p/web", 1), cleanArtifact("/p/api/target", "/p/api", 2),
                    cleanArtifact("/p/web/.next", "/p/web", 3)};
  for (std::int32_t owner = 0; owner < 4; ++owner) {
    scan.account.apparent.push_back(100 * (owner + 1));
    scan.account.sharedOutside.push_back(0);
    scan.account.combinations[{owner}] = 100 * (owner + 1);
  }
  return scan;
}

// A file system of paths that a removal either deletes or leaves, with canned failures.
struct FakeDisk {
  std::mutex mutex;
  std::set<std::string> present;
  std::map<std::string, CleanReport::Failure> failing;  // path → failure; the folder stays
  std::set<std::string> failingButGone;                 // failure reported, folder gone anyway
  std::vector<std::string> performed;
  std::map<std::string, std::int64_t> measured;  // bytes now, where the scan's figure no longer holds
  std::set<std::string> otherVolume;  // artifact folders a volume was mounted over

  // What removing the path takes off the disk: the scan's figure unless `measured` says otherwise.
  // Called with the mutex held.
  std::int64_t bytesAt(const std::string& path) const {
    static const std::map<std::string, std::int64_t> scanned = {
        {"/p/wt/feature", 100}, {"/p/web/node_modules", 200}, {"/p/api/target", 300}, {"/p/web/.next", 400}};
    if (!present.contains(path)) return 0;
    if (auto found = measured.find(path); found != measured.end()) return found->second;
    return scanned.at(path);
  }

  // Removing this path waits until the latch opens.
  std::string heldPath;
  std::shared_ptr<Latch> hold;

  CleanReport perform(const CleanupAction& action) {
    std::unique_lock lock(mutex);
    const auto path = action.paths().front();
    performed.push_back(path);
    if (path == heldPath && hold) {
      lock.unlock();
      hold->wait();
      lock.lock();
    }
    CleanReport report;
    if (auto failure = failing.find(path); failure != failing.end()) {
      report.failures.push_back(failure->second);
      return report;
    }
    if (failingButGone.contains(path)) report.failures.push_back({path, "partly"});
    report.freedBytes = bytesAt(path);
    present.erase(path);
    report.removed = 1;
    return report;
  }
  std::size_t performedCount() {
    std::lock_guard lock(mutex);
    return performed.size();
  }
  bool exists(const std::string& path) {
    std::lock_guard lock(mutex);
    return present.contains(path);
  }
};

struct ProjectsCleanFixture {
  TestScheduler scheduler;
  InMemoryPreferences preferences;
  FakeFolderChooser chooser;
  std::shared_ptr<FakeDisk> disk = std::make_shared<FakeDisk>();
  std::unique_ptr<ProjectsModel> model;
  std::vector<CleanupRecord> records;
  std::vector<CleanupRecord> written;
  std::vector<QString> labels;

  ProjectsCleanFixture() {
    ProjectServices services;
    services.defaultRoots = [](const std::string&) { return std::vector<std::string>{}; };
    services.realHome = [] { return std::string("/elsewhere"); };
    services.workingDirectories = [] { return std::vector<std::string>{}; };
    services.scan = [](auto&&...) { return fourRowScan(); };
    services.perform = [disk = disk](const PathGuard&, const CleanupAction& action) { return disk->perform(action); };
    services.exists = [disk = disk](const std::string& path) { return disk->exists(path); };
    services.onProjectsVolume = [disk = disk](const std::string&, const std::string& path) {
      return !disk->otherVolume.contains(path);
    };
    disk->present = {"/p/wt/feature", "/p/web/node_modules", "/p/api/target", "/p/web/.next"};
    model = std::make_unique<ProjectsModel>(someoneHome, services, scheduler, preferences, chooser);
    // As the history keeps them: a later record of a run takes the place of its earlier ones.
    model->onCleaned = [this](const CleanupRecord& record) {
      written.push_back(record);
      if (!records.empty() && !record.run.empty() && records.back().run == record.run) records.back() = record;
      else records.push_back(record);
    };
    QObject::connect(model.get(), &ProjectsModel::phaseChanged, model.get(), [this] {
      if (const auto* cleaning = std::get_if<ProjectsPhase::Cleaning>(&model->phase().value))
        labels.push_back(cleaning->label);
    });
    model->scanProjects();
    if (Demo::isOn()) scheduler.advance(5s);
    QTRY_VERIFY(model->phase().isReady());
    model->setSelectedWorktrees({"/p/wt/feature"});
    model->setSelectedArtifacts({"/p/web/node_modules", "/p/api/target"});
  }
};

}  // namespace

class ProjectsModelCleanTest : public QObject {
  Q_OBJECT

private slots:
  void init() { Demo::decide(false); }
  void cleanupTestCase() { Demo::decide(false); }

  void removesWorktreesFirstThenArtifactsAndRecords() {
    ProjectsCleanFixture f;
    f.model->clean();
    QTRY_VERIFY(f.model->phase().isReady());
    QCOMPARE(f.disk->performed,
             (std::vector<std::string>{"/p/wt/feature", "/p/web/node_modules", "/p/api/target"}));
    QCOMPARE(f.labels, (std::vector<QString>{"feature", "web/node_modules", "api/target"}));
    QCOMPARE(f.model->summary()->freed, 100 + 200 + 300);
    QCOMPARE(f.records.size(), size_t{1});
    QCOMPARE(f.records[0].source, std::string("Projects"));
    QCOMPARE(f.records[0].freedBytes, 600);
    QCOMPARE(f.records[0].items,
             (std::vector<std::string>{"Worktree feature", "web/node_modules", "api/target"}));
    QCOMPARE(f.model->scan()->artifacts.size(), size_t{1});
    QVERIFY(f.model->selectedWorktrees().empty());
    QVERIFY(f.model->selectedArtifacts().empty());
  }

  // Quitting: the removal stops after the row in hand and records what went.
  void finishingSoonStopsAfterTheRowInHandAndRecords() {
    ProjectsCleanFixture f;
    f.disk->heldPath = "/p/web/node_modules";
    f.disk->hold = std::make_shared<Latch>();
    f.model->clean();
    QTRY_COMPARE(f.disk->performedCount(), size_t{2});
    // Were the process killed now, the history would hold the row that went.
    QCOMPARE(f.written.size(), size_t{1});
    QCOMPARE(f.written[0].items, std::vector<std::string>{"Worktree feature"});
    QCOMPARE(f.written[0].freedBytes, 100);
    f.model->finishSoon();
    f.disk->hold->open();
    QTRY_VERIFY(f.model->phase().isReady());
    QCOMPARE(f.disk->performed, (std::vector<std::string>{"/p/wt/feature", "/p/web/node_modules"}));
    QCOMPARE(f.records.size(), size_t{1});
    QCOMPARE(f.records[0].items, (std::vector<std::string>{"Worktree feature", "web/node_modules"}));
  }

  // A folder swapped for a link since the scan frees nothing; one that shrank frees what it held.
  void theRecordCountsWhatEachFolderHeldJustBeforeItsRemoval() {
    ProjectsCleanFixture f;
    f.disk->measured = {{"/p/api/target", 0}, {"/p/web/node_modules", 50}};
    f.model->clean();
    QTRY_VERIFY(f.model->phase().isReady());
    QCOMPARE(f.model->summary()->freed, 100 + 50);
    QCOMPARE(f.records.at(0).freedBytes, 150);
  }

  // A volume mounted over the project folder since the scan holds someone else's folder.
  void anArtifactOnAnotherVolumeThanItsProjectIsLeftAlone() {
    ProjectsCleanFixture f;
    f.disk->otherVolume = {"/p/web/node_modules"};
    f.model->setSelectedWorktrees({});
    f.model->clean();
    QTRY_VERIFY(f.model->phase().isReady());
    QCOMPARE(f.disk->performed, std::vector<std::string>{"/p/api/target"});
    QCOMPARE(f.model->summary()->failures,
             (std::vector<CleanReport::Failure>{{"/p/web/node_modules", "another volume is mounted in the project"}}));
    QVERIFY(f.disk->exists("/p/web/node_modules"));
    QCOMPARE(f.model->summary()->freed, 300);
  }

  void theLiveVolumeCheckSeesAVolumeMountedOverTheProject() {
    test::TempHome someoneHome;
    someoneHome.file("proj/node_modules/lib.js", 10);
    const auto answer = test::runInMountNamespace([&] {
      std::string out = std::to_string(ProjectServices::sameVolume(someoneHome.path("proj"), someoneHome.path("proj/node_modules")));
      if (!test::mountTmpfs(someoneHome.path("proj"))) return std::string("no mount");
      someoneHome.file("proj/node_modules/theirs.js", 10);
      out += std::to_string(ProjectServices::sameVolume(someoneHome.path("proj"), someoneHome.path("proj/node_modules")));
      someoneHome.dir("other/sub");
      if (!test::mountTmpfs(someoneHome.path("other/sub"))) return std::string("no mount");
      someoneHome.dir("other/sub/node_modules");
      out += std::to_string(ProjectServices::sameVolume(someoneHome.path("other"), someoneHome.path("other/sub/node_modules")));
      return out;
    });
    if (!answer || *answer == "no mount") QSKIP(test::kNoMountNamespace);
    QCOMPARE(QString::fromStdString(*answer), QString("100"));
  }

  void onlyWhatIsGoneCountsAsRemoved() {
    ProjectsCleanFixture f;
    f.disk->failing["/p/wt/feature"] = {"/p/wt/feature", "git refused"};
    f.disk->failingButGone.insert("/p/api/target");
    f.model->clean();
    QTRY_VERIFY(f.model->phase().isReady());
    QCOMPARE(f.model->summary()->failures.size(), size_t{2});
    QCOMPARE(f.model->summary()->freed, 200 + 300);
    QCOMPARE(f.records[0].items, (std::vector<std::string>{"web/node_modules", "api/target"}));
    QCOMPARE(f.records[0].failures, 2);
    QCOMPARE(f.model->selectedWorktrees(), (ProjectsModel::Paths{"/p/wt/feature"}));
    QCOMPARE(f.model->scan()->worktrees.size(), size_t{1});
  }

  void anAllFailedRunStillRecords() {
    ProjectsCleanFixture f;
    for (const auto& path : {"/p/wt/feature", "/p/web/node_modules", "/p/api/target"})
      f.disk->failing[path] = {path, "no"};
    f.model->clean();
    QTRY_VERIFY(f.model->phase().isReady());
    QCOMPARE(f.records.size(), size_t{1});
    QVERIFY(f.records[0].items.empty());
    QCOMPARE(f.records[0].freedBytes, 0);
    QCOMPARE(f.records[0].failures, 3);
    QCOMPARE(f.model->selectedArtifacts().size(), size_t{2});
  }

  void cleanNeedsAReadySelection() {
    ProjectsCleanFixture f;
    f.model->setSelectedWorktrees({});
    f.model->setSelectedArtifacts({});
    f.model->clean();
    QVERIFY(f.model->phase().isReady());
    f.model->setSelectedArtifacts({"/p/api/target"});
    f.model->clean();
    QVERIFY(f.model->phase().isCleaning());
    f.model->clean();
    f.model->scanProjects();
    QTRY_VERIFY(f.model->phase().isReady());
    QCOMPARE(f.disk->performed.size(), size_t{1});
  }

  void rootsChosenDuringACleanWaitForItsEnd() {
    ProjectsCleanFixture f;
    f.model->clean();
    f.model->setRoots({"/new"});
    QVERIFY(f.model->phase().isCleaning());
    // The run writes its record as rows go: its end is the phase leaving Cleaning.
    QTRY_VERIFY(!f.model->phase().isCleaning());
    QVERIFY(f.model->phase().isIdle());
    QCOMPARE(f.records.size(), size_t{1});
    QCOMPARE(f.model->roots(), (std::vector<std::string>{"/new"}));
    QVERIFY(!f.model->scan());
  }

  void theDemoCleanPlaysItsSteps() {
    Demo::decide(true);
    ProjectsCleanFixture f;
    f.model->setSelectedWorktrees({});
    ProjectsModel::Paths all;
    for (const auto& row : f.model->scan()->artifacts) all.insert(row.path);
    f.model->setSelectedArtifacts(all);
    const auto rows = f.model->selectedArtifactRows();
    QVERIFY(!rows.empty());
    const auto expected = f.model->selectedBytes();
    f.model->clean();
    f.scheduler.advance(250ms * static_cast<int>(rows.size()));
    QVERIFY(f.model->phase().isReady());
    QCOMPARE(f.model->summary()->freed, expected);
    QVERIFY(f.disk->performed.empty());
    QCOMPARE(f.records.at(0).items.size(), rows.size());
  }
};

TIDRA_TEST_MAIN(ProjectsModelCleanTest)
#include "ProjectsModelCleanTest.moc"
