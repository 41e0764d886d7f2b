#include "support/CatalogFixture.h"

namespace tidra::test {

CleanupEnvironment quietEnvironment(const std::string& home) {
    return CleanupEnvironment{
        .home = home,
        .isAppInstalled = [](const auto&, const auto&) { return false; },
        .appName = [](const std::string&) { return std::optional<std::string>(); },
        .installedBundleIDs = [] { return std::vector<std::string>{}; },
        .simulators = [] { return std::vector<SimulatorDevice>{}; },
        .globalNpmConfigFiles = {},
        .rootYarnCache = std::nullopt,
        .docker = [] { return DockerStatus{DockerStatus::NotInstalled{}}; },
        .toolItems = [] { return std::vector<CleanupItem>{}; },
    };
}

CleanupCatalog::Builder runStep(const std::function<void(CleanupCatalog::Builder&)>& step, CleanupEnvironment env) {
    CleanupCatalog::Builder builder{std::move(env), {}, {}};
    step(builder);
    return builder;
}

std::vector<std::string> idsOf(const std::vector<CleanupItem>& items) {
    std::vector<std::string> ids;
    for (const auto& item : items) ids.push_back(item.id);
    return ids;
}

} // namespace tidra::test
