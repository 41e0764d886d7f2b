#pragma once

#include "platform/DesktopEntries.h"

#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace tidra {

// The places an application can be installed in on this machine: the designed application
// bundles, and the ways Linux installs a desktop app.
struct AppPlaces {
    // Folders holding "<name>.app" bundles.
    std::vector<std::string> bundleFolders;
    // Applications folders of the desktop registry (".desktop" files).
    std::vector<std::string> desktopFolders;
    // Absolute folders of $PATH.
    std::vector<std::string> commandFolders;
    // Folders holding AppImages, searched one folder deep as well.
    std::vector<std::string> appImageFolders;
    // Flatpak installations' "app" folders: one "<id>/current" per installed app.
    std::vector<std::string> flatpakFolders;
    // Where snapd mounts each installed snap as "<name>".
    std::string snapFolder;

    // The places of the user's machine for `home`; $PATH and the XDG folders read now.
    static AppPlaces live(const std::string& home);
    // The places of another home on this machine (the --home option): the system's, whose apps
    // are installed for every home, and that home's own; never the running user's.
    static AppPlaces forHome(const std::string& home);
};

// What is installed at some places, read once on first use and shared by every question
// asked afterwards. Safe to use from any thread.
class AppPresence {
public:
    explicit AppPresence(AppPlaces places);

    // True when any name (an app's display name, or the command that starts it) or any
    // identifier (a bundle, desktop file or Flatpak id, compared ignoring ASCII case) belongs
    // to an installed app. A name matches a bundle "<name>.app", a desktop entry's Name, a
    // command on PATH, an AppImage whose file name starts with it (ignoring case, then a
    // non-letter or the end) or a snap of that name. Two empty lists are false. True when the
    // desktop registry cannot be read: nothing of an installed app may pass as a leftover.
    bool isInstalled(const std::vector<std::string>& names, const std::vector<std::string>& ids);

    // The desktop registry's name for an identifier (a desktop file id, so a Flatpak's app id
    // too), ignoring case; nothing when unknown or unreadable.
    std::optional<std::string> name(const std::string& id);

    // The identifiers of the installed apps: bundle identifiers, desktop file ids, Flatpak
    // app ids, in that order. Empty when the registry cannot be read, which callers must take
    // as "cannot tell".
    std::vector<std::string> installedIDs();

private:
    struct Snapshot {
        std::vector<std::string> bundleIDs;
        std::optional<std::vector<sys::DesktopEntry>> desktop;
        std::vector<std::string> appImages;
        std::vector<std::string> flatpaks;
    };
    const Snapshot& snapshot();

    AppPlaces places_;
    std::once_flag once_;
    Snapshot snapshot_;
};

} // namespace tidra
