#include "FakeNotificationServer.h"

#include <algorithm>
#include <map>

namespace tidra::test {

namespace {
const QString serviceName = QStringLiteral("org.freedesktop.Notifications");
const QString objectPath = QStringLiteral("/org/freedesktop/Notifications");
}  // namespace

FakeNotificationServer::FakeNotificationServer(QDBusConnection bus, QStringList capabilities)
    : bus(std::move(bus)), capabilities(std::move(capabilities)) {
  registered = this->bus.registerObject(objectPath, this, QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals) &&
               this->bus.registerService(serviceName);
}

FakeNotificationServer::~FakeNotificationServer() {
  bus.unregisterService(serviceName);
  bus.unregisterObject(objectPath);
}

std::vector<FakeNotificationServer::Shown> FakeNotificationServer::standing() const {
  std::map<uint, Shown> byId;
  for (const auto& call : calls)
    if (std::find(closed.begin(), closed.end(), call.id) == closed.end()) byId.insert_or_assign(call.id, call);
  std::vector<Shown> result;
  for (const auto& [id, shown] : byId) result.push_back(shown);
  return result;
}

void FakeNotificationServer::invokeAction(uint id, const QString& action) { emit ActionInvoked(id, action); }

void FakeNotificationServer::close(uint id) {
  closed.push_back(id);
  emit NotificationClosed(id, 2);
}

uint FakeNotificationServer::Notify(const QString& appName, uint replacesId, const QString& appIcon,
                                    const QString& summary, const QString& body, const QStringList& actions,
                                    const QVariantMap& hints, int) {
  const bool replaces = replacesId != 0 && replacesId <= lastId &&
                        std::find(closed.begin(), closed.end(), replacesId) == closed.end();
  const uint id = replaces ? replacesId : ++lastId;
  calls.push_back({id, replacesId, appName, summary, body, actions, appIcon, hints});
  return id;
}

QStringList FakeNotificationServer::GetCapabilities() const { return capabilities; }

void FakeNotificationServer::CloseNotification(uint id) { close(id); }

QString FakeNotificationServer::GetServerInformation(QString& vendor, QString& version, QString& specVersion) const {
  vendor = QStringLiteral("Tidra tests");
  version = QStringLiteral("1");
  specVersion = QStringLiteral("1.2");
  return QStringLiteral("fake");
}

}  // namespace tidra::test
