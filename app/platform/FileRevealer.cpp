#include "platform/FileRevealer.h"

#include "platform/PathText.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDesktopServices>
#include <QUrl>

namespace tidra {

namespace {

void openContainingFolder(const std::string& path) {
  const std::string folder(sys::PathText::parentFolder(path));
  QDesktopServices::openUrl(QUrl::fromEncoded(LiveFileRevealer::uriOf(folder).toLatin1()));
}

}  // namespace

QString LiveFileRevealer::uriOf(const std::string& path) {
  return QStringLiteral("file://") + QString::fromLatin1(QByteArray::fromStdString(path).toPercentEncoding("/"));
}

void LiveFileRevealer::reveal(const std::string& path) {
  auto bus = QDBusConnection::sessionBus();
  if (!bus.isConnected()) return openContainingFolder(path);
  auto message = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.FileManager1"),
                                                QStringLiteral("/org/freedesktop/FileManager1"),
                                                QStringLiteral("org.freedesktop.FileManager1"),
                                                QStringLiteral("ShowItems"));
  message << QStringList{uriOf(path)} << QString();
  // Asynchronous: a file manager that is slow to start must not freeze the window.
  auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(message, 5000));
  QObject::connect(watcher, &QDBusPendingCallWatcher::finished, [path](QDBusPendingCallWatcher* call) {
    if (call->isError()) openContainingFolder(path);
    call->deleteLater();
  });
}

}  // namespace tidra
