#pragma once

#include <optional>
#include <string>
#include <vector>

namespace tidra::sys {

// One application known to the desktop's registry: a ".desktop" file in an applications folder.
struct DesktopEntry {
    // The desktop file id: the path below the applications folder with "/" turned into "-"
    // and ".desktop" dropped ("org.gnome.Maps", "kde-konsole").
    std::string id;
    // The untranslated Name= of the [Desktop Entry] group; empty when there is none.
    std::string name;
    // Absolute path of the file that won for this id.
    std::string path;

    bool operator==(const DesktopEntry&) const = default;
};

// The applications folders in look-up order: $XDG_DATA_HOME (default home + "/.local/share"),
// then each of $XDG_DATA_DIRS (default "/usr/local/share:/usr/share"), then the flatpak export
// folders (user, then system) when not listed already; each with "/applications" appended.
std::vector<std::string> applicationFolders(const std::string& home);

// The entries of the registry. An id found in several folders counts from the first folder
// only; an entry marked Hidden=true hides that id (the user removed it). Folders and files
// that do not exist (a dangling link included) are passed over. Nothing when an existing
// folder or entry cannot be read: the registry is then unknown, and callers must not read
// that as "no such application".
std::optional<std::vector<DesktopEntry>> readDesktopEntries(const std::vector<std::string>& folders);

// The Name= of the [Desktop Entry] group of a desktop file's text, and whether Hidden=true;
// Exec= (unescaped, empty when none) and whether X-GNOME-Autostart-enabled=false turned an
// autostart entry off; for listing applications also Type=, Icon=, whether NoDisplay=true and
// the X-AppImage-Version= that AppImage's desktop integration writes.
struct DesktopFileFields {
    std::string name;
    bool hidden = false;
    std::string exec;
    bool autostartDisabled = false;
    std::string type;
    std::string icon;
    bool noDisplay = false;
    std::string appImageVersion;
};
DesktopFileFields parseDesktopFile(const std::string& text);

} // namespace tidra::sys
