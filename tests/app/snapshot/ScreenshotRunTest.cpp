#include <QCoreApplication>
#include <QFileInfo>
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
    QVERIFY(run.waitForFinished(120'000));

    QCOMPARE(run.exitStatus(), QProcess::NormalExit);
    QCOMPARE(run.exitCode(), 0);
    const QStringList lines = QString::fromUtf8(run.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 2);
    QVERIFY(lines[0].startsWith(QStringLiteral("snapshot ")));
    QVERIFY(lines[0].endsWith(QStringLiteral(": started; windows: [\"Tidra(true)\"]")));
    QVERIFY(lines[1].endsWith(QStringLiteral(": done")));
    QVERIFY(QFileInfo(folder).isDir());
  }
};

QTEST_GUILESS_MAIN(ScreenshotRunTest)
#include "ScreenshotRunTest.moc"
