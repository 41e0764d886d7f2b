// The real program on an X server of its own, driven only through synthetic X input (xdotool),
// the way a person uses it: every section's main pane must answer the mouse and the keys. The
// effects are read back from the screen's pixels, never from the program's widgets.

#include "support/XSession.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace std::chrono_literals;
using tidra::test::XSession;

namespace {

XSession* session = nullptr;

// Places in the main window, in points from its top-left corner (the menu bar included), for
// the demo data at the window's opening size of 980 by 660.
const QRect sidebar{0, 25, 190, 220};
enum class Row { overview, cleanup, projects, largeFiles, duplicates, applications, performance };
QPoint sidebarRow(Row row) { return {70, 44 + static_cast<int>(row) * 30}; }

const QPoint reviewAndClean{823, 262};
const QPoint firstCleanupBox{230, 131}, cleanButton{910, 623};
const QRect footer{215, 605, 745, 35};
const QPoint scanProjects{585, 449};
const QRect emptyProjects{400, 300, 380, 180};
const QPoint firstLargeFile{300, 138};
const QRect duplicatesList{210, 195, 735, 390};
const QPoint similarPhotos{642, 81}, duplicatesThumb{955, 280};
const QRect duplicatesPane{210, 100, 760, 500};
const QPoint byName{814, 45}, bySize{603, 45};
const QRect applicationsList{215, 115, 500, 340};
const QPoint developerTools{585, 249}, whySlow{840, 100};
const QRect performanceList{210, 275, 760, 370};

}  // namespace

class RealInput : public QObject {
  Q_OBJECT

  XSession& x = *session;
  const QRect whole{0, 0, 980, 660};

  void open(Row row) {
    x.click(sidebarRow(row));
    QVERIFY(x.settled(whole));
  }

  // Clicks `place`, waits until `area` changes, clicks `back` and waits until it looks as before.
  void changesAndBack(QPoint place, const QRect& area, QPoint back, const char* what) {
    const QImage before = x.shot(area);
    x.click(place);
    QVERIFY2(x.until([&] { return x.shot(area) != before; }), what);
    x.click(back);
    QVERIFY2(x.until([&] { return x.shot(area) == before; }), what);
  }

  // Opens a sheet with `place`, closes it with `keys`.
  void sheetOpensAndCloses(QPoint place, const QStringList& keys, const char* what) {
    const int windows = x.visibleWindows();
    x.click(place);
    QVERIFY2(x.until([&] { return x.visibleWindows() == windows + 1; }, XSession::startPatience), what);
    QVERIFY(x.settled(whole, XSession::startPatience));
    for (const QString& key : keys) x.key(key);
    QVERIFY2(x.until([&] { return x.visibleWindows() == windows; }, XSession::startPatience), what);
  }

private slots:
  // What the window showed when a check failed, for whoever reads the log.
  void cleanup() {
    if (!QTest::currentTestFailed()) return;
    const QString path = QDir::temp().filePath(QStringLiteral("RealInput-%1.png").arg(QTest::currentTestFunction()));
    if (x.shot(whole).save(path)) qInfo("the window at the failure: %s", qPrintable(path));
  }

  void initTestCase() {
    QVERIFY2(x.startProgram({"--demo", "yes"}), qPrintable(x.problem()));
    QVERIFY(x.settled(whole, XSession::startPatience));
  }

  void overviewsButtonOpensCleanup() {
    open(Row::cleanup);
    const QImage atCleanup = x.shot(sidebar);
    open(Row::overview);
    QVERIFY(x.shot(sidebar) != atCleanup);
    x.click(reviewAndClean);
    QVERIFY2(x.until([&] { return x.shot(sidebar) == atCleanup; }), "Review and Clean did not open Cleanup");
  }

  void cleanupRowsAnswerTheirCheckbox() {
    open(Row::cleanup);
    changesAndBack(firstCleanupBox, footer, firstCleanupBox, "unticking a row did not change what is selected");
  }

  void escapeClosesTheCleanSheet() {
    open(Row::cleanup);
    sheetOpensAndCloses(cleanButton, {"Escape"}, "Clean... opened no sheet, or Escape did not close it");
  }

  void scanningProjectsReplacesTheFirstVisitText() {
    open(Row::projects);
    const QImage before = x.shot(emptyProjects);
    x.click(scanProjects);
    QVERIFY2(x.until([&] { return x.shot(emptyProjects) != before; }), "Scan Projects did nothing");
  }

  void largeFilesRowsAnswerAClick() {
    open(Row::largeFiles);
    const QImage before = x.shot(footer);
    x.click(firstLargeFile);
    QVERIFY2(x.until([&] { return x.shot(footer) != before; }), "selecting a large file changed nothing");
  }

