#include "support/TestMain.h"
#include "cleanup/CleanupHistory.h"
#include "support/CleanableHome.h"
#include "support/FolderRecord.h"
#include "support/ImageFigures.h"
#include "support/ScreenshotRun.h"

#include <QDir>
#include <QImage>
#include <QRegularExpression>
#include <QTest>

#include <algorithm>
#include <optional>

using namespace tidra;
using test::CleanableHome;
using test::FolderRecord;
using test::ImageFigures;
using test::ScreenshotRun;

namespace {

enum class Scheme { light, dark };

const QStringList allSections{"overview", "cleanup",      "projects",   "largeFiles",
                              "duplicates", "applications", "performance"};
// The shots of a run over every section without cleaning, then what the extras and the
// cleaning add.
const QStringList runShots{"overview",     "cleanup",         "cleanup-confirm",       "projects",
                           "projects-confirm", "largeFiles",   "duplicates",            "duplicates-similar",
                           "applications", "applications-confirm", "performance", "performance-developer",
                           "performance-startup"};
const QStringList extraShots{"menubar", "settings", "menubar-check", "diagnosis"};
const QStringList cleanShots{"cleanup-done", "projects-done"};

// Sizes in points; the 2x screen doubles them in the images.
constexpr int scale = 2;
const QSize mainWindowSize{980, 660};
const QMap<QString, QSize> sheetSizes{{"cleanup-confirm", {560, 480}},
                                      {"projects-confirm", {600, 500}},
                                      {"applications-confirm", {600, 520}},
                                      {"diagnosis", {580, 560}}};
const QStringList panels{"menubar", "menubar-check"};
constexpr int panelWidth = 320;

// A fixed moment for the demo's dates, so the images of two runs show the same texts.
const QString fixedNow = QStringLiteral("2025-03-14T09:30:00Z");

QString appearance(Scheme scheme) { return scheme == Scheme::light ? QStringLiteral("light") : QStringLiteral("dark"); }

QStringList demoArguments(const QString& folder, Scheme scheme) {
  return {"--demo", "yes", "--snapshot", folder, "--appearance", appearance(scheme)};
}

QProcessEnvironment pinnedClock() {
  QProcessEnvironment environment;
  environment.insert(QStringLiteral("TIDRA_FIXED_NOW"), fixedNow);
  return environment;
}

// "snapshot <time>: <message>": the message, when the line has that form and its time holds
// the hours, minutes and seconds.
std::optional<QString> messageOf(const QString& line) {
  static const QRegularExpression form(QStringLiteral(R"(^snapshot ([^:]*\d+:\d\d:\d\d[^:]*): (.+)$)"));
  const auto match = form.match(line);
  if (!match.hasMatch()) return std::nullopt;
  return match.captured(2);
}

// The run ended by itself within the guard, with `exitCode`.
void checkEnded(const ScreenshotRun::Outcome& outcome, int exitCode = 0) {
  QVERIFY2(outcome.finished, outcome.errors.constData());
  QCOMPARE(outcome.status, QProcess::NormalExit);
  QVERIFY2(outcome.exitCode == exitCode, outcome.errors.constData());
  qInfo("run took %.1f s", static_cast<double>(outcome.took.count()) / 1000.0);
}

// The progress lines in their order: started, the cleanup scan when a section needs it, one
// line per section with the main window there, the extras when asked, done.
void checkLog(const QStringList& lines, const QStringList& sections, bool extras) {
  QStringList messages;
  for (const QString& line : lines) {
    const auto message = messageOf(line);
    QVERIFY2(message, qPrintable(QStringLiteral("not a progress line: ") + line));
    messages << *message;
  }
  QStringList expected{QStringLiteral(R"(started; windows: \[.*\])")};
  if (sections.contains(QStringLiteral("overview")) || sections.contains(QStringLiteral("cleanup")))
    expected << QStringLiteral("cleanup scan ready");
  for (const QString& section : sections)
    expected << QStringLiteral("section ") + section + QStringLiteral(", main window: true, windows: .+");
  if (extras) expected << QStringLiteral("extras");
  expected << QStringLiteral("done");
  QCOMPARE(messages.size(), expected.size());
  for (int i = 0; i < expected.size(); ++i)
    QVERIFY2(QRegularExpression(QRegularExpression::anchoredPattern(expected[i])).match(messages[i]).hasMatch(),
             qPrintable(QStringLiteral("line %1: %2").arg(i).arg(messages[i])));
}

// The size an image must have, or none where only its width is fixed or nothing is.
std::optional<QSize> sizeOf(const QString& shot) {
  if (sheetSizes.contains(shot)) return sheetSizes[shot] * scale;
  if (panels.contains(shot) || shot == QStringLiteral("settings")) return std::nullopt;
  return mainWindowSize * scale;
}

// Exactly the expected files, each a real picture of its window in the run's colours.
void checkShots(const QString& folder, const QStringList& shots, Scheme scheme) {
  QStringList written = QDir(folder).entryList(QDir::Files | QDir::Hidden);
  QStringList expected;
  for (const QString& shot : shots) expected << shot + QStringLiteral(".png");
  written.sort();
  expected.sort();
  QCOMPARE(written, expected);
  for (const QString& shot : shots) {
    const QImage image(QDir(folder).filePath(shot + QStringLiteral(".png")), "PNG");
    QVERIFY2(!image.isNull(), qPrintable(shot));
    if (const auto size = sizeOf(shot)) QCOMPARE(image.size(), *size);
    if (panels.contains(shot)) QCOMPARE(image.width(), panelWidth * scale);
    const auto figures = ImageFigures::of(image);
    qInfo("%s: %dx%d, brightness %.2f, %d colours, contrast %.2f", qPrintable(shot), image.width(),
          image.height(), figures.brightness, figures.colours, figures.contrast);
    QVERIFY2(figures.colours >= 64, qPrintable(shot));
    QVERIFY2(figures.contrast >= 0.2, qPrintable(shot));
    if (scheme == Scheme::light) QVERIFY2(figures.brightness > 0.6, qPrintable(shot));
    else QVERIFY2(figures.brightness < 0.4, qPrintable(shot));
  }
}

}  // namespace

