#pragma once

#include <QDBusConnection>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

namespace tidra::test {

// A session bus of the test's own: a dbus-daemon started for it, with no activatable services,
// so nothing on the machine's session bus can answer or be started. Stopped on destruction.
class PrivateSessionBus {
public:
  PrivateSessionBus();
  ~PrivateSessionBus();
  PrivateSessionBus(const PrivateSessionBus&) = delete;
  PrivateSessionBus& operator=(const PrivateSessionBus&) = delete;

  // False when the daemon could not be started (the reason is in `error()`).
  bool isRunning() const { return !address_.isEmpty(); }
  const QString& error() const { return error_; }
  const QString& address() const { return address_; }

  // A new connection to the bus, with a unique name of its own; each is one client.
  QDBusConnection connect(const QString& connectionName);

private:
  QTemporaryDir folder;
  QProcess daemon;
  QString address_;
  QString error_;
  QStringList connectionNames;
};

}  // namespace tidra::test
