#pragma once

#include "apps/LinuxApps.h"
#include "support/TempHome.h"

#include <string>

namespace tidra::test {

// A Linux home with one app of each kind, built in a TempHome: below root()/home the AppImages
// Applications/Cursor-1.2.3-x86_64.AppImage (with a desktop and an autostart entry),
// Downloads/Obsidian-1.5.12.AppImage, Tools/etcher.AppImage (found through its desktop
// entry) and Apps/nvim.appimage (whose entry starts "nvim", a link in .local/bin); a program opt/toolbox/bin/toolbox started by the user's entry; the user's Flatpak
// org.example.Notes in .local/share/flatpak; the apps' data in .config, .cache and .var/app;
// secrets in .ssh and .local/share/keyrings; and decoys (an ELF named .AppImage, a link to an
// AppImage, a runtime, hidden entries). Outside the home: the system's entries in
// root()/system/applications and a system-wide Flatpak in root()/var-flatpak/app.
class LinuxAppsHome {
public:
    LinuxAppsHome();

    const std::string& root() const { return temp.root(); }
    std::string homePath() const { return temp.path("home"); }
    std::string path(const std::string& relative) const { return temp.path(relative); }
    // The places of this fixture; no flatpak tool (its path names nothing).
    LinuxAppPlaces places() const;

    TempHome temp;
};

// Bytes an AppImage starts with: ELF's magic, then AppImage's "AI" and type 2 at byte 8.
std::string appImageHead();

} // namespace tidra::test
