#include "support/TestMain.h"
#include "Demo.h"
#include "support/TestScheduler.h"
#include "snapshot/Snapshot.h"

#include <QDialog>
#include <QLocale>
#include <QMainWindow>
#include <QMenu>
#include <QTemporaryDir>
#include <QImage>
#include <QTest>
#include <QTime>

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

using namespace tidra;
using namespace std::chrono_literals;

namespace {

// Points standard output at a file for the life of the object, to see what reaches it and when.
class CapturedStdout {
public:
  CapturedStdout() : path(folder.filePath(QStringLiteral("stdout"))) {
    std::fflush(stdout);
    saved = dup(STDOUT_FILENO);
    const int file = open(path.toLocal8Bit().constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    dup2(file, STDOUT_FILENO);
    close(file);
  }
  ~CapturedStdout() {
    std::fflush(stdout);
    dup2(saved, STDOUT_FILENO);
    close(saved);
  }
  // What has reached the file so far, without flushing on the writer's behalf.
  QStringList lines() const {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
  }

private:
  QTemporaryDir folder;
  QString path;
  int saved = -1;
};

QStringList rawValues(const std::vector<Section>& sections) {
  QStringList values;
  for (Section section : sections) values << rawValue(section);
  return values;
}

Flow settleFlow(Scheduler& scheduler, std::chrono::milliseconds pause, bool* resumed) {
  co_await Snapshot::settle(scheduler, pause);
  *resumed = true;
}

const QStringList allRawValues{"overview", "cleanup", "projects", "largeFiles", "duplicates", "applications", "performance"};

}  // namespace

class SnapshotTest : public QObject {
  Q_OBJECT

private slots:
  void demoSwitch_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("on");
    QTest::newRow("absent") << QStringList{"tidra"} << false;
    QTest::newRow("last") << QStringList{"tidra", "--demo"} << false;
    QTest::newRow("no") << QStringList{"tidra", "--demo", "no"} << false;
    QTest::newRow("yes") << QStringList{"tidra", "--demo", "yes"} << true;
    QTest::newRow("1") << QStringList{"tidra", "--demo", "1"} << true;
    QTest::newRow("NO") << QStringList{"tidra", "--demo", "NO"} << true;
    QTest::newRow("empty value") << QStringList{"tidra", "--demo", ""} << true;
    QTest::newRow("followed by an option") << QStringList{"tidra", "--demo", "--snapshot", "/tmp/s"} << true;
    QTest::newRow("first occurrence counts") << QStringList{"tidra", "--demo", "yes", "--demo", "no"} << true;
    QTest::newRow("first says no") << QStringList{"tidra", "--demo", "no", "--demo", "yes"} << false;
    QTest::newRow("other case") << QStringList{"tidra", "--Demo", "yes"} << false;
  }
  void demoSwitch() {
    QFETCH(QStringList, arguments);
    QFETCH(bool, on);
    QCOMPARE(Demo::requested(arguments), on);
  }

