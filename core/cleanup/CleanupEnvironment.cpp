#include "cleanup/CleanupEnvironment.h"

#include "apps/InstalledApps.h"
#include "cleanup/Homebrew.h"
#include "platform/DesktopEntries.h"
#include "platform/FileAccess.h"
#include "platform/HomeFolder.h"

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <string_view>

namespace tidra {
namespace {

// The desktop's application registry, read once on first use by one environment value and
// shared by its probes; nothing when it could not be read.
class AppRegistry {
public:
    explicit AppRegistry(std::string home) : home_(std::move(home)) {}

    const std::optional<std::vector<sys::DesktopEntry>>& entries() {
        std::call_once(once_, [this] { entries_ = sys::readDesktopEntries(sys::applicationFolders(home_)); });
        return entries_;
    }

private:
    std::string home_;
    std::once_flag once_;
    std::optional<std::vector<sys::DesktopEntry>> entries_;
};

std::string lowered(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    return text;
}

bool sameIdentifier(const std::string& a, const std::string& b) {
    return lowered(a) == lowered(b);
}

bool bundleInApplications(const std::string& home, const std::vector<std::string>& names) {
    for (const auto& name : names)
        for (const std::string& folder : {std::string("/Applications"), home + "/Applications"})
            if (sys::existsFollowingLinks(folder + "/" + name + ".app")) return true;
    return false;
}

std::vector<std::string> searchFolders() {
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

// Editors and other tools installed from an archive or a package have no bundle and often no
// desktop entry, but their command is on PATH.
bool commandOnPath(const std::vector<std::string>& folders, const std::vector<std::string>& names) {
    for (const auto& name : names)
        if (!name.empty() && name.find('/') == std::string::npos)
            for (const auto& folder : folders)
                if (sys::isExecutableFile(folder + "/" + name)) return true;
    return false;
}

bool inRegistry(AppRegistry& registry, const std::vector<std::string>& names, const std::vector<std::string>& ids) {
    const auto& entries = registry.entries();
    if (!entries) return true; // cannot tell: never call an app removed on a guess
    return std::any_of(entries->begin(), entries->end(), [&](const sys::DesktopEntry& entry) {
        return std::find(names.begin(), names.end(), entry.name) != names.end() ||
               std::any_of(ids.begin(), ids.end(), [&](const std::string& id) { return sameIdentifier(id, entry.id); });
    });
}

std::optional<std::string> registryName(AppRegistry& registry, const std::string& id) {
    const auto& entries = registry.entries();
    if (!entries) return std::nullopt;
    for (const auto& entry : *entries)
        if (sameIdentifier(id, entry.id) && !entry.name.empty()) return entry.name;
    return std::nullopt;
}

} // namespace

CleanupEnvironment CleanupEnvironment::live() {
    const std::string home = sys::homeFolder();
    auto registry = std::make_shared<AppRegistry>(home);
    return CleanupEnvironment{
        .home = home,
        .isAppInstalled =
            [home, registry, path = searchFolders()](const std::vector<std::string>& names,
                                                     const std::vector<std::string>& ids) {
                if (names.empty() && ids.empty()) return false;
                return bundleInApplications(home, names) || commandOnPath(path, names) ||
                       inRegistry(*registry, names, ids);
            },
        .appName = [registry](const std::string& id) { return registryName(*registry, id); },
        .installedBundleIDs =
            [home] { return InstalledApps::bundleIDs({"/Applications", home + "/Applications", "/System/Applications"}); },
        .simulators = [] { return Simulators::list(); },
        .globalNpmConfigFiles = {"/opt/homebrew/etc/npmrc", "/usr/local/etc/npmrc"},
        .rootYarnCache = "/usr/local/share/Library/Caches/Yarn",
        .docker = [home] { return Docker::status(Docker::cliCandidates(home)); },
        .toolItems =
            [] {
                auto item = Homebrew::cleanupItem();
                return item ? std::vector<CleanupItem>{std::move(*item)} : std::vector<CleanupItem>{};
            },
    };
}

} // namespace tidra
