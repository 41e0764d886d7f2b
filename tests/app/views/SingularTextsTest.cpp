#include "support/TestMain.h"
#include "views/SelectionTexts.h"
#include "views/applications/ApplicationsTexts.h"
#include "views/cleanup/CleanupTexts.h"
#include "views/duplicates/DuplicatesTexts.h"
#include "views/largefiles/LargeFilesTexts.h"
#include "views/menubar/MenuBarTexts.h"
#include "views/performance/PerformanceTexts.h"
#include "views/projects/ProjectsTexts.h"

#include <QTest>

using namespace tidra;

// A count of one reads in the singular on every screen: footers, banners, badges and progress
// lines alike.
class SingularTextsTest : public QObject {
  Q_OBJECT

private slots:
  void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

  void countsOfOne_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    ProcessGroup one;
    one.name = "node";
    one.pids = {42};
    QTest::newRow("projects: measuring") << ProjectsTexts::describe(ProjectScanner::Stage::Measuring{1})
                                         << "Measuring 1 file or folder…";
    QTest::newRow("cleanup and projects: selection") << SelectionTexts::count(1) << "1 item selected";
    QTest::newRow("projects: exactly four ignored files")
        << ProjectsTexts::ignoredFilesLine({"a", "b", "c", "d"}) << "Also deletes ignored files: a, b, c, d";
    QTest::newRow("projects: one more ignored file")
        << ProjectsTexts::ignoredFilesLine({"a", "b", "c", "d", "e"}) << "Also deletes ignored files: a, b, c, d and 1 more";
    QTest::newRow("large files: progress") << LargeFilesTexts::progress(1) << "Searching your home folder… 1 file so far";
    QTest::newRow("large files: footer") << LargeFilesTexts::listSummary({LargeFile{"/h/a.iso", 2'000'000'000, {}}})
                                         << "1 file, 2 GB in total";
    QTest::newRow("duplicates: progress") << DuplicatesTexts::identicalProgress(DuplicateFinder::Looking{1})
                                          << "Looking through your folders… 1 file so far";
    QTest::newRow("large files: confirmation") << LargeFilesTexts::trashMessage(1)
                                               << "You can put it back from the Trash. The space is freed when you empty it.";
    QTest::newRow("duplicates: footer") << DuplicatesTexts::setsSummary(1, 3'400'000'000) << "1 set, 3.4 GB in extra copies";
    QTest::newRow("duplicates: confirmation") << DuplicatesTexts::trashMessage(10'000'000, 0, "file", 1)
                                              << "10 MB is freed when you empty the Trash, and you can put it back until then.";
    QTest::newRow("applications: status") << ApplicationsTexts::readyStatus(1, 2'000'000) << "1 app, 2 MB with their data";
    QTest::newRow("applications: banner") << ApplicationsTexts::stayedLabel(1) << "1 item stayed";
    QTest::newRow("performance: processes") << PerformanceTexts::processCaption(one) << "1 process";
    QTest::newRow("tray: idle servers") << MenuBarTexts::idleServersTitle(1) << "1 dev server is idle";
  }

  void countsOfOne() {
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(text, expected);
  }
};

TIDRA_TEST_MAIN(SingularTextsTest)
#include "SingularTextsTest.moc"
