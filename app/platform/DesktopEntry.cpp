#include "platform/DesktopEntry.h"

namespace tidra::DesktopEntry {

QString id() { return QStringLiteral("app.tidra.Tidra"); }

QString name() { return QStringLiteral("Tidra"); }

}  // namespace tidra::DesktopEntry
