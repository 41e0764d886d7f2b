#include "support/TestMain.h"
#include "views/applications/ApplicationsTexts.h"
#include "views/cleanup/CleanupTexts.h"
#include "views/duplicates/DuplicatesTexts.h"
#include "views/largefiles/LargeFilesTexts.h"
#include "views/performance/PerformanceTexts.h"
#include "views/settings/SettingsTexts.h"

#include <QTest>

using namespace tidra;

// The texts that used to name the other platform's parts speak of this desktop's.
class DesktopWordsTest : public QObject {
  Q_OBJECT

private slots:
  void textsNameThisDesktopsParts_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("tray toggle") << SettingsTexts::trayToggle() << "Show Tidra in the tray";
    QTest::newRow("alerts note") << SettingsTexts::alertsNote()
                                 << "Alerts need Tidra to be running, in the tray or with its window open.";
    QTest::newRow("best mark") << DuplicatesTexts::bestMarkHelp()
                               << "The one to keep: the most pixels, then the one whose picture quality rates best";
    QTest::newRow("keep best") << DuplicatesTexts::keepBestHelp()
                               << "Keeps the best photo of each set: the one with the most pixels, then the one whose "
                                  "picture quality rates best.";
    QTest::newRow("preview") << DuplicatesTexts::previewAction() << "Preview";
    QTest::newRow("docker") << CleanupTexts::dockerNotRunning()
                            << "Its images, containers and volumes sit inside Docker's data folder or disk image, "
                               "which only Docker can tidy. Start it, then rescan.";
    QTest::newRow("startup caption") << PerformanceTexts::startupCaption()
                                     << "Background items the system starts by itself. Turn off the ones you do not "
                                        "need in Startup Applications.";
    QTest::newRow("last opened") << ApplicationsTexts::lastOpenedUnknownHelp()
                                 << "Nothing records when it was last opened.";
    // What keeps Tidra out here is a folder it cannot read, not a privacy setting.
    QTest::newRow("trash notice") << CleanupTexts::trashHiddenDetail()
                                  << "Tidra cannot read your home folder, which holds the Trash.";
    QTest::newRow("apps notice") << ApplicationsTexts::accessNoticeDetail()
                                 << "Tidra cannot read your home folder, so that part of an app's data stays behind.";
    QTest::newRow("large files note") << LargeFilesTexts::accessNote()
                                      << "Other apps' private data is not searched: Tidra cannot read your home folder.";
    QTest::newRow("no apps") << ApplicationsTexts::noAppsDescription() << "Apps you install appear here.";
    QTest::newRow("no tools") << PerformanceTexts::toolsEmptyDescription()
                              << "Build daemons, language servers, dev servers, emulators and Docker show up here "
                                 "while they run.";
  }
  void textsNameThisDesktopsParts() {
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(text, expected);
    for (const char* word : {"Spotlight", "Time Machine", "Finder", "menu bar", "Login Items", "macOS", "Mac ",
                             "System Settings", "Quick Look", "Vision", "own disk", "Full Disk Access", "simulator",
                             "in Applications"})
      QVERIFY2(!text.contains(QLatin1String(word)), word);
  }
};

TIDRA_TEST_MAIN(DesktopWordsTest)
#include "DesktopWordsTest.moc"
