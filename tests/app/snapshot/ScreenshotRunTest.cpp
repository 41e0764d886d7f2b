#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

// The program itself, started the way the screenshot run and CI start it: it must write its
// progress lines and quit on its own with status 0.
class ScreenshotRunTest : public QObject {
  Q_OBJECT

private slots:
  void theProgramLogsItsRunAndQuits() {
    const QString program = QCoreApplication::applicationDirPath() + QStringLiteral("/../app/tidra");
    QVERIFY2(QFileInfo(program).isExecutable(), qPrintable(program + " is not built"));
    QTemporaryDir home;
    const QString folder = home.filePath(QStringLiteral("shots"));

    QProcess run;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), home.path());  // leave the user's settings alone
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral(".config")));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    run.setProcessEnvironment(environment);
    run.start(program, {QStringLiteral("--demo"), QStringLiteral("yes"), QStringLiteral("--snapshot"), folder});
    QVERIFY(run.waitForFinished(180'000));

    QCOMPARE(run.exitStatus(), QProcess::NormalExit);
    QCOMPARE(run.exitCode(), 0);
    const QStringList lines = QString::fromUtf8(run.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    // started, the cleanup scan, one line per section with the main window there, done.
    const QStringList sections{"overview", "cleanup", "projects", "largeFiles", "duplicates", "applications",
                               "performance"};
    QCOMPARE(lines.size(), 3 + sections.size());
    for (const QString& line : lines) QVERIFY2(line.startsWith(QStringLiteral("snapshot ")), qPrintable(line));
    QVERIFY(lines[0].contains(QStringLiteral(": started; windows: [")));
    QVERIFY(lines[1].endsWith(QStringLiteral(": cleanup scan ready")));
    for (int i = 0; i < sections.size(); ++i)
      QVERIFY2(lines[2 + i].contains(QStringLiteral(": section ") + sections[i] + QStringLiteral(", main window: true")),
               qPrintable(lines[2 + i]));
    QVERIFY(lines.last().endsWith(QStringLiteral(": done")));

    // Every shot of a demo run without cleaning, each a real picture of the window or its sheet.
    const QStringList shots{"overview", "cleanup", "cleanup-confirm", "projects", "projects-confirm", "largeFiles",
                            "duplicates", "duplicates-similar", "applications", "applications-confirm",
                            "performance", "performance-developer", "performance-startup"};
    QStringList written = QDir(folder).entryList({QStringLiteral("*.png")}, QDir::Files);
    QStringList expected;
    for (const QString& shot : shots) expected << shot + QStringLiteral(".png");
    written.sort();
    expected.sort();
    QCOMPARE(written, expected);
    for (const QString& shot : shots) {
      const QImage image(QDir(folder).filePath(shot + QStringLiteral(".png")));
      QVERIFY2(!image.isNull(), qPrintable(shot));
      QVERIFY2(image.width() >= 500 && image.height() >= 400, qPrintable(shot));
    }
  }
};

QTEST_GUILESS_MAIN(ScreenshotRunTest)
#include "ScreenshotRunTest.moc"
