#include "AppInfo.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

// The resource lives in a static library: nothing would pull it into the program without this.
static void initAppInfoResource() { Q_INIT_RESOURCE(AppInfo); }

namespace tidra {

AppInfo AppInfo::read(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  const QJsonObject info = QJsonDocument::fromJson(file.readAll()).object();
  const auto text = [&](const char* key) { return info.value(QLatin1String(key)).toString(); };
  return {text("CFBundleShortVersionString"), text("TidraWebsite"), text("SUPublicEDKey")};
}

AppInfo AppInfo::bundled() {
  initAppInfoResource();
  return read(QStringLiteral(":/tidra/AppInfo.json"));
}

}  // namespace tidra
