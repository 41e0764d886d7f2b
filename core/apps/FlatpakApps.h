#pragma once

#include "apps/InstalledApps.h"
#include "apps/LinuxApps.h"

#include <string>
#include <vector>

// The Flatpaks of one installation, read from its folder layout (flatpak(1): each app is
// deployed as "<installation>/app/<id>/current/active", with its "metadata", its exported
// desktop entry and icons under "export/share" and its AppStream data under "files/share").
// Reads only; safe from any thread.
namespace tidra::FlatpakApps {

// The apps of the per-user installation whose "app" folder is `folder`. Asks `tool` first
// (flatpak list --user --app, with its user installation pointed at `folder`'s parent), for
// the ids, names and versions flatpak itself knows; where the tool cannot run or fails, the
// folder layout answers. Never locked; "last opened" unknown.
std::vector<InstalledApp> user(const std::string& folder, const std::string& tool, const LinuxApps::Runner& run);

// The apps of a system-wide installation's "app" folder, locked: only root may remove them.
std::vector<InstalledApp> system(const std::string& folder);

// Whether `id` has the form flatpak(1) gives application ids: three or more pieces separated
// by ".", each of ASCII letters, digits, "_" and "-" and not starting with a digit, at most
// 255 bytes in all ("net._86box._86Box" is one; "a.b", "a..b.c" and "a.b/c.d" are not).
bool isAppID(const std::string& id);

} // namespace tidra::FlatpakApps
