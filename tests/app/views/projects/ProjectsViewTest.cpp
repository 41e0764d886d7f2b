#include "support/TestMain.h"
#include "views/projects/ProjectsView.h"

#include "Demo.h"
#include "models/AppModelFakes.h"
#include "models/ProjectsModel.h"
#include "support/TestScheduler.h"
#include "support/InMemoryPreferences.h"
#include "support/FakeFileRevealer.h"
#include "support/FakeFolderChooser.h"
#include "support/GatedProjectScan.h"
#include "support/GitFixture.h"
#include "support/FileProbe.h"
#include "views/RowKeys.h"
#include "views/SelectionTexts.h"
#include "views/design/Button.h"
#include "views/design/KeyedRowList.h"
#include "views/design/StyledLabel.h"
#include "views/design/Theme.h"
#include "views/projects/ProjectRow.h"
#include "views/projects/ProjectsConfirmation.h"
#include "views/projects/ProjectsTexts.h"
#include "views/projects/SectionHeader.h"

#include <QCheckBox>
#include <QDir>
#include <QPointer>
#include <QStackedLayout>
#include <QTest>

using namespace tidra;
using namespace std::chrono_literals;

namespace {

struct ProjectsScreen {
  TestScheduler scheduler;
  InMemoryPreferences preferences;
  FakeFolderChooser chooser;
  FakeFileRevealer revealer;
  std::shared_ptr<GatedProjectScan> gate = std::make_shared<GatedProjectScan>();
  std::unique_ptr<ProjectsModel> model;
  test::FakeModel app;  // whose history the screen reports on
  std::unique_ptr<projects::ProjectsView> view;

  explicit ProjectsScreen(const std::string& home = "/home/someone", ProjectServices services = {}) {
    if (!services.scan) {
      services.defaultRoots = [](const std::string& h) { return std::vector<std::string>{h + "/Developer"}; };
      services.workingDirectories = [] { return std::vector<std::string>{}; };
      services.realHome = [] { return std::string("/nowhere"); };
      services.scan = gate->service();
    }
    model = std::make_unique<ProjectsModel>(home, services, scheduler, preferences, chooser);
    view = std::make_unique<projects::ProjectsView>(*model, app.make(), scheduler, revealer);
    view->resize(980, 660);
    view->show();
  }
  template <class T = QWidget>
  T* find(const QString& name) const {
    return view->findChild<T*>(name);
  }
  QWidget* currentPage() const { return view->findChild<QStackedLayout*>()->currentWidget(); }
  void settle() {
    QCoreApplication::processEvents();
    view->refresh();
  }
  void demoScan() {
    find<Button>("scanProjects")->click();
    scheduler.advance(5s);
    settle();
  }
  // Saves the screen when TIDRA_SCREEN_DIR names a folder, for people to look at.
  void save(const QString& name) const {
    const QString folder = qEnvironmentVariable("TIDRA_SCREEN_DIR");
    if (folder.isEmpty()) return;
    // Rows removed and layouts redone take a few turns of the event loop.
    for (int turn = 0; turn < 3; ++turn) {
      QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
      QCoreApplication::processEvents();
    }
    view->window()->grab().save(QDir(folder).filePath(name + ".png"));
  }
};

}  // namespace

class ProjectsViewTest : public QObject {
  Q_OBJECT

private slots:
  void init() { Demo::decide(false); }
  void cleanupTestCase() { Demo::decide(false); }

  void firstVisitShowsTheEmptyStateAndStartsNothing() {
    ProjectsScreen s;
    s.settle();
    QVERIFY(s.find<Button>("scanProjects")->isVisible());
    QVERIFY(!s.find("projectsList")->isVisible());
    QVERIFY(!s.find<Button>("scanAgain")->isEnabled());
    QCOMPARE(s.find<StyledLabel>("projectRoots")->text(), QString("~/Developer"));
    QCOMPARE(s.gate->callCount(), 0);
    s.save("projects-empty");
  }

  void stopDuringTheFirstScanBringsBackTheEmptyState() {
    ProjectsScreen s;
    s.gate->results = {ProjectScan{}};
    s.find<Button>("scanProjects")->click();
    s.settle();
    QVERIFY(s.find<Button>("stopScan")->isVisible());
    QVERIFY(!s.find<Button>("changeFolders")->isEnabled());
    QCOMPARE(s.find<StyledLabel>("scanProgress")->text(), QString("Finding projects…"));
    s.save("projects-scanning");
    s.find<Button>("stopScan")->click();
    s.gate->release();
    QTRY_VERIFY(s.model->phase().isIdle());
    s.settle();
    QVERIFY(s.find<Button>("scanProjects")->isVisible());
  }

