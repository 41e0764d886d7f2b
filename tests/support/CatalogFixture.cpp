#include "support/CatalogFixture.h"

namespace tidra::test {

CleanupEnvironment quietEnvironment(const std::string& home) {
    // The machine's own apps stay out of the fixtures.
    auto env = CleanupEnvironment::forHome(home, AppPlaces{});
    env.isAppInstalled = [](const std::vector<std::string>&, const std::vector<std::string>&) { return false; };
    return env;
}

CleanupEnvironment FakeMachine::environment(const std::string& home) const {
    CleanupEnvironment env = quietEnvironment(home);
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
    return env;
}

CleanupCatalog::Builder runStep(const std::function<void(CleanupCatalog::Builder&)>& step, CleanupEnvironment env,
                                std::vector<std::string> claimed) {
    CleanupCatalog::Builder builder{std::move(env), {}, std::move(claimed)};
    step(builder);
    return builder;
}

Kind kindOf(const CleanupAction& action) {
    if (std::holds_alternative<CleanupAction::Delete>(action.value)) return Kind::remove;
    if (std::holds_alternative<CleanupAction::DeleteContents>(action.value)) return Kind::removeContents;
    if (std::holds_alternative<CleanupAction::Trash>(action.value)) return Kind::trash;
    return Kind::other;
}

std::vector<std::string> idsOf(const std::vector<CleanupItem>& items) {
    std::vector<std::string> ids;
    for (const auto& item : items) ids.push_back(item.id);
    return ids;
}

} // namespace tidra::test
