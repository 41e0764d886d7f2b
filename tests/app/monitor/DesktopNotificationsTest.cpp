#include "support/TestMain.h"
#include "platform/DesktopNotifications.h"

#include "support/FakeNotificationServer.h"
#include "support/PrivateSessionBus.h"

#include <QDBusMessage>
#include <QSignalSpy>
#include <QTest>

#include <memory>

using namespace tidra;
using tidra::test::FakeNotificationServer;
using tidra::test::PrivateSessionBus;

namespace {

NotificationRequest request(const char* identifier, const char* title, std::vector<NotificationAction> actions = {}) {
  NotificationRequest r;
  r.identifier = QString::fromLatin1(identifier);
  r.title = QString::fromLatin1(title);
  r.body = QStringLiteral("Body of ") + r.title;
  r.userInfo = {{QStringLiteral("server"), r.title}};
  r.actions = std::move(actions);
  return r;
}

const std::vector<NotificationAction> buttons = {{QStringLiteral("stop"), QStringLiteral("Stop"), true},
                                                 {QStringLiteral("keep"), QStringLiteral("Keep Running"), false}};

}  // namespace

class DesktopNotificationsTest : public QObject {
  Q_OBJECT

  std::unique_ptr<PrivateSessionBus> bus;
  std::unique_ptr<FakeNotificationServer> server;
  std::unique_ptr<DesktopNotifications> notifications;
  int connections = 0;
  QString clientName;

  // A round trip on the client's connection: the bus answers in order, so every answer to what
  // the client sent before is on its way back once this returns. An answer that came back before
  // its watcher existed (the client's thread was slow, as under load) reaches the client in two
  // queued steps, and one pass over the posted events delivers only what was posted before it.
  void roundTrip() {
    const auto ping = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.DBus"),
                                                     QStringLiteral("/org/freedesktop/DBus"),
                                                     QStringLiteral("org.freedesktop.DBus.Peer"), QStringLiteral("Ping"));
    QCOMPARE(QDBusConnection(clientName).call(ping).type(), QDBusMessage::ReplyMessage);
    for (int step = 0; step < 2; ++step) QCoreApplication::sendPostedEvents();
  }

  void startServer(QStringList capabilities) {
    server = std::make_unique<FakeNotificationServer>(bus->connect(nextName()), std::move(capabilities));
    QVERIFY(server->isRegistered());
  }
  QString nextName() { return QStringLiteral("client-%1").arg(++connections); }