  void theDemoListSelectsAndCounts() {
    Demo::decide(true);
    ProjectsScreen s;
    s.demoScan();
    QVERIFY(s.find("projectsList")->isVisible());
    const int count = static_cast<int>(s.model->selectedWorktreeRows().size() + s.model->selectedArtifactRows().size());
    QCOMPARE(s.find<StyledLabel>("footerText")->text(), SelectionTexts::count(count));
    QCOMPARE(s.find<StyledLabel>("footerBytes")->text(), QString("23.5 GB"));
    QVERIFY(s.find<Button>("remove")->isEnabled());
    s.save("projects-list");

    // A project's "Select All" touches only its own rows.
    const auto groups = s.model->projectGroups();
    const auto& group = groups.front();
    const auto worktreesBefore = s.model->selectedWorktrees();
    auto artifactsOutside = s.model->selectedArtifacts();
    for (const auto& row : group.rows) artifactsOutside.erase(row.path);
    projects::SectionHeader* groupHeader = nullptr;
    for (auto* candidate : s.view->findChildren<projects::SectionHeader*>())
      if (candidate->isVisible() && candidate->findChild<StyledLabel*>() &&
          candidate->findChildren<StyledLabel*>().at(0)->text() ==
              QString::fromStdString(group.path.substr(group.path.rfind('/') + 1)))
        groupHeader = candidate;
    QVERIFY(groupHeader);
    const bool wasAll = std::all_of(group.rows.begin(), group.rows.end(),
                                    [&](const auto& row) { return s.model->selectedArtifacts().contains(row.path); });
    groupHeader->toggleButton()->click();
    for (const auto& row : group.rows) QCOMPARE(s.model->selectedArtifacts().contains(row.path), !wasAll);
    auto artifactsOutsideAfter = s.model->selectedArtifacts();
    for (const auto& row : group.rows) artifactsOutsideAfter.erase(row.path);
    QCOMPARE(artifactsOutsideAfter, artifactsOutside);
    QCOMPARE(s.model->selectedWorktrees(), worktreesBefore);
  }

  void removeNeedsASelection() {
    Demo::decide(true);
    ProjectsScreen s;
    s.demoScan();
    s.model->setSelectedWorktrees({});
    s.model->setSelectedArtifacts({});
    s.settle();
    QVERIFY(!s.find<Button>("remove")->isEnabled());
    QCOMPARE(s.find<StyledLabel>("footerText")->text(), QString("0 items selected"));
    QVERIFY(!s.find<StyledLabel>("footerBytes")->isVisible());
  }

  void confirmingRemovesAndFoldersWaitMeanwhile() {
    Demo::decide(true);
    ProjectsScreen s;
    s.demoScan();
    s.find<Button>("remove")->click();
    s.settle();
    auto* sheet = s.view->findChild<projects::ProjectsConfirmation*>();
    QVERIFY(sheet);
    QCOMPARE(sheet->size(), QSize(600, 500));
    s.save("projects-confirm");
    QCOMPARE(sheet->windowTitle(), QString("Remove 23.5 GB?"));
    sheet->actionButton()->click();
    s.settle();
    QVERIFY(s.model->phase().isCleaning());
    QVERIFY(!s.model->isConfirming());
    QVERIFY(!s.find<Button>("changeFolders")->isEnabled());
    QVERIFY(!s.find<Button>("remove")->isEnabled());
    QVERIFY(s.find<StyledLabel>("footerText")->text().startsWith("Removing "));
    s.scheduler.advance(60s);
    s.settle();
    QVERIFY(s.model->phase().isReady());
    QVERIFY(s.find<Button>("changeFolders")->isEnabled());
    QVERIFY(s.view->findChild<QWidget*>("projectsResultBanner"));
    s.save("projects-done");
  }

