#pragma once

#include "apps/InstalledApps.h"
#include "system/Shell.h"

#include <chrono>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace tidra {

// Where a Linux desktop keeps the apps of one home folder.
struct LinuxAppPlaces {
    std::string home;
    // Searched for AppImages (not below); the folders of the programs that the user's desktop
    // entries start are searched as well.
    std::vector<std::string> appImageFolders;
    // The user's own applications folder ($XDG_DATA_HOME/applications).
    std::string userEntries;
    // The user's autostart folder ($XDG_CONFIG_HOME/autostart).
    std::string autostart;
    // The per-user Flatpak installation ("<installation>/app/<id>" per app).
    std::string userFlatpaks;
    // Folders of the system's desktop entries, and the system-wide Flatpak installation:
    // shown locked. Empty for a home other than the user's own.
    std::vector<std::string> systemEntries;
    std::string systemFlatpaks;
    // The flatpak tool; asked first for the user's Flatpaks, with its user installation
    // pointed at `userFlatpaks`' parent.
    std::string flatpakTool = "/usr/bin/flatpak";
    // The running program's resolved path: an app that is this program is never listed.
    std::string ownProgram;

    // The places for `home`; the system ones only when `withSystem` (the user's own home).
    static LinuxAppPlaces live(const std::string& home, bool withSystem);
};

// Lists what a Linux user installed: AppImages, programs in the home folder started by the
// user's own desktop entries, and per-user Flatpaks, which the user may remove without root;
// and, locked, the apps of the system's packages, system-wide Flatpaks and Snaps, which are
// left to their package managers. Reads only; safe from any thread.
namespace LinuxApps {

using Runner = std::function<std::optional<Shell::Output>(
    const std::string& tool, const std::vector<std::string>& arguments,
    const std::map<std::string, std::string>& environment, std::chrono::milliseconds timeout)>;

inline constexpr std::chrono::seconds listLimit{30};
inline constexpr std::chrono::seconds uninstallLimit{300};

// Every app once (by path), in natural name order; apps whose identifier is in `excluding`,
// and this program itself, are left out. "Last opened" is unknown for all: nothing on Linux records it.
std::vector<InstalledApp> list(const LinuxAppPlaces& places, const std::set<std::string>& excluding = {},
                               const Runner& run = Shell::run);

// A regular file (not a link) that starts with the ELF magic and carries AppImage's own
// magic ("AI" and type 1 or 2) at byte 8.
bool isAppImage(const std::string& path);

// The program an Exec= line starts: the first word after any "env" and VAR=value words,
// with the desktop entry's double quotes and backslashes undone; empty for none.
std::string program(const std::string& exec);

// The environment that points flatpak's per-user installation at `userFlatpaks`' parent.
std::map<std::string, std::string> flatpakEnvironment(const std::string& userFlatpaks);

} // namespace LinuxApps
} // namespace tidra
