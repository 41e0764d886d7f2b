#include "FakePortal.h"

#include <QDBusMessage>

namespace tidra::test {

namespace {
const QString portalServiceName = QStringLiteral("org.freedesktop.portal.Desktop");
const QString portalObjectPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString appearance = QStringLiteral("org.freedesktop.appearance");
const QString colorSchemeKey = QStringLiteral("color-scheme");
}  // namespace

FakePortal::FakePortal(QDBusConnection bus, QVariant colorScheme)
    : bus(std::move(bus)), colorScheme(std::move(colorScheme)) {
  registered = this->bus.registerObject(portalObjectPath, this, QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals) &&
               this->bus.registerService(portalServiceName);
}

FakePortal::~FakePortal() {
  bus.unregisterService(portalServiceName);
  bus.unregisterObject(portalObjectPath);
}

void FakePortal::change(const QString& group, const QString& key, const QVariant& value) {
  if (group == appearance && key == colorSchemeKey) colorScheme = value;
  emit SettingChanged(group, key, QDBusVariant(value));
}

QDBusVariant FakePortal::Read(const QString& group, const QString& key) {
  ++readCount;
  if (group != appearance || key != colorSchemeKey) {
    sendErrorReply(QStringLiteral("org.freedesktop.portal.Error.NotFound"), QStringLiteral("Requested setting not found"));
    return {};
  }
  return QDBusVariant(QVariant::fromValue(QDBusVariant(colorScheme)));
}

}  // namespace tidra::test
