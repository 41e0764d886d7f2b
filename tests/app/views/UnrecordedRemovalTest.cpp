#include "support/TestMain.h"

#include "Demo.h"
#include "models/AppModelFakes.h"
#include "models/ApplicationsModel.h"
#include "models/DuplicatesModel.h"
#include "models/ProjectsModel.h"
#include "models/SimilarPhotosModel.h"
#include "support/FakeFileRevealer.h"
#include "support/FileSetsFixture.h"
#include "views/HistoryTexts.h"
#include "views/applications/ApplicationsTexts.h"
#include "views/applications/ApplicationsView.h"
#include "views/design/ConfirmationDialog.h"
#include "views/design/Theme.h"
#include "views/duplicates/DuplicatesView.h"
#include "views/largefiles/LargeFilesView.h"
#include "views/projects/ProjectsTexts.h"
#include "views/projects/ProjectsView.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace tidra;
using namespace std::chrono_literals;

namespace {

enum class RemovingScreen { projects, largeFiles, identicalFiles, similarPhotos, applications };

// One thing for each screen to remove, found by fake engine calls.
AppServices oneOfEach(const std::string& home, const std::shared_ptr<test::FakeTrash>& trash) {
  AppServices services;
  const auto project = home + "/Developer/web";
  services.projects = test::quietProjects();
  services.projects.defaultRoots = [home](const std::string&) { return std::vector<std::string>{home + "/Developer"}; };
  services.projects.workingDirectories = [] { return std::vector<std::string>{}; };
  services.projects.realHome = [] { return std::string("/nowhere"); };
  services.projects.scan = [project](auto&&...) {
    ProjectScan scan;
    ProjectScan::ArtifactRow row;
    row.path = project + "/node_modules";
    row.projectPath = project;
    row.realBytes = row.apparentBytes = 300'000'000;
    scan.artifacts = {row};
    scan.account.apparent = {300'000'000};
    scan.account.sharedOutside = {0};
    scan.account.combinations[{0}] = 300'000'000;
    return scan;
  };
  services.projects.perform = [](const PathGuard&, const CleanupAction&) {
    CleanReport report;
    report.freedBytes = 300'000'000;
    return report;
  };
  services.projects.onProjectsVolume = [](const std::string&, const std::string&) { return true; };
  services.projects.exists = [](const std::string&) { return false; };

  services.files = test::fakeFileServices({test::identical(2'000'000, {home + "/a.zip", home + "/Downloads/a.zip"})},
                                          {test::similar({home + "/Pictures/1.jpg", home + "/Pictures/2.jpg"})}, trash);
  services.files.findLargeFiles = [home](auto&&...) {
    return std::vector<LargeFile>{{home + "/big.iso", 2'000'000'000, {}}};
  };
  services.files.bytesNow = [](const std::string&) { return std::int64_t{2'000'000'000}; };

  services.applications = test::quietApplications();
  services.applications.listApps = [home](auto&&...) {
    return std::vector<InstalledApp>{{home + "/Applications/Slack.app", "Slack", "com.slack", {}, {}, false}};
  };
  services.applications.footprint = [](auto&&...) { return std::vector<std::string>{}; };
  services.applications.measure = [](const std::string&) { return std::int64_t{400'000'000}; };
  services.applications.removeApps = [](auto&&...) { return CleanReport{}; };
  services.applications.trashLeftovers = [](auto&&...) { return TrashOutcome{}; };
  return services;
}

// A home folder whose history can be blocked, a model writing its history there for real, and
// one screen over it.
struct RemovalMachine {
  explicit RemovalMachine(RemovingScreen screen) : screen(screen) {
    auto services = oneOfEach(home, trash);
    services.cleanup = test::fakeCleanup(std::make_shared<test::FakeDisk>());
    const auto live = CleanupServices::live();
    services.cleanup.loadHistory = live.loadHistory;
    services.cleanup.appendHistory = live.appendHistory;
    model = std::make_unique<AppModel>(test::quietEnvironment(home), services, test::fakeDesktop(), scheduler);
    view.reset(makeView());
    view->resize(980, 660);
    view->show();
    settle();
  }

  QWidget* makeView() {
    switch (screen) {
      case RemovingScreen::projects: return new projects::ProjectsView(model->projects(), *model, scheduler, revealer);
      case RemovingScreen::largeFiles: return new LargeFilesView(*model, revealer, home);
      case RemovingScreen::identicalFiles:
      case RemovingScreen::similarPhotos:
        return new duplicates::DuplicatesView(model->duplicates(), model->similarPhotos(), *model, revealer,
                                              model->desktop().thumbnailer);
      case RemovingScreen::applications:
        return new applications::ApplicationsView(model->applications(), *model, scheduler, revealer, [] {});
    }
    return nullptr;
  }

  // A file where the history's folder belongs: nobody, root included, can write the history.
  void blockHistory() {
    QVERIFY(QDir().mkpath(QString::fromStdString(home + "/.local/share")));
    QFile blocker(QString::fromStdString(home + "/.local/share/Tidra"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
  }
  void unblockHistory() { QVERIFY(QFile::remove(QString::fromStdString(home + "/.local/share/Tidra"))); }

  // Finds the screen's one thing and removes it the way a person does.
  void remove() {
    switch (screen) {
      case RemovingScreen::projects: {
        auto& projects = model->projects();
        projects.scanProjects();
        runUntil([&] { return projects.phase().isReady(); });
        projects.setSelectedArtifacts({home + "/Developer/web/node_modules"});
        projects.clean();
        return runUntil([&] { return projects.summary().has_value(); });
      }
      case RemovingScreen::largeFiles: {
        runUntil([&] { return model->largeFilePhase() == AppModel::SearchPhase::ready; });
        static_cast<LargeFilesView&>(*view).setSelection({home + "/big.iso"});
        settle();
        return confirmMove("trash", "trashConfirmation", [&] { return model->largeFiles().empty(); });
      }
      case RemovingScreen::identicalFiles: {
        auto& duplicates = model->duplicates();
        runUntil([&] { return duplicates.phase() == FileSetsModel::Phase::ready; });
        duplicates.selectExtraCopies();
        settle();
        return confirmMove("moveToTrash", "identicalConfirmation", [&] { return duplicates.groups().empty(); });
      }
      case RemovingScreen::similarPhotos: {
        auto& photos = model->similarPhotos();
        model->duplicates().setMode(DuplicatesModel::Mode::similar);
        runUntil([&] { return photos.phase() == FileSetsModel::Phase::ready; });
        photos.selectAllButTheBest();
        settle();
        return confirmMove("moveToTrash", "similarConfirmation", [&] { return photos.groups().empty(); });
      }
      case RemovingScreen::applications: {
        auto& applications = model->applications();
        runUntil([&] { return applications.phase() == ApplicationsModel::Phase::ready; });
        applications.setSelection({applications.apps().front().path});
        applications.uninstall();
        return runUntil([&] { return applications.summary().has_value(); });
      }
    }
  }

  // Clicks the visible button of that name, accepts the question and waits for the move.
  void confirmMove(const QString& button, const QString& question, const std::function<bool()>& moved) {
    for (auto* each : view->findChildren<QPushButton*>(button))
      if (each->isVisibleTo(view.get())) each->click();
    settle();
    auto* dialog = view->findChild<ConfirmationDialog*>(question);
    QVERIFY(dialog);
    dialog->accept();
    runUntil(moved);
  }

  // What a plain success says on this screen: the banner's title where it has one.
  std::optional<QString> successTitle() const {
    if (screen == RemovingScreen::projects) return ProjectsTexts::bannerTitle(*model->projects().summary());
    if (screen == RemovingScreen::applications) return ApplicationsTexts::bannerTitle(*model->applications().summary());
    return std::nullopt;
  }

  QString shownText() const {
    QStringList texts;
    for (auto* label : view->findChildren<QLabel*>())
      if (label->isVisibleTo(view.get())) texts << label->text();
    return texts.join(QLatin1Char('\n'));
  }

  void runUntil(const std::function<bool()>& done) {
    QVERIFY(QTest::qWaitFor([&] {
      scheduler.advance(50ms);
      return done();
    }));
    settle();
  }
  void settle() {
    for (int turn = 0; turn < 3; ++turn) QCoreApplication::processEvents();
  }

  RemovingScreen screen;
  QTemporaryDir folder;
  std::string home = folder.path().toStdString();
  std::shared_ptr<test::FakeTrash> trash = std::make_shared<test::FakeTrash>();
  TestScheduler scheduler;
  FakeFileRevealer revealer;
  std::unique_ptr<AppModel> model;
  std::unique_ptr<QWidget> view;
};

}  // namespace

// A removal the history file could not take is told as such on every screen that removes, until
// the history is written again.
class UnrecordedRemovalTest : public QObject {
  Q_OBJECT

private slots:
  void initTestCase() {
    Demo::decide(false);
    Theme::apply(Theme::Scheme::light);
  }

  void eachScreenSaysItsRemovalWentUnrecorded_data() {
    QTest::addColumn<RemovingScreen>("screen");
    QTest::newRow("projects") << RemovingScreen::projects;
    QTest::newRow("large files") << RemovingScreen::largeFiles;
    QTest::newRow("identical files") << RemovingScreen::identicalFiles;
    QTest::newRow("similar photos") << RemovingScreen::similarPhotos;
    QTest::newRow("applications") << RemovingScreen::applications;
  }
  void eachScreenSaysItsRemovalWentUnrecorded() {
    QFETCH(RemovingScreen, screen);
    RemovalMachine machine(screen);
    machine.blockHistory();
    machine.remove();
    const auto problem = machine.model->historyProblem();
    QVERIFY(problem);
    QCOMPARE(machine.model->unwrittenRecords().size(), std::size_t{1});
    const auto unrecorded = HistoryTexts::unrecorded(*problem);
    QVERIFY2(machine.shownText().contains(unrecorded), qPrintable(machine.shownText()));
    if (const auto title = machine.successTitle()) QVERIFY(machine.shownText().contains(*title));
    else QVERIFY(machine.shownText().contains(HistoryTexts::movedToTrash()));

    // The next removal from anywhere writes the kept record too; the screen goes back to plain.
    machine.unblockHistory();
    machine.model->record(CleanupRecord{machine.scheduler.now(), "Cleanup", 1, {"Caches"}, 0}, true);
    machine.settle();
    QVERIFY(!machine.model->historyProblem());
    QCOMPARE(machine.model->records().size(), std::size_t{2});
    QVERIFY2(!machine.shownText().contains(unrecorded), qPrintable(machine.shownText()));
    QVERIFY(!machine.shownText().contains(HistoryTexts::movedToTrash()));
    if (const auto title = machine.successTitle()) QVERIFY(machine.shownText().contains(*title));
  }

  // A screen that reports nothing after a good move tells only of its own moves, until dismissed.
  void theTrashNoticeIsForThisScreensMovesOnly() {
    RemovalMachine machine(RemovingScreen::largeFiles);
    machine.blockHistory();
    machine.model->record(CleanupRecord{machine.scheduler.now(), "Cleanup", 1, {"Caches"}, 0}, true);
    machine.settle();
    QVERIFY(machine.model->historyProblem());
    QVERIFY(!machine.shownText().contains(HistoryTexts::movedToTrash()));
    machine.remove();
    QVERIFY(machine.shownText().contains(HistoryTexts::movedToTrash()));
    machine.view->findChild<QPushButton*>("dismissHistoryNotice")->click();
    machine.settle();
    QVERIFY(!machine.shownText().contains(HistoryTexts::movedToTrash()));
  }
};

TIDRA_TEST_MAIN(UnrecordedRemovalTest)
#include "UnrecordedRemovalTest.moc"
