#pragma once

#include "cleanup/CatalogBuilders.h"
#include "cleanup/CleanupCatalog.h"

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace tidra::test {

// The --home environment over `home`: its probes report nothing (no apps, simulators, npm files,
// root Yarn cache or tool items; Docker only at `home`/.docker/bin/docker).
CleanupEnvironment quietEnvironment(const std::string& home);

// A quiet environment whose app probes know only what a test tells them: the apps in
// `installed` (names, commands or identifiers, compared exactly), their display names, and the
// installed identifiers.
struct FakeMachine {
    std::set<std::string> installed;
    std::map<std::string, std::string> names;
    std::vector<std::string> installedIDs{"org.installed.thing"};

    CleanupEnvironment environment(const std::string& home) const;
};

// A fresh catalog builder over `env` that has already claimed `claimed`, after running `step`
// on it: its items in the order added and its claimed paths.
CleanupCatalog::Builder runStep(const std::function<void(CleanupCatalog::Builder&)>& step, CleanupEnvironment env,
                                std::vector<std::string> claimed = {});

// The kind of a catalog item's action, for tables of expected items.
enum class Kind { remove, removeContents, trash, other };
Kind kindOf(const CleanupAction& action);

// The ids of `items`, in order.
std::vector<std::string> idsOf(const std::vector<CleanupItem>& items);

} // namespace tidra::test
