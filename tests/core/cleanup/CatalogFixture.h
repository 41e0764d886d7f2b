#pragma once

#include "cleanup/CatalogBuilders.h"

#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace tidra::test {

// An environment over `home` whose probes know only what a test tells them: the apps in
// `installed` (names or identifiers, compared exactly), their display names, and the
// installed identifiers.
struct FakeMachine {
    std::set<std::string> installed;
    std::map<std::string, std::string> names;
    std::vector<std::string> installedIDs{"org.installed.thing"};

    CleanupEnvironment environment(const std::string& home) const {
        CleanupEnvironment env;
        env.home = home;
        env.isAppInstalled = [installed = installed](const std::vector<std::string>& appNames,
                                                     const std::vector<std::string>& ids) {
            for (const auto& list : {appNames, ids})
                for (const auto& x : list)
                    if (installed.contains(x)) return true;
            return false;
        };
        env.appName = [names = names](const std::string& id) -> std::optional<std::string> {
            const auto it = names.find(id);
            return it == names.end() ? std::nullopt : std::optional(it->second);
        };
        env.installedBundleIDs = [ids = installedIDs] { return ids; };
        env.simulators = [] { return std::vector<SimulatorDevice>{}; };
        return env;
    }
};

// Runs one builder on a fresh builder over `env`, after claiming `claimed`.
inline CleanupCatalog::Builder runBuilder(const std::function<void(CleanupCatalog::Builder&)>& step,
                                          CleanupEnvironment env, std::vector<std::string> claimed = {}) {
    CleanupCatalog::Builder b{std::move(env), {}, std::move(claimed)};
    step(b);
    return b;
}

inline std::vector<std::string> idsOf(const std::vector<CleanupItem>& items) {
    std::vector<std::string> ids;
    for (const auto& item : items) ids.push_back(item.id);
    return ids;
}

} // namespace tidra::test
