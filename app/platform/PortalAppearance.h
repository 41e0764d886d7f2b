#pragma once

#include "views/design/Theme.h"

#include <QDBusConnection>
#include <QObject>

#include <chrono>
#include <functional>
#include <optional>

class QDBusVariant;

namespace tidra {

// The desktop's light or dark preference as the XDG desktop portal tells it
// (org.freedesktop.portal.Settings, "org.freedesktop.appearance" / "color-scheme"): 1 asks for
// dark; "no preference", "prefer light", any other value and no portal at all mean light.
class PortalAppearance : public QObject {
  Q_OBJECT

public:
  explicit PortalAppearance(QDBusConnection bus, QObject* parent = nullptr);

  // The preference now. Asks once and waits at most `patience`, so a stuck portal only delays
  // the first window by that much.
  Theme::Scheme read(std::chrono::milliseconds patience = std::chrono::milliseconds(1000));

  // With `chosen` (the command line's --appearance) applies it and nothing else, ever; otherwise
  // applies the preference now and again on every change the portal announces.
  void follow(std::optional<Theme::Scheme> chosen, std::function<void(Theme::Scheme)> apply);

  // What a color-scheme value means, however deeply the portal wrapped it in variants.
  static Theme::Scheme schemeOf(const QVariant& value);

private slots:
  void onSettingChanged(const QString& group, const QString& key, const QDBusVariant& value);

private:
  QDBusConnection bus;
  std::function<void(Theme::Scheme)> applying;
};

}  // namespace tidra
