#include "platform/PortalAppearance.h"

#include <QDBusMessage>
#include <QDBusVariant>

namespace tidra {

namespace {

const QString portalService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString portalPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString settingsInterface = QStringLiteral("org.freedesktop.portal.Settings");
const QString appearanceGroup = QStringLiteral("org.freedesktop.appearance");
const QString colorSchemeKey = QStringLiteral("color-scheme");
constexpr uint preferDark = 1;

}  // namespace

PortalAppearance::PortalAppearance(QDBusConnection bus, QObject* parent) : QObject(parent), bus(std::move(bus)) {
  this->bus.connect(portalService, portalPath, settingsInterface, QStringLiteral("SettingChanged"), this,
                    SLOT(onSettingChanged(QString, QString, QDBusVariant)));
}

Theme::Scheme PortalAppearance::read(std::chrono::milliseconds patience) {
  // Read, not ReadOne: the portals of Debian 12 have only Read, which wraps the value twice.
  QDBusMessage ask = QDBusMessage::createMethodCall(portalService, portalPath, settingsInterface, QStringLiteral("Read"));
  ask << appearanceGroup << colorSchemeKey;
  const QDBusMessage reply = bus.call(ask, QDBus::BlockWithGui, static_cast<int>(patience.count()));
  if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return Theme::Scheme::light;
  return schemeOf(reply.arguments().constFirst());
}

void PortalAppearance::follow(std::optional<Theme::Scheme> chosen, std::function<void(Theme::Scheme)> apply) {
  if (chosen) return apply(*chosen);
  apply(read());
  applying = std::move(apply);
}

Theme::Scheme PortalAppearance::schemeOf(const QVariant& value) {
  QVariant inner = value;
  while (inner.canConvert<QDBusVariant>() && inner.metaType() == QMetaType::fromType<QDBusVariant>())
    inner = qvariant_cast<QDBusVariant>(inner).variant();
  bool number = false;
  const uint scheme = inner.toUInt(&number);
  return number && scheme == preferDark ? Theme::Scheme::dark : Theme::Scheme::light;
}

void PortalAppearance::onSettingChanged(const QString& changedGroup, const QString& changedKey,
                                        const QDBusVariant& value) {
  if (changedGroup != appearanceGroup || changedKey != colorSchemeKey) return;
  if (applying) applying(schemeOf(value.variant()));
}

}  // namespace tidra
