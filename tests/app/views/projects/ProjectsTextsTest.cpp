#include "support/TestMain.h"
#include "views/SelectionTexts.h"
#include "views/projects/ProjectsTexts.h"

#include <QTest>

using namespace tidra;
using namespace std::chrono_literals;
using Stage = ProjectScanner::Stage;

namespace {

ProjectScan::WorktreeRow worktree(Worktree::State state, std::optional<std::string> branch,
                                  std::vector<std::string> ignored = {}, bool inUse = false,
                                  std::optional<ProjectScan::Date> lastChange = std::nullopt) {
  return ProjectScan::WorktreeRow{Worktree{"/p/wt/topic", "/p/repo", std::move(branch), std::move(state), std::nullopt,
                                           std::move(ignored), {}, {}},
                                  lastChange, inUse, 0, 0, {}, {}};
}

const ProjectScan::Date scanNow{std::chrono::seconds{1'800'000'000}};

}  // namespace

class ProjectsTextsTest : public QObject {
  Q_OBJECT

private slots:
  void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

  void describesEveryStage() {
    const std::vector<std::pair<Stage, QString>> cases{
        {Stage::FindingProjects{}, "Finding projects…"},
        {Stage::CheckingWorktrees{1}, "Checking worktrees in 1 repository…"},
        {Stage::CheckingWorktrees{0}, "Checking worktrees in 0 repositories…"},
        {Stage::CheckingWorktrees{11}, "Checking worktrees in 11 repositories…"},
        {Stage::Measuring{1}, "Measuring 1 file or folder…"},
        {Stage::Measuring{412'000}, "Measuring 412,000 files and folders…"},
    };
    for (const auto& [stage, text] : cases) QCOMPARE(ProjectsTexts::describe(stage), text);
  }

  void fileManagerNoteThresholds_data() {
    QTest::addColumn<qint64>("real");
    QTest::addColumn<qint64>("apparent");
    QTest::addColumn<bool>("shown");
    QTest::newRow("60 % and 60 MB more") << qint64(100'000'000) << qint64(160'000'000) << true;
    QTest::newRow("exactly 50 MB more") << qint64(100'000'000) << qint64(150'000'000) << false;
    QTest::newRow("only 15 % more") << qint64(1'000'000'000) << qint64(1'150'000'000) << false;
    QTest::newRow("only 45 MB more") << qint64(10'000'000) << qint64(55'000'000) << false;
    QTest::newRow("nothing freed") << qint64(0) << qint64(50'000'001) << true;
  }
  void fileManagerNoteThresholds() {
    QFETCH(qint64, real);
    QFETCH(qint64, apparent);
    QFETCH(bool, shown);
    QCOMPARE(ProjectsTexts::showsFileManagerNote(real, apparent), shown);
  }

  void worktreeDetailsAndBadges() {
    const auto dirty = worktree(Worktree::State::UncommittedChanges{3}, "topic", {}, false, scanNow - 2 * 86'400s);
    QCOMPARE(ProjectsTexts::worktreeDetails(dirty, scanNow), QString("topic · 3 uncommitted changes · changed 2 days ago"));
    QVERIFY(!ProjectsTexts::showsYourCall(dirty));

    const auto merged = worktree(Worktree::State::Merged{"main"}, std::nullopt);
    QCOMPARE(ProjectsTexts::worktreeDetails(merged, scanNow), QString("Merged into main · its commits stay on the branch"));
    QVERIFY(!ProjectsTexts::showsYourCall(merged));
    QVERIFY(ProjectsTexts::showsYourCall(worktree(Worktree::State::Merged{"main"}, "b", {"notes.txt"})));
    QVERIFY(ProjectsTexts::showsYourCall(worktree(Worktree::State::PullRequestOpen{7}, "b")));
  }

  void ignoredFilesLine() {
    QCOMPARE(ProjectsTexts::ignoredFilesLine({}), QString());
    QCOMPARE(ProjectsTexts::ignoredFilesLine({".env"}), QString("Also deletes ignored files: .env"));
    QCOMPARE(ProjectsTexts::ignoredFilesLine({"a", "b", "c", "d", "e", "f"}),
             QString("Also deletes ignored files: a, b, c, d and 2 more"));
    const auto row = worktree(Worktree::State::Merged{"main"}, "b", {"a", "b", "c", "d", "e"});
    QCOMPARE(ProjectsTexts::confirmationWorktreeLine(row), QString("Merged into main. Also deletes a, b, c, d, e."));
  }

  void footerAndBanner() {
    QCOMPARE(SelectionTexts::count(0), QString("0 items selected"));
    QCOMPARE(SelectionTexts::count(1), QString("1 item selected"));
    QCOMPARE(SelectionTexts::count(12), QString("12 items selected"));
    CleanSummary summary{2'500'000'000, 0, 0, {}};
    QCOMPARE(ProjectsTexts::bannerTitle(summary), QString("Freed 2.5 GB"));
    QVERIFY(!ProjectsTexts::bannerDetail(summary, "/home/a"));
    const std::string full = "disk full";
    const QString unrecorded("It could not be added to the history (disk full); Tidra adds it after the next removal.");
    QCOMPARE(*ProjectsTexts::bannerDetail(summary, "/home/a", full), unrecorded);
    for (int i = 0; i < 5; ++i) summary.failures.push_back({"/home/a/p" + std::to_string(i), "busy"});
    QCOMPARE(*ProjectsTexts::bannerDetail(summary, "/home/a"),
             QString("5 could not be removed. ~/p0: busy ~/p1: busy"));
    QCOMPARE(*ProjectsTexts::bannerDetail(summary, "/home/a", full),
             "5 could not be removed. ~/p0: busy ~/p1: busy " + unrecorded);
  }

  void rootsRow() {
    const std::vector<std::string> roots{"/home/a/Projects", "/srv/code"};
    QCOMPARE(ProjectsTexts::rootsText(roots, "/home/a"), QString("~/Projects, /srv/code"));
    QCOMPARE(ProjectsTexts::rootsHelp(roots), QString("/home/a/Projects\n/srv/code"));
    QCOMPARE(ProjectsTexts::rootsText({}, "/home/a"), QString());
  }
};

TIDRA_TEST_MAIN(ProjectsTextsTest)
#include "ProjectsTextsTest.moc"
