#include "platform/FileRevealer.h"

#include "platform/PathText.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QUrl>

namespace tidra {

namespace {

void openContainingFolder(UrlOpener& opener, const std::string& path) {
  const std::string folder(sys::PathText::parentFolder(path));
  opener.open(QUrl::fromEncoded(LiveFileRevealer::uriOf(folder).toLatin1()));
}

}  // namespace

QString LiveFileRevealer::uriOf(const std::string& path) {
  return QStringLiteral("file://") + QString::fromLatin1(QByteArray::fromStdString(path).toPercentEncoding("/"));
}

void LiveFileRevealer::reveal(const std::string& path) {
  auto bus = QDBusConnection::sessionBus();
  if (!bus.isConnected()) return openContainingFolder(opener, path);
  auto message = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.FileManager1"),
                                                QStringLiteral("/org/freedesktop/FileManager1"),
                                                QStringLiteral("org.freedesktop.FileManager1"),
                                                QStringLiteral("ShowItems"));
  message << QStringList{uriOf(path)} << QString();
  // Asynchronous: a file manager that is slow to start must not freeze the window.
  auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(message, 5000));
  QObject::connect(watcher, &QDBusPendingCallWatcher::finished, [&opener = opener, path](QDBusPendingCallWatcher* call) {
    if (call->isError()) openContainingFolder(opener, path);
    call->deleteLater();
  });
}

}  // namespace tidra
