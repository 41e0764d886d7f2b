#include "platform/IconThemeFallback.h"

#include <QIcon>
#include <QStandardPaths>

namespace tidra::IconThemeFallback {

bool hasGenericIcons() {
  return QIcon::hasThemeIcon(QStringLiteral("text-x-generic")) &&
         QIcon::hasThemeIcon(QStringLiteral("application-x-executable"));
}

bool apply(const QString& complete) {
  if (hasGenericIcons()) return false;
  QStringList paths = QIcon::themeSearchPaths();
  for (const QString& folder : QStandardPaths::locateAll(QStandardPaths::GenericDataLocation, QStringLiteral("icons"),
                                                         QStandardPaths::LocateDirectory))
    if (!paths.contains(folder)) paths << folder;
  QIcon::setThemeSearchPaths(paths);
  QIcon::setThemeName(complete);
  return true;
}

}  // namespace tidra::IconThemeFallback
