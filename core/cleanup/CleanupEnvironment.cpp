#include "cleanup/CleanupEnvironment.h"

#include "apps/AppPresence.h"
#include "cleanup/Homebrew.h"
#include "platform/HomeFolder.h"
#include "platform/SearchPath.h"

#include <memory>

namespace tidra {
namespace {

// The home, the installed-app questions and PATH; the caller fills in its own tool places.
CleanupEnvironment withApps(const std::string& home, AppPlaces places) {
    auto apps = std::make_shared<AppPresence>(std::move(places));
    CleanupEnvironment environment;
    environment.home = home;
    environment.isAppInstalled = [apps](const std::vector<std::string>& names, const std::vector<std::string>& ids) {
        return apps->isInstalled(names, ids);
    };
    environment.appName = [apps](const std::string& id) { return apps->name(id); };
    environment.installedBundleIDs = [apps] { return apps->installedIDs(); };
    environment.searchPath = sys::SearchPath::folders(sys::SearchPath::current());
    return environment;
}

} // namespace

CleanupEnvironment CleanupEnvironment::live() {
    const std::string home = sys::homeFolder();
    auto environment = withApps(home, AppPlaces::live(home));
    environment.simulators = [] { return Simulators::list(); };
    // npm reads $PREFIX/etc/npmrc (npmrc(5)): the two designed prefixes, then Debian's
    // npm, which sets its global file to /etc/npmrc, and a /usr prefix.
    environment.globalNpmConfigFiles = {"/opt/homebrew/etc/npmrc", "/usr/local/etc/npmrc", "/etc/npmrc", "/usr/etc/npmrc"};
    // Yarn 1 run as root takes /usr/local/share as its home (src/util/user-home-dir.js)
    // and puts the cache below it as on any other home: the designed place, then the
    // Linux one (src/constants.js, getCacheDir).
    environment.rootYarnCaches = {"/usr/local/share/Library/Caches/Yarn", "/usr/local/share/.cache/yarn"};
    environment.docker = [home] { return Docker::status(Docker::cliCandidates(home)); };
    environment.toolItems = [home] {
        auto item = Homebrew::cleanupItem(Homebrew::toolLocations(home));
        return item ? std::vector<CleanupItem>{std::move(*item)} : std::vector<CleanupItem>{};
    };
    return environment;
}

CleanupEnvironment CleanupEnvironment::forHome(const std::string& home) { return forHome(home, AppPlaces::forHome(home)); }

CleanupEnvironment CleanupEnvironment::forHome(const std::string& home, AppPlaces places) {
    auto environment = withApps(home, std::move(places));
    environment.simulators = [] { return std::vector<SimulatorDevice>{}; };
    environment.docker = [home] { return Docker::status({home + "/.docker/bin/docker"}); };
    environment.toolItems = [] { return std::vector<CleanupItem>{}; };
    return environment;
}

} // namespace tidra