  void value_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("option");
    QTest::addColumn<bool>("present");
    QTest::addColumn<QString>("expected");
    QTest::newRow("absent") << QStringList{"tidra", "--demo", "yes"} << "--snapshot" << false << "";
    QTest::newRow("last") << QStringList{"tidra", "--snapshot"} << "--snapshot" << false << "";
    QTest::newRow("value") << QStringList{"tidra", "--snapshot", "/tmp/s"} << "--snapshot" << true << "/tmp/s";
    QTest::newRow("next option is the value") << QStringList{"tidra", "--snapshot", "--home", "/h"} << "--snapshot"
                                              << true << "--home";
    QTest::newRow("empty value") << QStringList{"tidra", "--home", ""} << "--home" << true << "";
    QTest::newRow("first occurrence") << QStringList{"tidra", "--section", "cleanup", "--section", "projects"}
                                      << "--section" << true << "cleanup";
    QTest::newRow("exact match only") << QStringList{"tidra", "--snapshot-sections", "cleanup"} << "--snapshot"
                                      << false << "";
  }
  void value() {
    QFETCH(QStringList, arguments);
    QFETCH(QString, option);
    QFETCH(bool, present);
    QFETCH(QString, expected);
    const auto found = Snapshot::value(arguments, option);
    QCOMPARE(found.has_value(), present);
    if (present) QCOMPARE(*found, expected);
  }

  void requestedSections_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QStringList>("sections");
    QTest::newRow("absent") << QStringList{"tidra"} << allRawValues;
    QTest::newRow("last") << QStringList{"tidra", "--snapshot-sections"} << allRawValues;
    QTest::newRow("empty argument") << QStringList{"tidra", "--snapshot-sections", ""} << QStringList{};
    QTest::newRow("order kept") << QStringList{"tidra", "--snapshot-sections", "performance,overview"}
                                << QStringList{"performance", "overview"};
    QTest::newRow("empty pieces") << QStringList{"tidra", "--snapshot-sections", ",cleanup,,overview,"}
                                  << QStringList{"cleanup", "overview"};
    QTest::newRow("capital letter") << QStringList{"tidra", "--snapshot-sections", "Cleanup"} << QStringList{};
    QTest::newRow("leading blank") << QStringList{"tidra", "--snapshot-sections", " cleanup"} << QStringList{};
    QTest::newRow("unknown skipped") << QStringList{"tidra", "--snapshot-sections", "settings,largeFiles,x"}
                                     << QStringList{"largeFiles"};
    QTest::newRow("repeat kept") << QStringList{"tidra", "--snapshot-sections", "performance,performance"}
                                 << QStringList{"performance", "performance"};
  }
  void requestedSections() {
    QFETCH(QStringList, arguments);
    QFETCH(QStringList, sections);
    QCOMPARE(rawValues(Snapshot::requestedSections(arguments)), sections);
  }

  void logLineShowsTheClockTimeOnly_data() {
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("line");
    QTest::newRow("C") << "C" << "snapshot 16:05:12: started";
    QTest::newRow("US English") << "en_US" << "snapshot 4:05:12 PM: started";
    QTest::newRow("zone in parentheses") << "ca_ES" << "snapshot 16:05:12: started";
    QTest::newRow("zone after a comma") << "be_BY" << "snapshot 16:05:12: started";
    QTest::newRow("quoted letters") << "fr_CA" << "snapshot 16 h 05 min 12 s: started";
  }
  void logLineShowsTheClockTimeOnly() {
    QFETCH(QString, locale);
    QFETCH(QString, line);
    QCOMPARE(Snapshot::logLine(QStringLiteral("started"), QTime(16, 5, 12), QLocale(locale)), line);
  }

  void logReachesStandardOutputAtOnce() {
    CapturedStdout output;
    Snapshot::log(QStringLiteral("section cleanup"));
    const QStringList lines = output.lines();
    QCOMPARE(lines.size(), 1);
    QVERIFY(lines.first().startsWith(QStringLiteral("snapshot ")));
    QVERIFY(lines.first().endsWith(QStringLiteral(": section cleanup")));
  }

  void settleResumesThroughTheScheduler() {
    TestScheduler scheduler;
    QObject context;
    bool resumed = false, resumedAtOnce = false;
    settleFlow(scheduler, 1500ms, &resumed).start(&context);
    settleFlow(scheduler, -1s, &resumedAtOnce).start(&context);
    scheduler.advance(1499ms);
    QVERIFY(!resumed);
    QVERIFY(resumedAtOnce);
    scheduler.advance(1ms);
    QVERIFY(resumed);
  }

  void mainWindowWithoutCandidates() {
    QVERIFY(Snapshot::mainWindow() == nullptr);
    QMainWindow hidden;
    hidden.setObjectName(QStringLiteral("main"));
    QWidget frameless(nullptr, Qt::FramelessWindowHint);
    frameless.show();
    QMenu popup;
    popup.popup(QPoint(0, 0));
    QVERIFY(Snapshot::mainWindow() == nullptr);
    // What the run brings forward then: not the frameless one, and not a main window without
    // its content.
    QVERIFY(Snapshot::firstTitledWindow() == nullptr);
    hidden.setCentralWidget(new QWidget);
    QCOMPARE(Snapshot::firstTitledWindow(), &hidden);
  }

  void mainWindowPrefersTheOneNamedMain() {
    QWidget other;
    other.setWindowTitle(QStringLiteral("Other"));
    other.show();
    QCOMPARE(Snapshot::mainWindow(), &other);

    QMainWindow main;
    main.setObjectName(QStringLiteral("mainWindow"));
    main.show();
    QCOMPARE(Snapshot::mainWindow(), &other);  // no content yet: only the second pass takes it
    main.setCentralWidget(new QWidget);
    QCOMPARE(Snapshot::mainWindow(), &main);
  }

  void mainWindowNeverTakesASheet() {
    QMainWindow main;
    main.setObjectName(QStringLiteral("main"));
    main.setCentralWidget(new QWidget);
    auto* sheet = new QDialog(&main);
    sheet->setObjectName(QStringLiteral("main sheet"));
    sheet->setWindowModality(Qt::WindowModal);
    sheet->open();
    QCOMPARE(Snapshot::mainWindow(), nullptr);  // the main window is not shown yet
    main.show();
    QCOMPARE(Snapshot::mainWindow(), &main);
    QVERIFY(Snapshot::windows().contains(sheet));
  }

  void savingWritesTheWindowOrNothing() {
    QTemporaryDir root;
    QMainWindow window;
    window.setObjectName(QStringLiteral("main"));
    window.setCentralWidget(new QWidget);
    window.resize(200, 120);
    window.show();
    const QString shot = root.filePath(QStringLiteral("main.png"));
    Snapshot::save(&window, shot);
    QImage image(shot);
    QVERIFY(!image.isNull());
    QCOMPARE(image.size(), window.size() * window.devicePixelRatio());

    // No sheet is attached: nothing is written.
    QCOMPARE(Snapshot::attachedSheet(&window), nullptr);
    Snapshot::save(Snapshot::attachedSheet(&window), root.filePath(QStringLiteral("sheet.png")));
    QVERIFY(!QFileInfo::exists(root.filePath(QStringLiteral("sheet.png"))));

    auto* sheet = new QDialog(&window);
    sheet->setWindowModality(Qt::WindowModal);
    sheet->resize(100, 80);
    sheet->open();
    QCOMPARE(Snapshot::attachedSheet(&window), sheet);

    // A folder that is not there fails quietly.
    Snapshot::save(&window, root.filePath(QStringLiteral("missing/main.png")));
    QVERIFY(!QFileInfo::exists(root.filePath(QStringLiteral("missing/main.png"))));
  }
};

TIDRA_TEST_MAIN(SnapshotTest)
#include "SnapshotTest.moc"
