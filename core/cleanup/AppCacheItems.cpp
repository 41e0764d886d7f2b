#include "cleanup/CatalogBuilders.h"

#include "platform/PathText.h"

#include <algorithm>

namespace tidra::CleanupCatalog {
namespace {

using PathAction = Builder::PathAction;

bool holdsClaimed(const Builder& b, const std::string& folder) {
    return std::any_of(b.claimed.begin(), b.claimed.end(),
                       [&](const std::string& c) { return c.size() > folder.size() + 1 && c.starts_with(folder + "/"); });
}

// The parts of `path` no earlier item covers: the path itself when nothing inside it is
// claimed, else its unclaimed entries, split again where a claimed path lies deeper. Offering
// a folder that holds a claimed one would count those bytes twice and let one item delete
// what another leaves for review.
std::vector<std::string> unclaimedParts(const Builder& b, const std::string& path) {
    if (b.isClaimed(path)) return {};
    if (!holdsClaimed(b, path)) return {path};
    std::vector<std::string> parts;
    for (const auto& child : Builder::children(path)) {
        auto more = unclaimedParts(b, child);
        parts.insert(parts.end(), more.begin(), more.end());
    }
    return parts;
}

bool isAppCache(const std::string& name) { return !name.starts_with("com.apple.") && !name.starts_with('.'); }

void addLogs(Builder& b) {
    const std::string logs = b.env.home + "/Library/Logs";
    const Builder::Entry entry{"logs", "Logs", CleanupCategory::apps, "None. These are diagnostic logs.", Safety::safe};
    if (!b.isClaimed(logs) && !holdsClaimed(b, logs)) {
        b.add(entry, PathAction::removeContents, {logs});
        return;
    }
    std::vector<std::string> parts;
    for (const auto& child : Builder::children(logs)) {
        auto more = unclaimedParts(b, child);
        parts.insert(parts.end(), more.begin(), more.end());
    }
    b.add(entry, PathAction::remove, parts);
}

} // namespace

// Every application cache no earlier item covers, titled with the app's name where it is
// known, then the logs.
void appCaches(Builder& b) {
    for (const auto& folder : Builder::children(b.env.home + "/Library/Caches", isAppCache)) {
        const std::string name(sys::PathText::lastComponent(folder));
        const auto appName = b.env.appName ? b.env.appName(name) : std::nullopt;
        b.add({"cache." + name, appName.value_or(name) + " cache", CleanupCategory::apps, "The app rebuilds it as needed.",
               Safety::safe, 5'000'000},
              PathAction::remove, unclaimedParts(b, folder));
    }
    addLogs(b);
}

} // namespace tidra::CleanupCatalog