// The program in screenshot mode, started as CI starts it, and everything it leaves behind: its
// progress lines, its images and, when it cleans, the home folder and the history. Each run is a
// CTest entry of its own (tests/CMakeLists.txt lists them), so they overlap.
class ScreenshotRunTest : public QObject {
  Q_OBJECT

private slots:
  void demoRun() {
    ScreenshotRun run;
    const QString folder = run.path(QStringLiteral("shots"));
    const auto outcome = run.run(demoArguments(folder, Scheme::light), pinnedClock());
    checkEnded(outcome);
    if (QTest::currentTestFailed()) return;
    checkLog(outcome.lines, allSections, false);
    if (QTest::currentTestFailed()) return;
    checkShots(folder, runShots, Scheme::light);
  }

  void extrasRunInDark() {
    ScreenshotRun run;
    const QString folder = run.path(QStringLiteral("shots"));
    const auto outcome = run.run(demoArguments(folder, Scheme::dark) << "--snapshot-extras", pinnedClock());
    checkEnded(outcome);
    if (QTest::currentTestFailed()) return;
    checkLog(outcome.lines, allSections, true);
    if (QTest::currentTestFailed()) return;
    checkShots(folder, runShots + extraShots, Scheme::dark);
  }

  // Demo removals are simulated: the home given to --home keeps every byte.
  void cleaningDemoRunLeavesTheHomeAlone() {
    ScreenshotRun run;
    CleanableHome home;
    const auto before = FolderRecord::of(home.root());
    const QString folder = run.path(QStringLiteral("shots"));
    const auto outcome = run.run(
        demoArguments(folder, Scheme::light) << "--snapshot-extras" << "--snapshot-clean" << "--home" << home.root(),
        pinnedClock());
    checkEnded(outcome);
    if (QTest::currentTestFailed()) return;
    checkLog(outcome.lines, allSections, true);
    if (QTest::currentTestFailed()) return;
    checkShots(folder, runShots + extraShots + cleanShots, Scheme::light);
    QCOMPARE(FolderRecord::changes(before, FolderRecord::of(home.root())), QStringList());
  }

