#include "apps/AppParts.h"

#include "apps/AppFootprint.h"
#include "platform/FileAccess.h"
#include "platform/SearchPath.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <set>

namespace tidra::AppParts {
namespace {

std::string resolved(const std::string& path) {
    char buffer[PATH_MAX];
    return ::realpath(path.c_str(), buffer) ? std::string(buffer) : std::string();
}

bool isAtOrIn(const std::string& path, const std::string& folder) {
    return !folder.empty() && path.starts_with(folder) && (path.size() == folder.size() || path[folder.size()] == '/');
}

bool isUserKind(AppKind kind) {
    return kind == AppKind::appImage || kind == AppKind::program || kind == AppKind::flatpak;
}

std::vector<std::string> sortedEntries(const std::string& folder) {
    auto names = sys::folderEntries(folder).value_or(std::vector<std::string>{});
    std::sort(names.begin(), names.end());
    return names;
}

// Links a user or an integration tool made to the app ("~/.local/bin/zettlr" to its AppImage).
void addCommandLinks(const InstalledApp& app, const std::string& home, std::vector<std::string>& found) {
    const std::string target = resolved(app.mainPath());
    if (target.empty()) return;
    for (const char* relative : {"/.local/bin", "/bin"}) {
        const std::string folder = home + relative;
        for (const auto& name : sortedEntries(folder)) {
            const std::string link = folder + "/" + name;
            if (sys::isSymbolicLink(link) && isAtOrIn(resolved(link), target)) found.push_back(link);
        }
    }
}

// The names the app's icons and MIME packages go by: its identifier and its theme icon name.
std::set<std::string> ownNames(const InstalledApp& app, const std::vector<InstalledApp>& listed) {
    std::set<std::string> names{app.bundleID};
    if (!app.icon.empty() && app.icon.find('/') == std::string::npos) names.insert(app.icon);
    for (const auto& other : listed)
        if (other.path != app.path) {
            names.erase(other.bundleID);
            names.erase(other.icon);
        }
    return names;
}

std::string stem(const std::string& name) {
    const auto dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

// What the freedesktop icon theme and the shared MIME database keep per user.
void addDesktopFiles(const std::set<std::string>& names, const std::string& home, std::vector<std::string>& found) {
    const std::string hicolor = home + "/.local/share/icons/hicolor";
    for (const auto& size : sortedEntries(hicolor)) {
        const std::string folder = hicolor + "/" + size + "/apps";
        for (const auto& name : sortedEntries(folder))
            if (names.contains(stem(name))) found.push_back(folder + "/" + name);
    }
    const std::string packages = home + "/.local/share/mime/packages";
    for (const auto& name : sortedEntries(packages))
        if (name.ends_with(".xml") && names.contains(stem(name))) found.push_back(packages + "/" + name);
}

} // namespace

std::vector<std::string> of(const InstalledApp& app, const std::vector<InstalledApp>& listed, const std::string& home,
                            bool includeContainers, const std::vector<std::string>& commandFolders) {
    std::vector<std::string> others;
    AppFootprint::Rivals rivals{{}, commandFolders, {app.path, app.folder}};
    for (const auto& other : listed) {
        others.push_back(other.bundleID);
        if (other.path == app.path) continue;
        rivals.names.push_back(other.name);
        rivals.names.push_back(other.bundleID);
    }
    auto found = AppFootprint::paths(app.bundleID, app.name, home, includeContainers, others, rivals);
    if (isUserKind(app.kind)) {
        addCommandLinks(app, home, found);
        addDesktopFiles(ownNames(app, listed), home, found);
    }
    found.insert(found.end(), app.launchers.begin(), app.launchers.end());
    std::vector<std::string> unique;
    for (auto& path : found)
        if (path != app.mainPath() && std::find(unique.begin(), unique.end(), path) == unique.end())
            unique.push_back(std::move(path));
    return unique;
}

std::vector<std::string> commandFolders(const std::string& home) {
    auto folders = sys::SearchPath::folders(sys::SearchPath::current());
    folders.push_back(home + "/.local/bin");
    folders.push_back(home + "/bin");
    return folders;
}

} // namespace tidra::AppParts
