#include "platform/DesktopNotifications.h"

#include "platform/DesktopEntry.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>

#include <algorithm>

namespace tidra {

namespace {

const QString service = QStringLiteral("org.freedesktop.Notifications");
const QString path = QStringLiteral("/org/freedesktop/Notifications");
const QString interface = QStringLiteral("org.freedesktop.Notifications");

QDBusMessage call(const QString& method) { return QDBusMessage::createMethodCall(service, path, interface, method); }

}  // namespace

DesktopNotifications::DesktopNotifications(QDBusConnection bus, QObject* parent)
    : Notifications(parent), bus(std::move(bus)) {
  // Matched against the service's current owner, so no other client can answer for it.
  this->bus.connect(service, path, interface, QStringLiteral("ActionInvoked"), this,
                    SLOT(onActionInvoked(uint, QString)));
  this->bus.connect(service, path, interface, QStringLiteral("NotificationClosed"), this,
                    SLOT(onClosed(uint, uint)));
  auto* watcher = new QDBusServiceWatcher(service, this->bus, QDBusServiceWatcher::WatchForOwnerChange, this);
  connect(watcher, &QDBusServiceWatcher::serviceOwnerChanged, this, &DesktopNotifications::onServiceOwnerChanged);
}

void DesktopNotifications::prepare() {
  if (state == Capabilities::unknown) askCapabilities();
}

void DesktopNotifications::post(const NotificationRequest& request) {
  if (state == Capabilities::known) return send(request);
  auto same = std::find_if(held.begin(), held.end(),
                           [&](const NotificationRequest& h) { return h.identifier == request.identifier; });
  if (same != held.end()) *same = request;
  else held.push_back(request);
  if (state == Capabilities::unknown) askCapabilities();
}

void DesktopNotifications::askCapabilities() {
  state = Capabilities::asking;
  auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call(QStringLiteral("GetCapabilities"))), this);
  connect(watcher, &QDBusPendingCallWatcher::finished, this, &DesktopNotifications::onCapabilities);
}

void DesktopNotifications::onCapabilities(QDBusPendingCallWatcher* watcher) {
  watcher->deleteLater();
  QDBusPendingReply<QStringList> reply = *watcher;
  auto waiting = std::exchange(held, {});
  if (reply.isError()) {
    // No service: what waited is dropped, and the next request asks again.
    state = Capabilities::unknown;
    return;
  }
  state = Capabilities::known;
  capabilities = reply.value();
  for (const auto& request : waiting) send(request);
}

void DesktopNotifications::send(const NotificationRequest& request) {
  Slot& slot = shown[request.identifier];
  if (slot.sending) {
    slot.waiting = request;
    return;
  }
  slot.sending = true;
  QDBusMessage notify = call(QStringLiteral("Notify"));
  // The icon by its theme name and the launcher entry's id, so the desktop shows the app's icon
  // and groups the notification under the app.
  const QVariantMap hints{{QStringLiteral("desktop-entry"), DesktopEntry::id()}};
  notify << DesktopEntry::name() << slot.serverId << DesktopEntry::id() << request.title << bodyText(request.body)
         << actionList(request) << hints << -1;
  auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(notify), this);
  connect(watcher, &QDBusPendingCallWatcher::finished, this,
          [this, request](QDBusPendingCallWatcher* call) { onSent(request, call); });
}

void DesktopNotifications::onSent(const NotificationRequest& request, QDBusPendingCallWatcher* watcher) {
  watcher->deleteLater();
  QDBusPendingReply<uint> reply = *watcher;
  Slot& slot = shown[request.identifier];
  slot.sending = false;
  posted.erase(slot.serverId);
  slot.serverId = reply.isError() ? 0 : reply.value();
  if (slot.serverId != 0) {
    Posted entry{request.userInfo, {NotificationResponse::clicked}};
    for (const auto& action : request.actions) entry.actions.insert(action.identifier);
    posted[slot.serverId] = entry;
  }
  if (slot.waiting) send(*std::exchange(slot.waiting, std::nullopt));
}

QStringList DesktopNotifications::actionList(const NotificationRequest& request) const {
  if (!capabilities.contains(QStringLiteral("actions"))) return {};
  // The "default" action is the click on the notification itself; servers draw no button for it.
  QStringList list{NotificationResponse::clicked, QStringLiteral("Open")};
  for (const auto& action : request.actions) list << action.identifier << action.title;
  return list;
}

QString DesktopNotifications::bodyText(const QString& body) const {
  // A server with markup would read a folder named "<b>" as markup.
  return capabilities.contains(QStringLiteral("body-markup")) ? body.toHtmlEscaped() : body;
}

void DesktopNotifications::onActionInvoked(uint id, const QString& action) {
  const auto entry = posted.find(id);
  if (entry == posted.end() || !entry->second.actions.contains(action)) return;
  emit responded({entry->second.userInfo, action});
}

void DesktopNotifications::onClosed(uint id, uint) {
  posted.erase(id);
  for (auto& [identifier, slot] : shown)
    if (slot.serverId == id) slot.serverId = 0;
}

void DesktopNotifications::onServiceOwnerChanged() {
  // A new server knows none of our ids and may show other things.
  posted.clear();
  for (auto& [identifier, slot] : shown) slot.serverId = 0;
  if (state == Capabilities::known) state = Capabilities::unknown;
}

}  // namespace tidra