  // The demo data alone is enough to clean, as the usage text says: the run shoots what went.
  void cleaningDemoRunWithoutAHomeShootsTheResults() {
    ScreenshotRun run;
    const QString folder = run.path(QStringLiteral("shots"));
    const QStringList sections{"cleanup", "projects"};
    const auto outcome = run.run(demoArguments(folder, Scheme::light) << "--snapshot-clean" << "--snapshot-sections"
                                                                      << sections.join(','),
                                 pinnedClock());
    checkEnded(outcome);
    if (QTest::currentTestFailed()) return;
    checkLog(outcome.lines, sections, false);
    if (QTest::currentTestFailed()) return;
    checkShots(folder, {"cleanup", "cleanup-confirm", "cleanup-done", "projects", "projects-confirm", "projects-done"},
               Scheme::light);
  }

  // The one run of the real engine: what the cleanup and projects screens select by default is
  // really gone, every other byte of the home is as it was, nothing outside it changed, and the
  // history holds what went.
  void liveRunRemovesWhatTheScreensSelect() {
    ScreenshotRun run;
    CleanableHome home;
    const QStringList cleaned = CleanableHome::cleanupSelects();
    const QStringList removed = cleaned + CleanableHome::projectsSelects();
    const QString historyFolder = QStringLiteral(".local/share/Tidra");
    const auto before = FolderRecord::of(home.root());
    const auto userBefore = FolderRecord::of(run.userHome());
    const QString folder = run.path(QStringLiteral("shots"));

    const auto outcome = run.run({"--home", home.root(), "--snapshot", folder, "--snapshot-clean",
                                  "--snapshot-sections", "cleanup,projects", "--appearance", "light"});
    checkEnded(outcome);
    if (QTest::currentTestFailed()) return;
    checkLog(outcome.lines, {"cleanup", "projects"}, false);
    if (QTest::currentTestFailed()) return;
    checkShots(folder, {"cleanup", "cleanup-confirm", "cleanup-done", "projects", "projects-confirm", "projects-done"},
               Scheme::light);

    const auto after = FolderRecord::of(home.root());
    QStringList gone;
    for (const auto& [relative, entry] : before.within(removed).entries) gone << QStringLiteral("removed ") + relative;
    QCOMPARE(FolderRecord::changes(before, after.without({historyFolder})), gone);
    QCOMPARE(FolderRecord::changes(userBefore, FolderRecord::of(run.userHome())), QStringList());

    const auto records = CleanupHistory(home.root().toStdString()).load();
    QCOMPARE(records.size(), std::size_t{2});
    const auto record = [&records](const std::string& source) {
      return std::find_if(records.begin(), records.end(), [&](const CleanupRecord& r) { return r.source == source; });
    };
    QVERIFY(record("Cleanup") != records.end());
    QVERIFY(record("Projects") != records.end());
    QCOMPARE(qint64{record("Cleanup")->freedBytes}, before.within(cleaned).allocatedBytes());
    QCOMPARE(qint64{record("Projects")->freedBytes}, before.within(CleanableHome::projectsSelects()).allocatedBytes());
    QCOMPARE(qint64{record("Cleanup")->failures}, qint64{0});
    QCOMPARE(qint64{record("Projects")->failures}, qint64{0});
  }

