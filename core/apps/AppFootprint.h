#pragma once

#include <optional>
#include <string>
#include <vector>

// What an application leaves in the user's Library, found from its bundle identifier alone,
// and a readable name for an app that is gone. Only single folders are listed; nothing is
// opened or measured. Safe from any thread.
namespace tidra::AppFootprint {

// Who else may own an entry that only the app's name finds: such an entry is left alone.
struct Rivals {
    // Names and identifiers of the other listed apps (compared as names are, ignoring case).
    std::vector<std::string> names;
    // Folders of installed commands ($PATH, the user's ~/.local/bin and ~/bin).
    std::vector<std::string> commandFolders;
    // The app's own files: a command that leads to one of them, or into one, is the app's own.
    std::vector<std::string> ownPaths;
};

// Absolute paths below `home` of the entries that belong to the app: those named by its
// identifier (or an extension of it by "." and more pieces) in the Library folders, in
// Flatpak's ~/.var/app and in ~/.config, ~/.cache, ~/.local/share and ~/.local/state, ignoring
// case and cutting the usual endings (".plist", ".savedState", ".binarycookies"); with
// `includeContainers`, also its sandbox and group containers; and, when `name` has at least
// three characters, the entries named like the app (ignoring case) in Application Support,
// Caches and Logs and in those four Linux folders, unless one of `rivals` (another listed
// app, or an installed command of that name that is not the app's) may own the entry too.
// The desktop's shared entries there ("applications", "autostart", "keyrings", "Trash" and
// the like) and Tidra's own folders never count. `others` are the identifiers of other
// installed apps: what belongs to one of them that extends `bundleID` is left to it. The identifier passes run only for an
// identifier that looksLikeBundleID accepts, so a short one ("com") never claims a whole
// folder. Each path once, in ascending byte order; names beginning with "." never count.
std::vector<std::string> paths(const std::string& bundleID, const std::optional<std::string>& name,
                               const std::string& home, bool includeContainers,
                               const std::vector<std::string>& others, const Rivals& rivals = {});

// Whether `path` (one of `paths`' answers) holds settings or data that only the app's name
// found, not its identifier: a guess the user should confirm, so it is offered unticked.
// Caches and logs found by name are not: losing them costs nothing.
bool isSettingsFoundByName(const std::string& path, const std::string& bundleID, const std::string& home);

// At least three dot-separated pieces, none empty, the first starting with a letter, and
// only ASCII letters, digits and "-" in the pieces.
bool looksLikeBundleID(const std::string& text);

// The first two pieces (empty pieces dropped), lower case: "com.example" for com.Example.Tool.
std::string vendor(const std::string& bundleID);

// A readable name for the app: a known name, else the most telling piece of the identifier,
// capitalised when it has no capitals of its own ("com.example.photo-lab" gives "Photo Lab").
std::string guessedName(const std::string& bundleID);

} // namespace tidra::AppFootprint
