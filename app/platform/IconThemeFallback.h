#pragma once

#include <QString>

namespace tidra::IconThemeFallback {

// Whether the current icon theme draws the generic file and program icons. A session without a
// desktop names none, and under a bare window manager Qt names "hicolor", which holds only the
// apps' own icons: either way files and programs would show as plain sheets.
bool hasGenericIcons();

// When the current theme lacks the generic icons, switches to `complete` (Adwaita, which
// inherits hicolor, so the apps' own icons stay) and adds the XDG data folders to the search
// paths. True when a switch was made.
bool apply(const QString& complete = QStringLiteral("Adwaita"));

}  // namespace tidra::IconThemeFallback
