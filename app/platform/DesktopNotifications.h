#pragma once

#include "platform/Notifications.h"

#include <QDBusConnection>
#include <QSet>
#include <QStringList>

#include <map>
#include <optional>
#include <vector>

class QDBusPendingCallWatcher;

namespace tidra {

// Notifications through the desktop's org.freedesktop.Notifications service. Every call to the
// service is asynchronous, so a missing or stuck service never holds up the interface (only the
// bus itself answers at once, when the signals are subscribed); without a service requests are
// dropped quietly.
//
// One notification per request identifier: a new request replaces the one the desktop shows
// under that identifier (replaces_id), and a request arriving while the previous one under its
// identifier is still being posted waits for it, so two never stand side by side. Buttons are
// sent only when the service lists "actions"; a click on the notification comes back as
// NotificationResponse::clicked. Signals for notifications we did not post, or for actions we
// did not offer, are ignored.
class DesktopNotifications final : public Notifications {
  Q_OBJECT

public:
  explicit DesktopNotifications(QDBusConnection bus, QObject* parent = nullptr);

  void prepare() override;
  void post(const NotificationRequest& request) override;

private slots:
  void onActionInvoked(uint id, const QString& action);
  void onClosed(uint id, uint reason);
  void onServiceOwnerChanged();

private:
  // The notification shown under one request identifier.
  struct Slot {
    uint serverId = 0;
    bool sending = false;
    std::optional<NotificationRequest> waiting;
  };
  // What a response to a posted notification needs.
  struct Posted {
    QVariantMap userInfo;
    QSet<QString> actions;
  };
  enum class Capabilities { unknown, asking, known };

  void askCapabilities();
  void onCapabilities(QDBusPendingCallWatcher* call);
  void send(const NotificationRequest& request);
  void onSent(const NotificationRequest& request, QDBusPendingCallWatcher* call);
  QStringList actionList(const NotificationRequest& request) const;
  QString bodyText(const QString& body) const;

  QDBusConnection bus;
  Capabilities state = Capabilities::unknown;
  QStringList capabilities;
  // Requests held until the service has said what it can show; the latest per identifier.
  std::vector<NotificationRequest> held;
  std::map<QString, Slot> shown;
  std::map<uint, Posted> posted;
};

}  // namespace tidra