  void theWheelAndTheScrollBarMoveALongList() {
    open(Row::duplicates);
    const QImage top = x.shot(duplicatesList);
    x.wheel(duplicatesList.center(), 5, 3);
    QVERIFY2(x.until([&] { return x.shot(duplicatesList) != top; }), "the wheel did not scroll the list");
    x.wheel(duplicatesList.center(), 4, 10);
    QVERIFY2(x.until([&] { return x.shot(duplicatesList) == top; }), "the wheel did not scroll back");
    x.drag(duplicatesThumb, duplicatesThumb + QPoint(0, 150));
    QVERIFY2(x.until([&] { return x.shot(duplicatesList) != top; }), "dragging the scroll bar did not scroll");
  }

  void duplicatesTabsSwitch() {
    open(Row::duplicates);
    const QImage before = x.shot(duplicatesPane);
    x.click(similarPhotos);
    QVERIFY2(x.until([&] { return x.shot(duplicatesPane) != before; }), "Similar Photos did not switch");
  }

  void applicationsSortByName() {
    open(Row::applications);
    changesAndBack(byName, applicationsList, bySize, "sorting the applications changed nothing");
  }

  void performanceTabsSwitch() {
    open(Row::performance);
    const QImage before = x.shot(performanceList);
    x.click(developerTools);
    QVERIFY2(x.until([&] { return x.shot(performanceList) != before; }), "Developer Tools did not switch");
  }

  // Return means Done in the diagnosis sheet, wherever Tab has put the focus.
  void returnInTheDiagnosisSheetMeansDone() {
    open(Row::performance);
    sheetOpensAndCloses(whySlow, {"Tab", "Return"}, "the diagnosis sheet did not open, or Return did not close it");
  }

  // Return presses the button Tab put the focus on: "Why Is My Computer Slow?" is the first stop
  // after the sidebar.
  void returnPressesTheFocusedButton() {
    open(Row::performance);
    const int windows = x.visibleWindows();
    x.key("Tab");
    x.key("Return");
    QVERIFY2(x.until([&] { return x.visibleWindows() == windows + 1; }, XSession::startPatience),
             "Return did not press the focused button");
    QVERIFY(x.settled(whole));
    x.key("Escape");
    QVERIFY(x.until([&] { return x.visibleWindows() == windows; }, XSession::startPatience));
  }

  // Wherever Tab stops, the window shows it: with the sidebar holding the focus nothing on the
  // page is ringed, and each of the page's stops looks different from that and from every other
  // stop, on the tables' current row as on buttons, so no stop is a scroll area showing nothing.
  void everyTabStopShowsItsFocus() {
    const QRect page{190, 0, 790, 660};
    for (const Row row : {Row::cleanup, Row::largeFiles}) {
      open(row);
      std::vector<QImage> seen{x.shot(page)};
      for (int stop = 1; stop <= 3; ++stop) {
        x.key("Tab");
        QVERIFY(x.settled(whole));
        const QImage now = x.shot(page);
        QVERIFY2(std::find(seen.begin(), seen.end(), now) == seen.end(),
                 qPrintable(QStringLiteral("Tab stop %1 of section %2 shows no focus").arg(stop).arg(int(row))));
        seen.push_back(now);
      }
    }
  }

  // The clean confirmation keeps no default button, so a stray Return cleans nothing; its first
  // Tab stop, the list of what goes, shows the focus like every other.
  void theCleanConfirmationIgnoresAStrayReturn_andShowsItsFirstStop() {
    open(Row::cleanup);
    const int windows = x.visibleWindows();
    x.click(cleanButton);
    QVERIFY(x.until([&] { return x.visibleWindows() == windows + 1; }, XSession::startPatience));
    QVERIFY(x.settled(whole));
    x.key("Return");
    QVERIFY(x.settled(whole));
    QCOMPARE(x.visibleWindows(), windows + 1);
    const QImage before = x.shot(whole);
    x.key("Tab");
    QVERIFY2(x.until([&] { return x.shot(whole) != before; }), "the confirmation's first Tab stop shows no focus");
    x.key("Escape");
    QVERIFY(x.until([&] { return x.visibleWindows() == windows; }, XSession::startPatience));
  }

  // Ctrl+, opens Settings. Its last stop, "Send Feedback…", pressed with Return, finds no web
  // browser in the sandbox, and Tidra says so in a window of its own. Last, as Settings stays open.
  void ctrlCommaOpensSettings_andAFeedbackLinkNothingOpensIsTold() {
    open(Row::overview);
    const int windows = x.visibleWindows();
    x.key("ctrl+comma");
    QVERIFY2(x.until([&] { return x.visibleWindows() == windows + 1; }, XSession::startPatience),
             "Ctrl+, did not open Settings");
    QVERIFY(x.settled(whole));
    x.key("shift+Tab");
    x.key("Return");
    // Opening the page starts a program that fails before anything is said.
    QVERIFY2(x.until([&] { return x.visibleWindows() == windows + 2; }, XSession::startPatience),
             "nothing said that the page did not open");
  }
};

int main(int argc, char* argv[]) {
  XSession x;
  if (!x.startServer()) {
    std::fprintf(stderr, "no X server: %s\n", qPrintable(x.problem()));
    return 1;
  }
  session = &x;
  QApplication application(argc, argv);
  RealInput test;
  return QTest::qExec(&test, argc, argv);
}

#include "RealInput.moc"