  void escapeOrTheModelClosesTheSheetAndKeepsTheSelection_data() {
    QTest::addColumn<bool>("byTheModel");
    QTest::newRow("escape") << false;
    QTest::newRow("confirming turned off") << true;
  }
  void escapeOrTheModelClosesTheSheetAndKeepsTheSelection() {
    QFETCH(bool, byTheModel);
    Demo::decide(true);
    ProjectsScreen s;
    s.demoScan();
    const auto before = s.model->selectedArtifacts();
    s.find<Button>("remove")->click();
    s.settle();
    QPointer<projects::ProjectsConfirmation> sheet = s.view->findChild<projects::ProjectsConfirmation*>();
    QVERIFY(sheet);
    if (byTheModel)
      s.model->setConfirming(false);
    else
      QTest::keyClick(sheet, Qt::Key_Escape);
    s.settle();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!sheet);
    QVERIFY(!s.model->isConfirming());
    QVERIFY(s.model->phase().isReady());
    QCOMPARE(s.model->selectedArtifacts(), before);
  }

  // Scan, keep the default selection, remove through the sheet: the banner's figure is what
  // the file system lost.
  void aLiveRemovalFreesWhatTheBannerSays() {
    test::GitFixture git;
    git.ignore("node_modules");
    git.commit(git.repo(), "package.json", "{}");
    git.git(git.repo(), {"push", "-q", "origin", "main"});
    git.addWorktree("done", "done");
    git.home.file("repo/node_modules/lib/big.js", 256'000);
    git.home.hardlink("wt/done/node_modules/lib/big.js", "repo/node_modules/lib/big.js");
    git.home.file("wt/done/node_modules/own.js", 64'000);
    git.ageEverything(60);

    auto services = ProjectServices::live();
    services.defaultRoots = [root = git.home.root()](const std::string&) { return std::vector<std::string>{root}; };
    ProjectsScreen s(git.home.root(), services);
    s.find<Button>("scanProjects")->click();
    QTRY_VERIFY_WITH_TIMEOUT(s.model->phase().isReady(), 60'000);
    s.settle();
    QCOMPARE(static_cast<int>(s.model->selectedWorktreeRows().size() + s.model->selectedArtifactRows().size()), 2);
    const auto before = git.allocatedBytes({git.repo() + "/.git"});
    s.find<Button>("remove")->click();
    s.settle();
    s.view->findChild<projects::ProjectsConfirmation*>()->actionButton()->click();
    QTRY_VERIFY_WITH_TIMEOUT(s.model->phase().isReady(), 60'000);
    s.settle();
    const auto lost = before - git.allocatedBytes({git.repo() + "/.git"});
    QVERIFY(lost > 0);
    QCOMPARE(ProjectsTexts::bannerTitle(*s.model->summary()), ProjectsTexts::bannerTitle(CleanSummary{lost, 0, 0, {}}));
    QCOMPARE(s.model->summary()->freed, lost);
  }

  // Two folder names that are not UTF-8 and read alike once decoded: each row is its own, an
  // untick takes out exactly its folder, it reveals itself, and Remove leaves that folder alone.
  void foldersNamedInOtherEncodingsTickAndRemoveOnTheirOwn() {
    test::GitFixture git;
    const std::string kept = "caf\xe9", removed = "caf\xe8";
    for (const auto& name : {kept, removed}) {
      git.home.text(name + "/package.json", "{}");
      git.home.file(name + "/node_modules/lib.js", 64'000);
    }
    git.ageEverything(60);
    auto services = ProjectServices::live();
    services.defaultRoots = [root = git.home.root()](const std::string&) { return std::vector<std::string>{root}; };
    ProjectsScreen s(git.home.root(), services);
    s.find<Button>("scanProjects")->click();
    QTRY_VERIFY_WITH_TIMEOUT(s.model->phase().isReady(), 60'000);
    s.settle();
    const std::string keptFolder = test::realPath(git.home.path(kept + "/node_modules"));
    const std::string removedFolder = test::realPath(git.home.path(removed + "/node_modules"));
    QCOMPARE(s.model->selectedArtifacts(), (std::set<std::string>{keptFolder, removedFolder}));

    projects::ProjectRow* keptRow = nullptr;
    // KeyedRowList has no meta-object of its own: told apart by its C++ type.
    for (auto* widget : s.view->findChildren<QWidget*>())
      if (auto* list = dynamic_cast<KeyedRowList*>(widget))
        if (auto* row = qobject_cast<projects::ProjectRow*>(list->row(RowKeys::of(keptFolder)))) keptRow = row;
    QVERIFY(keptRow);
    keptRow->checkBox()->click();
    QCOMPARE(s.model->selectedArtifacts(), std::set<std::string>{removedFolder});
    emit keptRow->revealRequested();
    QCOMPARE(s.revealer.revealed, std::vector<std::string>{keptFolder});

    s.settle();
    s.find<Button>("remove")->click();
    s.settle();
    auto* sheet = s.view->findChild<projects::ProjectsConfirmation*>();
    QVERIFY(sheet);
    sheet->actionButton()->click();
    QTRY_VERIFY_WITH_TIMEOUT(s.model->phase().isReady() && s.model->summary(), 60'000);
    QVERIFY(test::exists(keptFolder + "/lib.js"));
    QVERIFY(!test::exists(removedFolder));
  }
};

TIDRA_TEST_MAIN(ProjectsViewTest)
#include "ProjectsViewTest.moc"
