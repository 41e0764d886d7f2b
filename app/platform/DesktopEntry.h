#pragma once

#include <QString>

namespace tidra::DesktopEntry {

// The name the desktop knows Tidra by: the installed entry is "<id>.desktop", the icon in the
// hicolor theme is "<id>", the AppStream component is "<id>". Notifications and the open-at-login
// entry name the same, so the desktop ties them to the app in its launcher.
QString id();
// The name people see ("Tidra").
QString name();

}  // namespace tidra::DesktopEntry
