#pragma once

#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusVariant>
#include <QObject>
#include <QVariant>

namespace tidra::test {

// The settings part of an XDG desktop portal for a private bus: answers Read for the appearance
// key the way the portals of Debian 12 do (the value wrapped in a second variant) and announces
// changes with SettingChanged.
class FakePortal : public QObject, protected QDBusContext {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Settings")

public:
  // Registers on `bus`; `colorScheme` is what Read answers (0 none, 1 dark, 2 light).
  FakePortal(QDBusConnection bus, QVariant colorScheme);
  ~FakePortal() override;

  bool isRegistered() const { return registered; }
  // Announces a change of any setting; only the appearance key changes what Read answers.
  void change(const QString& group, const QString& key, const QVariant& value);
  int reads() const { return readCount; }

public slots:
  QDBusVariant Read(const QString& group, const QString& key);

signals:
  void SettingChanged(const QString& group, const QString& key, const QDBusVariant& value);

private:
  QDBusConnection bus;
  QVariant colorScheme;
  bool registered = false;
  int readCount = 0;
};

}  // namespace tidra::test
