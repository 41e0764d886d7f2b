#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QStringList>
#include <QVariantMap>

#include <vector>

namespace tidra::test {

// A small org.freedesktop.Notifications server for a private bus: records what it is asked to
// show, numbers notifications from 1 (a replaces_id it issued keeps its number) and lets the
// test click and close them.
class FakeNotificationServer : public QObject {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
  struct Shown {
    uint id;
    uint replacesId;
    QString appName;
    QString summary;
    QString body;
    QStringList actions;
    QString appIcon;
    QVariantMap hints;
  };

  // Registers on `bus` under the service's name; `capabilities` is what it claims to show.
  FakeNotificationServer(QDBusConnection bus, QStringList capabilities);
  ~FakeNotificationServer() override;

  bool isRegistered() const { return registered; }
  // Every Notify call, in arrival order.
  const std::vector<Shown>& notifications() const { return calls; }
  // The notifications standing now: the newest per id.
  std::vector<Shown> standing() const;

  void invokeAction(uint id, const QString& action);
  void close(uint id);

public slots:
  uint Notify(const QString& appName, uint replacesId, const QString& appIcon, const QString& summary,
              const QString& body, const QStringList& actions, const QVariantMap& hints, int timeout);
  QStringList GetCapabilities() const;
  void CloseNotification(uint id);
  QString GetServerInformation(QString& vendor, QString& version, QString& specVersion) const;

signals:
  void ActionInvoked(uint id, const QString& actionKey);
  void NotificationClosed(uint id, uint reason);

private:
  QDBusConnection bus;
  QStringList capabilities;
  bool registered = false;
  uint lastId = 0;
  std::vector<Shown> calls;
  std::vector<uint> closed;
};

}  // namespace tidra::test
