#pragma once

#include <QObject>
#include <QString>
#include <QVariantMap>

#include <vector>

namespace tidra {

// A button of a notification.
struct NotificationAction {
  QString identifier;
  QString title;
  // Removes or stops something; desktops that can may draw it as such.
  bool destructive = false;
  bool operator==(const NotificationAction&) const = default;
};

// One notification as the application asks for it, independent of the desktop that shows it.
struct NotificationRequest {
  // One notification per identifier: a newer request replaces the one shown under it.
  QString identifier;
  QString title;
  QString body;
  // Handed back with the response; stays in this process.
  QVariantMap userInfo;
  // Empty when the notification has no buttons.
  QString category;
  // The category's buttons, in order.
  std::vector<NotificationAction> actions;
  bool operator==(const NotificationRequest&) const = default;
};

// A person clicked a notification or one of its buttons.
struct NotificationResponse {
  // The action of a click on the notification itself.
  static inline const QString clicked = QStringLiteral("default");

  QVariantMap userInfo;
  // `clicked`, or the identifier of the button.
  QString action;
  bool operator==(const NotificationResponse&) const = default;
};

// The desktop's notifications. Posting never blocks and never fails visibly: when the desktop
// cannot show a notification it is dropped. Lives on the GUI thread.
class Notifications : public QObject {
  Q_OBJECT

public:
  using QObject::QObject;

  // Gets the desktop side ready before the first notification (asks what it can show). Its
  // answer is not waited for.
  virtual void prepare() = 0;
  virtual void post(const NotificationRequest& request) = 0;

signals:
  // Only for notifications this object posted.
  void responded(const tidra::NotificationResponse& response);
};

}  // namespace tidra

Q_DECLARE_METATYPE(tidra::NotificationResponse)
