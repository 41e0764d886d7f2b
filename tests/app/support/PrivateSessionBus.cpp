#include "PrivateSessionBus.h"

#include <QFile>

namespace tidra::test {

namespace {

// A session bus that lets its clients own names and talk freely, and activates nothing.
const char* const configuration = R"(<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:dir=%1</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
)";

}  // namespace

PrivateSessionBus::PrivateSessionBus() {
  const QString configPath = folder.filePath(QStringLiteral("bus.conf"));
  QFile config(configPath);
  if (!config.open(QIODevice::WriteOnly)) {
    error_ = QStringLiteral("cannot write the bus configuration");
    return;
  }
  config.write(QString::fromLatin1(configuration).arg(folder.path()).toUtf8());
  config.close();

  daemon.start(QStringLiteral("dbus-daemon"),
               {QStringLiteral("--config-file=") + configPath, QStringLiteral("--nofork"), QStringLiteral("--nopidfile"),
                QStringLiteral("--print-address=1")});
  // The daemon prints its address once it listens; waiting for that line is waiting on a
  // process, not on time.
  for (int tries = 0; tries < 6 && daemon.state() != QProcess::NotRunning && !daemon.canReadLine(); ++tries)
    daemon.waitForReadyRead(10'000);
  if (!daemon.canReadLine()) {
    error_ = QStringLiteral("dbus-daemon did not start: ") + daemon.errorString() +
             QString::fromLocal8Bit(daemon.readAllStandardError());
    return;
  }
  address_ = QString::fromLocal8Bit(daemon.readLine()).trimmed();
}

PrivateSessionBus::~PrivateSessionBus() {
  for (const auto& name : connectionNames) QDBusConnection::disconnectFromBus(name);
  if (daemon.state() != QProcess::NotRunning) {
    daemon.terminate();
    if (!daemon.waitForFinished(10'000)) daemon.kill();
    daemon.waitForFinished(10'000);
  }
}

QDBusConnection PrivateSessionBus::connect(const QString& connectionName) {
  connectionNames << connectionName;
  return QDBusConnection::connectToBus(address_, connectionName);
}

}  // namespace tidra::test
