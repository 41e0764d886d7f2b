#include "cleanup/CleanupEnvironment.h"

#include "apps/AppPresence.h"
#include "cleanup/Homebrew.h"
#include "platform/HomeFolder.h"
#include "platform/SearchPath.h"

#include <memory>

namespace tidra {
namespace {

std::vector<std::string> processSearchPath() { return sys::SearchPath::folders(sys::SearchPath::current()); }

} // namespace

CleanupEnvironment CleanupEnvironment::live() {
    const std::string home = sys::homeFolder();
    auto apps = std::make_shared<AppPresence>(AppPlaces::live(home));
    return CleanupEnvironment{
        .home = home,
        .isAppInstalled = [apps](const std::vector<std::string>& names,
                                 const std::vector<std::string>& ids) { return apps->isInstalled(names, ids); },
        .appName = [apps](const std::string& id) { return apps->name(id); },
        .installedBundleIDs = [apps] { return apps->installedIDs(); },
        .simulators = [] { return Simulators::list(); },
        // npm reads $PREFIX/etc/npmrc (npmrc(5)): the two designed prefixes, then Debian's
        // npm, which sets its global file to /etc/npmrc, and a /usr prefix.
        .globalNpmConfigFiles = {"/opt/homebrew/etc/npmrc", "/usr/local/etc/npmrc", "/etc/npmrc", "/usr/etc/npmrc"},
        // Yarn 1 run as root takes /usr/local/share as its home (src/util/user-home-dir.js)
        // and puts the cache below it as on any other home: the designed place, then the
        // Linux one (src/constants.js, getCacheDir).
        .rootYarnCaches = {"/usr/local/share/Library/Caches/Yarn", "/usr/local/share/.cache/yarn"},
        .searchPath = processSearchPath(),
        .docker = [home] { return Docker::status(Docker::cliCandidates(home)); },
        .toolItems =
            [home] {
                auto item = Homebrew::cleanupItem(Homebrew::toolLocations(home));
                return item ? std::vector<CleanupItem>{std::move(*item)} : std::vector<CleanupItem>{};
            },
    };
}

CleanupEnvironment CleanupEnvironment::forHome(const std::string& home) { return forHome(home, AppPlaces::forHome(home)); }

CleanupEnvironment CleanupEnvironment::forHome(const std::string& home, AppPlaces places) {
    auto apps = std::make_shared<AppPresence>(std::move(places));
    return CleanupEnvironment{
        .home = home,
        .isAppInstalled = [apps](const std::vector<std::string>& names,
                                 const std::vector<std::string>& ids) { return apps->isInstalled(names, ids); },
        .appName = [apps](const std::string& id) { return apps->name(id); },
        .installedBundleIDs = [apps] { return apps->installedIDs(); },
        .simulators = [] { return std::vector<SimulatorDevice>{}; },
        .globalNpmConfigFiles = {},
        .rootYarnCaches = {},
        .searchPath = processSearchPath(),
        .docker = [home] { return Docker::status({home + "/.docker/bin/docker"}); },
        .toolItems = [] { return std::vector<CleanupItem>{}; },
    };
}

} // namespace tidra