  // Unknown names are skipped and a repeated one is shot again under the same file name; the
  // light and the dark run of the same screen differ the right way.
  void repeatedAndUnknownSectionsInLightAndDark() {
    QMap<Scheme, double> brightness;
    for (const Scheme scheme : {Scheme::light, Scheme::dark}) {
      ScreenshotRun run;
      const QString folder = run.path(QStringLiteral("shots"));
      const auto outcome =
          run.run(demoArguments(folder, scheme) << "--snapshot-sections" << "Overview,overview,,nope, overview,overview",
                  pinnedClock());
      checkEnded(outcome);
      if (QTest::currentTestFailed()) return;
      checkLog(outcome.lines, {"overview", "overview"}, false);
      if (QTest::currentTestFailed()) return;
      checkShots(folder, {"overview"}, scheme);
      if (QTest::currentTestFailed()) return;
      brightness[scheme] = ImageFigures::of(QImage(QDir(folder).filePath(QStringLiteral("overview.png")))).brightness;
    }
    QVERIFY2(brightness[Scheme::light] > brightness[Scheme::dark] + 0.3,
             qPrintable(QStringLiteral("light %1, dark %2").arg(brightness[Scheme::light]).arg(brightness[Scheme::dark])));
  }

  // A folder that cannot be made (its parent is a file, which stops root too) costs the images
  // and nothing else: the run goes through every step and ends normally.
  // The run goes on through every shot, says which could not be written and why, and fails
  // at the end instead of reporting success.
  void anUnwritableFolderWritesNothingAndTheRunEnds() {
    ScreenshotRun run;
    QFile blocker(run.path(QStringLiteral("a-file")));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const QString folder = run.path(QStringLiteral("a-file/shots"));
    const auto outcome =
        run.run(demoArguments(folder, Scheme::light) << "--snapshot-sections" << "cleanup", pinnedClock());
    checkEnded(outcome, 1);
    if (QTest::currentTestFailed()) return;
    checkLog(outcome.lines, {"cleanup"}, false);
    QVERIFY(!QFileInfo::exists(folder));
    QCOMPARE(QFileInfo(blocker.fileName()).size(), 0);
    const QString errors = QString::fromUtf8(outcome.errors);
    QVERIFY2(errors.contains(QStringLiteral("cannot make the folder ") + folder + QStringLiteral(": ")),
             qPrintable(errors));
    for (const char* shot : {"/cleanup.png: ", "/cleanup-confirm.png: "})
      QVERIFY2(errors.contains(QStringLiteral("cannot write ") + folder + QLatin1String(shot)), qPrintable(errors));
  }

  // Help, version and refusals answer at once, open no window and leave no files behind.
  void theCommandLineAnswersWithoutAWindow() {
    ScreenshotRun run;
    const struct {
      QStringList arguments;
      int exitCode;
      const char* out;
      const char* err;
    } cases[] = {
        {{"--help"}, 0, "--snapshot-sections", ""},
        {{"--version"}, 0, "Tidra ", ""},
        {{"--demo", "yes", "--bogus"}, 2, "", "tidra: unknown option --bogus\n\nUsage: tidra"},
        {{"--demo", "yes", "--snapshot", ""}, 2, "", "tidra: --snapshot needs a folder"},
        {{"--snapshot", run.path("shots"), "--snapshot-clean"}, 2, "", "tidra: --snapshot-clean cleans only"},
        {{"--home", "no/such/folder"}, 2, "", "is not a folder"},
    };
    for (const auto& each : cases) {
      const auto outcome = run.run(each.arguments);
      const QString name = each.arguments.join(' ');
      QVERIFY2(outcome.finished && outcome.exitCode == each.exitCode, qPrintable(name));
      QVERIFY2(outcome.lines.join('\n').contains(QLatin1String(each.out)), qPrintable(name));
      QVERIFY2(QString::fromUtf8(outcome.errors).contains(QLatin1String(each.err)), qPrintable(name));
      QVERIFY2(outcome.took < std::chrono::seconds(10), qPrintable(name));
    }
    QVERIFY(!QFileInfo::exists(run.path("shots")));
  }
};

TIDRA_TEST_MAIN(ScreenshotRunTest)
#include "ScreenshotRunTest.moc"
