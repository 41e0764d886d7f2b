#pragma once

#include "apps/AppPresence.h"
#include "cleanup/CleanupItem.h"
#include "cleanup/Docker.h"
#include "cleanup/Simulators.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tidra {

// The home folder one catalog build works on and the probes it asks about the machine.
// Probes may be called from any thread and capture only immutable values; tests and the
// --home option replace them.
struct CleanupEnvironment {
    // Absolute, without a trailing "/".
    std::string home;
    // (application names without ".app" or the commands that start them, bundle identifiers):
    // true when any is installed. The live probe answers true when it cannot tell, so that
    // nothing of an installed app passes as a leftover.
    std::function<bool(const std::vector<std::string>&, const std::vector<std::string>&)> isAppInstalled;
    // Display name of the installed application with this identifier, or nothing.
    std::function<std::optional<std::string>(const std::string&)> appName;
    // Identifiers of the installed applications (bundles, desktop entries, Flatpaks).
    std::function<std::vector<std::string>()> installedBundleIDs;
    std::function<std::vector<SimulatorDevice>()> simulators;
    // Machine-wide npm configuration files, consulted after the user's own.
    std::vector<std::string> globalNpmConfigFiles;
    // Where a Yarn run as root may have left its cache outside the home folder.
    std::vector<std::string> rootYarnCaches;
    // The folders of PATH, in order. A folder one of them lies in is an SDK or toolchain in
    // use, never offered.
    std::vector<std::string> searchPath;
    // Asked by the cleanup scan itself, beside the catalog; no builder calls these two.
    std::function<DockerStatus()> docker;
    std::function<std::vector<CleanupItem>()> toolItems;

    // The real probes over the user's home folder ($HOME, else the password database), read
    // anew on every call. Nothing runs until a probe is called.
    static CleanupEnvironment live();

    // The environment of the --home option: `home` and a Docker probe that tries only
    // `home`/.docker/bin/docker. The app probes ask what is installed at `places` (by default
    // the system's places and `home`'s own): an app the system installed is installed for
    // every home, so nothing of it is a leftover there. The simulator, npm file, root Yarn
    // cache and tool lists are empty; PATH is this process's, as for the live environment.
    static CleanupEnvironment forHome(const std::string& home);
    static CleanupEnvironment forHome(const std::string& home, AppPlaces places);
};

} // namespace tidra