private slots:
  void init() {
    bus = std::make_unique<PrivateSessionBus>();
    QVERIFY2(bus->isRunning(), qPrintable(bus->error()));
    clientName = nextName();
    notifications = std::make_unique<DesktopNotifications>(bus->connect(clientName));
  }
  void cleanup() {
    notifications.reset();
    server.reset();
    bus.reset();
  }

  void aNotificationArrivesWithItsTextsAndButtons() {
    startServer({QStringLiteral("actions"), QStringLiteral("body")});
    notifications->post(request("idle-tree-1", "Vite", buttons));
    QTRY_COMPARE(server->notifications().size(), size_t(1));
    const auto& shown = server->notifications().front();
    QCOMPARE(shown.appName, QStringLiteral("Tidra"));
    // The desktop finds the icon and the launcher entry by the installed id.
    QCOMPARE(shown.appIcon, QStringLiteral("app.tidra.Tidra"));
    QCOMPARE(shown.hints.value(QStringLiteral("desktop-entry")).toString(), QStringLiteral("app.tidra.Tidra"));
    QCOMPARE(shown.summary, QStringLiteral("Vite"));
    QCOMPARE(shown.body, QStringLiteral("Body of Vite"));
    QCOMPARE(shown.replacesId, 0u);
    QCOMPARE(shown.actions, (QStringList{"default", "Open", "stop", "Stop", "keep", "Keep Running"}));
  }

  void noButtonsWhereTheServerCannotShowThem_andMarkupIsEscaped() {
    startServer({QStringLiteral("body"), QStringLiteral("body-markup")});
    auto r = request("idle-tree-1", "Vite", buttons);
    r.body = QStringLiteral("nothing in <b>&co has changed");
    notifications->post(r);
    QTRY_COMPARE(server->notifications().size(), size_t(1));
    QCOMPARE(server->notifications().front().actions, QStringList());
    QCOMPARE(server->notifications().front().body, QStringLiteral("nothing in &lt;b&gt;&amp;co has changed"));
  }

  void aNewerRequestReplacesTheOneUnderItsIdentifier() {
    startServer({QStringLiteral("actions")});
    notifications->post(request("memory", "first"));
    notifications->post(request("disk", "other kind"));
    QTRY_COMPARE(server->notifications().size(), size_t(2));
    // Posted while the first is still on its way: it must wait for the first's id.
    notifications->post(request("memory", "second"));
    notifications->post(request("memory", "third"));
    QTRY_COMPARE(server->standing().size(), size_t(2));
    QTRY_COMPARE(server->notifications().back().summary, QStringLiteral("third"));
    QCOMPARE(server->standing().front().summary, QStringLiteral("third"));
    QCOMPARE(server->notifications().back().replacesId, server->notifications().front().id);
  }

  void requestsBeforeTheCapabilitiesAnswerAreHeldInOrder() {
    startServer({QStringLiteral("actions")});
    notifications->post(request("memory", "a"));
    notifications->post(request("disk", "b"));
    notifications->post(request("memory", "c"));
    QTRY_COMPARE(server->notifications().size(), size_t(2));
    QCOMPARE(server->notifications()[0].summary, QStringLiteral("c"));
    QCOMPARE(server->notifications()[1].summary, QStringLiteral("b"));
  }

  void clicksAndButtonsComeBackWithTheUserInfo() {
    startServer({QStringLiteral("actions")});
    QSignalSpy responses(notifications.get(), &Notifications::responded);
    notifications->post(request("idle-tree-1", "Vite", buttons));
    notifications->post(request("disk", "Disk"));
    QTRY_COMPARE(server->notifications().size(), size_t(2));
    const uint vite = server->notifications()[0].id;
    const uint disk = server->notifications()[1].id;

    server->invokeAction(vite, QStringLiteral("stop"));
    server->invokeAction(disk, QStringLiteral("default"));
    QTRY_COMPARE(responses.size(), 2);
    const auto first = responses[0][0].value<NotificationResponse>();
    QCOMPARE(first.action, QStringLiteral("stop"));
    QCOMPARE(first.userInfo.value("server").toString(), QStringLiteral("Vite"));
    const auto second = responses[1][0].value<NotificationResponse>();
    QCOMPARE(second.action, NotificationResponse::clicked);
    QCOMPARE(second.userInfo.value("server").toString(), QStringLiteral("Disk"));
  }

  void foreignIdsUnofferedActionsAndClosedNotificationsAreIgnored() {
    startServer({QStringLiteral("actions")});
    QSignalSpy responses(notifications.get(), &Notifications::responded);
    notifications->post(request("disk", "Disk"));
    QTRY_COMPARE(server->notifications().size(), size_t(1));
    const uint disk = server->notifications()[0].id;

    server->invokeAction(disk + 40, QStringLiteral("default"));
    server->invokeAction(disk, QStringLiteral("stop"));
    server->close(disk);
    server->invokeAction(disk, QStringLiteral("default"));
    // A marker that does reach us shows the ignored ones were delivered before it.
    notifications->post(request("memory", "Marker"));
    QTRY_COMPARE(server->notifications().size(), size_t(2));
    server->invokeAction(server->notifications()[1].id, QStringLiteral("default"));
    QTRY_COMPARE(responses.size(), 1);
    QCOMPARE(responses[0][0].value<NotificationResponse>().userInfo.value("server").toString(),
             QStringLiteral("Marker"));

    // A closed notification is not replaced: the next one under its identifier is new.
    notifications->post(request("disk", "Disk again"));
    QTRY_COMPARE(server->notifications().size(), size_t(3));
    QCOMPARE(server->notifications()[2].replacesId, 0u);
  }

  void withoutAServiceRequestsAreDroppedQuietly_andAServerArrivingLaterIsUsed() {
    QSignalSpy responses(notifications.get(), &Notifications::responded);
    notifications->prepare();
    notifications->post(request("memory", "lost"));
    roundTrip();

    startServer({QStringLiteral("actions")});
    notifications->post(request("memory", "found"));
    QTRY_COMPARE(server->notifications().size(), size_t(1));
    QCOMPARE(server->notifications()[0].summary, QStringLiteral("found"));
    QCOMPARE(responses.size(), 0);
  }
};

TIDRA_TEST_MAIN(DesktopNotificationsTest)
#include "DesktopNotificationsTest.moc"
