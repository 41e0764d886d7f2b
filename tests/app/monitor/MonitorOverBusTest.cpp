#include "support/TestMain.h"
#include "MonitorFakes.h"

#include "models/NotificationResponder.h"
#include "models/WindowOpener.h"
#include "platform/DesktopNotifications.h"
#include "support/FakeNotificationServer.h"
#include "support/PrivateSessionBus.h"

#include <QTest>

using namespace tidra;
using namespace tidra::test;
using namespace std::chrono_literals;

// The monitor posting through the desktop side to a notification server on a private bus,
// and the server's buttons coming back to the monitor.
class MonitorOverBusTest : public QObject {
  Q_OBJECT

  std::unique_ptr<PrivateSessionBus> bus;
  std::unique_ptr<DesktopNotifications> desktop;
  std::unique_ptr<FakeNotificationServer> server;
  std::unique_ptr<MonitorRig> rig;
  WindowOpener opener;

  void startServer() {
    server = std::make_unique<FakeNotificationServer>(bus->connect("server"), QStringList{"actions", "body"});
    QVERIFY(server->isRegistered());
  }
  // The monitor with one idle dev server reported over the bus.
  void reportIdleServer() {
    rig->machine->setTools({devServer("tree-1", 1'700'000'000, "/work/shop")});
    rig->monitor->start();
    QVERIFY(rig->settled(1));
    rig->scheduler.advance(7'200s);
    QVERIFY(rig->settled(2));
    QTRY_COMPARE(server->notifications().size(), size_t(1));
  }

private slots:
  void init() {
    bus = std::make_unique<PrivateSessionBus>();
    QVERIFY2(bus->isRunning(), qPrintable(bus->error()));
    desktop = std::make_unique<DesktopNotifications>(bus->connect("tidra"));
    rig = std::make_unique<MonitorRig>(desktop.get());
    connect(desktop.get(), &Notifications::responded, rig->monitor.get(),
            [this](const NotificationResponse& response) {
              respondToNotification(response, *rig->monitor, *rig->model, opener);
            });
  }
  void cleanup() {
    rig.reset();
    desktop.reset();
    server.reset();
    bus.reset();
  }

  void theIdleQuestionArrivesAndItsStopButtonStopsTheServer() {
    startServer();
    reportIdleServer();
    const auto shown = server->notifications()[0];
    QCOMPARE(shown.summary, QStringLiteral("Server tree-1 has been idle for 2 hours"));
    QCOMPARE(shown.body,
             QStringLiteral("Nothing has connected to it and nothing in shop has changed. It's holding 286.1 MB."));
    QCOMPARE(shown.actions, (QStringList{"default", "Open", "stop", "Stop", "keep", "Keep Running"}));

    server->invokeAction(shown.id + 100, QStringLiteral("stop"));  // not ours
    server->invokeAction(shown.id, QStringLiteral("stop"));
    QTRY_COMPARE(rig->machine->stoppedIds(), std::vector<std::string>{"tree-1"});
    QVERIFY(rig->monitor->devServers().empty());
  }

  void theKeepButtonKeepsTheServerFromBeingAskedAgain() {
    startServer();
    reportIdleServer();
    server->invokeAction(server->notifications()[0].id, QStringLiteral("keep"));
    // The button's answer has arrived once a later click on the same notification has.
    int clicks = 0;
    opener.openMain = [&] { ++clicks; };
    server->invokeAction(server->notifications()[0].id, QStringLiteral("default"));
    QTRY_COMPARE(clicks, 1);
    QCOMPARE(rig->model->performanceTab(), AppModel::PerformanceTab::developerTools);

    auto busy = devServer("tree-1", 1'700'000'000, "/work/shop");
    busy.clients = 1;
    rig->machine->setTools({busy});
    QVERIFY(rig->tick());
    busy.clients = 0;
    rig->machine->setTools({busy});
    rig->scheduler.advance(8'000s);
    QVERIFY(rig->settled(4));
    QVERIFY(rig->machine->stoppedIds().empty());
    // Another notification under the same identifier would have been a Notify call.
    desktop->post({QStringLiteral("marker"), "m", "m", {}, {}, {}});
    QTRY_COMPARE(server->notifications().size(), size_t(2));
    QCOMPARE(server->notifications()[1].summary, QStringLiteral("m"));
  }

  void aSecondMemoryAlertReplacesTheFirst() {
    startServer();
    rig->machine->memory = memoryAt(MemorySnapshot::Pressure::warning);
    rig->monitor->start();
    QVERIFY(rig->settled(1));
    QVERIFY(rig->tick());
    QVERIFY(rig->tick());
    QTRY_COMPARE(server->notifications().size(), size_t(1));
    rig->machine->memory = memoryAt(MemorySnapshot::Pressure::critical);
    rig->scheduler.advance(7'200s);
    QVERIFY(rig->settled(4));
    QTRY_COMPARE(server->notifications().size(), size_t(2));
    QCOMPARE(server->notifications()[1].summary, QStringLiteral("Memory is critically low"));
    QCOMPARE(server->notifications()[1].replacesId, server->notifications()[0].id);
    QCOMPARE(server->standing().size(), size_t(1));
  }

  void withoutANotificationServiceTheMonitorKeepsRunning() {
    rig->machine->memory = memoryAt(MemorySnapshot::Pressure::critical);
    rig->machine->disk = DiskUsage{100'000'000'000, 1};
    rig->monitor->start();
    QVERIFY(rig->settled(1));
    for (int i = 0; i < 4; ++i) QVERIFY(rig->tick());
    QCOMPARE(rig->monitor->memory()->pressure, MemorySnapshot::Pressure::critical);
  }
};

TIDRA_TEST_MAIN(MonitorOverBusTest)
#include "MonitorOverBusTest.moc"
