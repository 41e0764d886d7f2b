#include "support/TestMain.h"
#include "models/ProjectsModel.h"

#include "Demo.h"
#include "cleanup/Cleaner.h"
#include "support/TestScheduler.h"
#include "support/InMemoryPreferences.h"
#include "support/FakeFolderChooser.h"
#include "support/GitFixture.h"

#include <QFile>
#include <QTest>

using namespace tidra;

// A real scan and removal: a repository with node_modules, a finished worktree with its own
// node_modules, and one package file hard-linked into both.
class ProjectsModelLiveTest : public QObject {
  Q_OBJECT

private slots:
  void whatTheSummarySaysWasFreedIsWhatTheDiskLost() {
    Demo::decide(false);
    test::GitFixture git;
    git.ignore("node_modules");
    git.commit(git.repo(), "package.json", "{}");
    git.git(git.repo(), {"push", "-q", "origin", "main"});
    const auto done = git.addWorktree("done", "done");
    git.home.file("repo/node_modules/lib/big.js", 256'000);
    git.home.hardlink("wt/done/node_modules/lib/big.js", "repo/node_modules/lib/big.js");
    git.home.file("wt/done/node_modules/own.js", 64'000);
    git.home.file("repo/src/main.js", 5'000);
    git.ageEverything(60);

    TestScheduler scheduler;
    InMemoryPreferences preferences;
    FakeFolderChooser chooser;
    ProjectsModel model(git.home.root(), ProjectServices::live(), scheduler, preferences, chooser);
    model.setRoots({git.home.root()});
    model.scanProjects();
    QTRY_VERIFY_WITH_TIMEOUT(model.phase().isReady(), 60'000);

    QCOMPARE(model.selectedWorktrees(), (ProjectsModel::Paths{done}));
    QCOMPARE(model.selectedArtifacts(), (ProjectsModel::Paths{git.repo() + "/node_modules"}));
    const auto promised = model.selectedBytes();
    // Git's own bookkeeping of the worktree lives in the repository and is not ours to count.
    const auto before = git.allocatedBytes({git.repo() + "/.git"});
    model.clean();
    QTRY_VERIFY_WITH_TIMEOUT(model.phase().isReady(), 60'000);

    QVERIFY(model.summary()->failures.empty());
    const auto lost = before - git.allocatedBytes({git.repo() + "/.git"});
    QCOMPARE(model.summary()->freed, lost);
    QCOMPARE(model.summary()->freed, promised);
    QVERIFY(QFile::exists(QString::fromStdString(git.repo() + "/src/main.js")));
    QVERIFY(!QFile::exists(QString::fromStdString(done)));
  }

  // A second Tidra on the same home removes the folder just before this one does: it freed
  // nothing here, and this record says so, whatever the scan or a look just before showed.
  void aFolderAnotherRemovalTookFirstCountsNothingHere() {
    Demo::decide(false);
    test::GitFixture git;
    git.ignore("node_modules");
    git.commit(git.repo(), "package.json", "{}");
    git.home.file("repo/node_modules/lib/big.js", 256'000);
    git.ageEverything(60);

    auto services = ProjectServices::live();
    services.perform = [live = services.perform](const PathGuard& guard, const CleanupAction& action) {
      Cleaner(guard).perform(action);
      return live(guard, action);
    };
    TestScheduler scheduler;
    InMemoryPreferences preferences;
    FakeFolderChooser chooser;
    ProjectsModel model(git.home.root(), services, scheduler, preferences, chooser);
    std::vector<CleanupRecord> records;
    model.onCleaned = [&](const CleanupRecord& record) { records.push_back(record); };
    model.setRoots({git.home.root()});
    model.scanProjects();
    QTRY_VERIFY_WITH_TIMEOUT(model.phase().isReady(), 60'000);
    QCOMPARE(model.selectedArtifacts(), (ProjectsModel::Paths{git.repo() + "/node_modules"}));
    QVERIFY(model.selectedBytes() >= 256'000);

    model.clean();
    QTRY_VERIFY_WITH_TIMEOUT(model.phase().isReady(), 60'000);
    QVERIFY(!QFile::exists(QString::fromStdString(git.repo() + "/node_modules")));
    QCOMPARE(model.summary()->freed, std::int64_t{0});
    QVERIFY(!records.empty());
    for (const auto& record : records) {
      QCOMPARE(record.run, records.front().run);
      QCOMPARE(record.freedBytes, std::int64_t{0});
    }
  }
};

TIDRA_TEST_MAIN(ProjectsModelLiveTest)
#include "ProjectsModelLiveTest.moc"
