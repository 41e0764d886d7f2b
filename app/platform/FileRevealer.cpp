#include "platform/FileRevealer.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

namespace tidra {

namespace {

void openContainingFolder(const QString& path) {
  QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(path).absolutePath()));
}

}  // namespace

void LiveFileRevealer::reveal(const QString& path) {
  auto bus = QDBusConnection::sessionBus();
  if (!bus.isConnected()) return openContainingFolder(path);
  auto message = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.FileManager1"),
                                                QStringLiteral("/org/freedesktop/FileManager1"),
                                                QStringLiteral("org.freedesktop.FileManager1"),
                                                QStringLiteral("ShowItems"));
  message << QStringList{QUrl::fromLocalFile(path).toString()} << QString();
  // Asynchronous: a file manager that is slow to start must not freeze the window.
  auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(message, 5000));
  QObject::connect(watcher, &QDBusPendingCallWatcher::finished, [path](QDBusPendingCallWatcher* call) {
    if (call->isError()) openContainingFolder(path);
    call->deleteLater();
  });
}

}  // namespace tidra
