#include "apps/AppPresence.h"

#include "apps/InstalledApps.h"
#include "platform/FileAccess.h"
#include "platform/HomeFolder.h"

#include <algorithm>
#include <cstdlib>
#include <string_view>

namespace tidra {
namespace {

std::string lowered(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    return text;
}

bool isLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

std::vector<std::string> pathFolders() {
    std::vector<std::string> folders;
    const char* path = std::getenv("PATH");
    std::string_view rest = path ? path : "";
    while (!rest.empty()) {
        const auto colon = std::min(rest.find(':'), rest.size());
        if (rest.starts_with('/')) folders.emplace_back(rest.substr(0, colon));
        rest.remove_prefix(std::min(colon + 1, rest.size()));
    }
    return folders;
}

std::vector<std::string> sortedEntries(const std::string& folder) {
    auto names = sys::folderEntries(folder).value_or(std::vector<std::string>{});
    std::sort(names.begin(), names.end());
    return names;
}

bool isAppImageName(const std::string& name) {
    return name.size() > 9 && lowered(name.substr(name.size() - 9)) == ".appimage";
}

// Lower-case file names of the AppImages in `folders` and in their folders one level down
// (an app unpacked with its AppImage into /opt/<app>/).
std::vector<std::string> appImageNames(const std::vector<std::string>& folders) {
    std::vector<std::string> found;
    for (const auto& folder : folders)
        for (const auto& name : sortedEntries(folder)) {
            const std::string path = folder + "/" + name;
            if (isAppImageName(name) && sys::existsFollowingLinks(path)) found.push_back(lowered(name));
            else if (sys::isDirectoryNoFollow(path))
                for (const auto& inner : sortedEntries(path))
                    if (isAppImageName(inner) && sys::existsFollowingLinks(path + "/" + inner))
                        found.push_back(lowered(inner));
        }
    return found;
}

// flatpak(1) deploys each installed app as <installation>/app/<id>/current; uninstalling
// removes it, while the app's data in ~/.var/app/<id> stays behind.
std::vector<std::string> flatpakIDs(const std::vector<std::string>& folders) {
    std::vector<std::string> ids;
    for (const auto& folder : folders)
        for (const auto& id : sortedEntries(folder))
            if (sys::entryExists(folder + "/" + id + "/current")) ids.push_back(id);
    return ids;
}

// "Cursor-1.2.3-x86_64.appimage" is Cursor's; "cursorless.appimage" is not.
bool appImageOf(const std::string& fileName, const std::string& name) {
    const std::string wanted = lowered(name);
    return !wanted.empty() && fileName.starts_with(wanted) && !isLetter(fileName[wanted.size()]);
}

bool sameIgnoringCase(const std::string& a, const std::string& b) {
    return lowered(a) == lowered(b);
}

bool isPlainName(const std::string& name) {
    return !name.empty() && name.find('/') == std::string::npos && name != "." && name != "..";
}

} // namespace

AppPlaces AppPlaces::live(const std::string& home) {
    return AppPlaces{
        .bundleFolders = {"/Applications", home + "/Applications", "/System/Applications"},
        .desktopFolders = sys::applicationFolders(home),
        .commandFolders = pathFolders(),
        // Where AppImage's own documentation and its integration tools put AppImages.
        .appImageFolders = {home + "/Applications", home + "/.local/bin", home + "/bin", "/opt"},
        .flatpakFolders = {"/var/lib/flatpak/app", home + "/.local/share/flatpak/app"},
        .snapFolder = "/snap",
    };
}

AppPlaces AppPlaces::forHome(const std::string& home) {
    AppPlaces places = live(home);
    const std::string user = sys::homeFolder();
    const auto isUsers = [&](const std::string& folder) {
        return !user.empty() && user != home && (folder == user || folder.starts_with(user + "/"));
    };
    // The first desktop folder is the running user's $XDG_DATA_HOME.
    places.desktopFolders.front() = home + "/.local/share/applications";
    std::erase_if(places.desktopFolders, isUsers);
    std::erase_if(places.commandFolders, isUsers);
    places.commandFolders.push_back(home + "/.local/bin");
    places.commandFolders.push_back(home + "/bin");
    return places;
}

AppPresence::AppPresence(AppPlaces places) : places_(std::move(places)) {}

const AppPresence::Snapshot& AppPresence::snapshot() {
    std::call_once(once_, [this] {
        snapshot_.bundleIDs = InstalledApps::bundleIDs(places_.bundleFolders);
        snapshot_.desktop = sys::readDesktopEntries(places_.desktopFolders);
        snapshot_.appImages = appImageNames(places_.appImageFolders);
        snapshot_.flatpaks = flatpakIDs(places_.flatpakFolders);
    });
    return snapshot_;
}

bool AppPresence::isInstalled(const std::vector<std::string>& names, const std::vector<std::string>& ids) {
    if (names.empty() && ids.empty()) return false;
    const Snapshot& s = snapshot();
    if (!s.desktop) return true; // cannot tell: never call an app removed on a guess
    const auto listed = [](const std::vector<std::string>& list, const std::string& id) {
        return std::any_of(list.begin(), list.end(), [&](const std::string& x) { return sameIgnoringCase(x, id); });
    };
    const auto registered = [&](const std::string& id) {
        return std::any_of(s.desktop->begin(), s.desktop->end(),
                           [&](const auto& e) { return sameIgnoringCase(e.id, id); });
    };
    for (const auto& id : ids)
        if (listed(s.bundleIDs, id) || listed(s.flatpaks, id) || registered(id)) return true;
    for (const auto& name : names) {
        if (!isPlainName(name)) continue;
        for (const auto& folder : places_.bundleFolders)
            if (sys::existsFollowingLinks(folder + "/" + name + ".app")) return true;
        for (const auto& folder : places_.commandFolders)
            if (sys::isExecutableFile(folder + "/" + name)) return true;
        if (std::any_of(s.desktop->begin(), s.desktop->end(), [&](const auto& e) { return e.name == name; }) ||
            std::any_of(s.appImages.begin(), s.appImages.end(), [&](const auto& f) { return appImageOf(f, name); }) ||
            (!places_.snapFolder.empty() && sys::entryExists(places_.snapFolder + "/" + lowered(name))))
            return true;
    }
    return false;
}

std::optional<std::string> AppPresence::name(const std::string& id) {
    const auto& desktop = snapshot().desktop;
    if (!desktop) return std::nullopt;
    for (const auto& entry : *desktop)
        if (sameIgnoringCase(id, entry.id) && !entry.name.empty()) return entry.name;
    return std::nullopt;
}

std::vector<std::string> AppPresence::installedIDs() {
    const Snapshot& s = snapshot();
    if (!s.desktop) return {};
    std::vector<std::string> ids = s.bundleIDs;
    for (const auto& entry : *s.desktop) ids.push_back(entry.id);
    ids.insert(ids.end(), s.flatpaks.begin(), s.flatpaks.end());
    return ids;
}

} // namespace tidra
