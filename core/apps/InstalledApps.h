#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace tidra {

// How an app came onto the machine, which decides how it leaves.
enum class AppKind {
    // An application bundle folder.
    bundle,
    // One AppImage file the user put in the home folder.
    appImage,
    // A program in the home folder that the user's own desktop entry starts.
    program,
    // A Flatpak installed for this user only.
    flatpak,
    // Installed for every user by the system: never removed here, shown locked.
    systemFlatpak,
    snap,
    systemPackage,
};

// One installed application: a bundle found in an Applications folder, or an app installed
// the Linux ways (see LinuxApps).
struct InstalledApp {
    // The searched folder + "/" + the bundle's name (one vendor folder in between for a bundle
    // found one level down). For the Linux kinds: the AppImage or program file, the Flatpak's
    // folder in its installation ("<installation>/app/<id>"), or the system desktop entry.
    std::string path;
    // The bundle's folder name without ".app"; the desktop entry's or Flatpak's name.
    std::string name;
    // "CFBundleIdentifier" of the bundle's Info.plist; the desktop file id or Flatpak id
    // (for an AppImage without an entry, its file name). Never empty.
    std::string bundleID;
    // "CFBundleShortVersionString" when it is a string.
    std::optional<std::string> version;
    std::optional<std::chrono::system_clock::time_point> lastOpened;
    // The user may not write the bundle (owned by another user), so moving it needs a password;
    // for the Linux kinds: installed for every user by the system, so it is locked here.
    bool needsPassword;
    AppKind kind = AppKind::bundle;
    // A theme icon name or an absolute image path; empty for the bundle kind.
    std::string icon = {};
    // The user's own desktop and autostart entries that start the app; they leave with it.
    std::vector<std::string> launchers = {};
    // A program unpacked in the home folder ("~/opt/tool/bin/tool"): the folder that holds all
    // of it, which leaves whole as the app's first part. Empty for a program that is one file.
    std::string folder = {};
    // The folder that holds the program when it cannot safely be told to be the app's alone
    // (it is shared, holds another app, or sits at the top of the home folder): it stays, and
    // the uninstall says so.
    std::string remains = {};

    const std::string& id() const { return path; }
    // What leaves first and whole: the program's folder where there is one, else `path`.
    const std::string& mainPath() const { return folder.empty() ? path : folder; }
    bool operator==(const InstalledApp&) const = default;
};

namespace InstalledApps {

using LastOpened = std::function<std::optional<std::chrono::system_clock::time_point>(const std::string&)>;

// This platform keeps no last-used date for applications: always nothing.
std::optional<std::chrono::system_clock::time_point> spotlightLastOpened(const std::string& path);

// The apps of `folders` in natural name order (case-insensitive, digit runs by value; equal
// names keep the order found). Bundles are folders named "*.app" (case-sensitive) directly in
// a searched folder or one plain folder below it; links are never followed, names beginning
// with "." never looked at, and bundles without a readable Info.plist or a non-empty
// identifier left out. `excluding` holds identifiers to leave out, compared exactly.
// `lastOpened` is called once per listed app with its path.
std::vector<InstalledApp> list(const std::vector<std::string>& folders, const std::set<std::string>& excluding = {},
                               const LastOpened& lastOpened = spotlightLastOpened);

// The identifiers of every bundle found as `list` finds them, in the order found, duplicates
// kept, nothing excluded.
std::vector<std::string> bundleIDs(const std::vector<std::string>& folders);

} // namespace InstalledApps
} // namespace tidra
