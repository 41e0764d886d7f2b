#include "support/TestMain.h"
#include "platform/SingleInstance.h"
#include "support/PrivateSessionBus.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>

using namespace tidra;
using namespace tidra::test;


namespace {

std::optional<Section> requestedSection(const QSignalSpy& spy, int index) {
  return spy.at(index).at(0).value<std::optional<Section>>();
}

}  // namespace

class SingleInstanceTest : public QObject {
  Q_OBJECT

private slots:
  void initTestCase() { qRegisterMetaType<std::optional<Section>>(); }

  void appliesOnlyToOrdinaryRuns_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("demo");
    QTest::addColumn<bool>("applies");
    QTest::newRow("ordinary") << QStringList{"tidra", "--section", "cleanup"} << false << true;
    QTest::newRow("demo") << QStringList{"tidra", "--demo", "yes"} << true << false;
    QTest::newRow("screenshot") << QStringList{"tidra", "--snapshot", "/tmp/s"} << false << false;
    QTest::newRow("snapshot without folder") << QStringList{"tidra", "--snapshot"} << false << true;
    QTest::newRow("home") << QStringList{"tidra", "--home", "/tmp/h"} << false << false;
    QTest::newRow("home last") << QStringList{"tidra", "--home"} << false << false;
  }
  void appliesOnlyToOrdinaryRuns() {
    QFETCH(QStringList, arguments);
    QFETCH(bool, demo);
    QFETCH(bool, applies);
    QCOMPARE(SingleInstance::applies(arguments, demo), applies);
  }

  // The first claim wins; a second hands its section over, exact names only.
  void secondRunHandsOver() {
    PrivateSessionBus bus;
    QVERIFY2(bus.isRunning(), qPrintable(bus.error()));
    SingleInstance first(bus.connect("first"));
    QCOMPARE(first.claim(), SingleInstance::Claim::first);
    QSignalSpy shows(&first, &SingleInstance::showRequested);

    SingleInstance second(bus.connect("second"));
    QCOMPARE(second.claim(), SingleInstance::Claim::second);
    QVERIFY(second.handOver("performance"));
    QVERIFY(second.handOver("Performance"));
    QVERIFY(second.handOver(""));
    QCOMPARE(shows.count(), 3);
    QCOMPARE(requestedSection(shows, 0), std::optional(Section::performance));
    QCOMPARE(requestedSection(shows, 1), std::nullopt);
    QCOMPARE(requestedSection(shows, 2), std::nullopt);
  }

  void withoutABusEveryRunIsAlone() {
    SingleInstance instance(QDBusConnection(QStringLiteral("no such connection")));
    QCOMPARE(instance.claim(), SingleInstance::Claim::alone);
  }

  // Nobody answering under the name is a failed hand-over, not a success.
  void silentHolderFailsTheHandOver() {
    PrivateSessionBus bus;
    QVERIFY2(bus.isRunning(), qPrintable(bus.error()));
    QDBusConnection squatter = bus.connect("squatter");
    QVERIFY(squatter.registerService(SingleInstance::serviceName));
    SingleInstance second(bus.connect("second"));
    QCOMPARE(second.claim(), SingleInstance::Claim::second);
    QVERIFY(!second.handOver("cleanup", 2000));
  }

  // The real program: started while another run holds the name, it hands over and ends.
  void programHandsOverAndExits() {
    const QString program = QDir(QCoreApplication::applicationDirPath()).filePath("../app/tidra");
    if (!QFileInfo(program).isExecutable()) QSKIP("the tidra program is not built beside the tests");
    PrivateSessionBus bus;
    QVERIFY2(bus.isRunning(), qPrintable(bus.error()));
    SingleInstance first(bus.connect("first"));
    QCOMPARE(first.claim(), SingleInstance::Claim::first);
    QSignalSpy shows(&first, &SingleInstance::showRequested);

    QProcess second;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("DBUS_SESSION_BUS_ADDRESS", bus.address());
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    second.setProcessEnvironment(environment);
    second.start(program, {"--section", "duplicates"});
    QVERIFY(second.waitForStarted());
    QTRY_COMPARE_WITH_TIMEOUT(second.state(), QProcess::NotRunning, 30000);
    QCOMPARE(second.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.exitCode(), 0);
    QCOMPARE(shows.count(), 1);
    QCOMPARE(requestedSection(shows, 0), std::optional(Section::duplicates));
  }
};

TIDRA_TEST_MAIN(SingleInstanceTest)
#include "SingleInstanceTest.moc"
