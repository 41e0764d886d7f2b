#pragma once

#include "apps/InstalledApps.h"
#include "apps/LinuxApps.h"

#include <cstdint>
#include <optional>
#include <string>

// How much of the disk the system's apps take, as their package managers account for it. The
// listing knows such an app by its desktop entry, whose own few bytes say nothing of the app.
namespace tidra::SystemAppSizes {

// Where the package managers keep what they know; tests point them at fixtures.
struct Places {
    std::string dpkgQuery = "/usr/bin/dpkg-query";
    // snapd keeps each revision as "<snaps>/<name>_<revision>.snap" and mounts the current one
    // at "<mounts>/<name>/current", a link named by the revision.
    std::string snaps = "/var/lib/snapd/snaps";
    std::string snapMounts = "/snap";
};

// Bytes of the app's package: for a package's desktop entry, dpkg-query's Installed-Size
// (KiB) of the package that owns the entry; for a Snap, its current revision's file; for a
// system-wide Flatpak, its active deployment, measured. Nothing for the other kinds, and
// whenever the manager cannot be asked or does not know the app: no figure beats a wrong one.
std::optional<std::int64_t> bytes(const InstalledApp& app, const Places& places = {},
                                  const LinuxApps::Runner& run = Shell::run);

} // namespace tidra::SystemAppSizes
