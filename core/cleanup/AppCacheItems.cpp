#include "cleanup/CatalogBuilders.h"
#include "cleanup/ModelWeights.h"

#include "platform/FileAccess.h"
#include "platform/FileStatus.h"
#include "platform/PathText.h"

#include <algorithm>
#include <map>
#include <set>

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

// Entries of ~/.cache that are no app's cache: file indexers' live databases, and Hugging
// Face's models, which take hours to download again.
const std::set<std::string>& notCaches() {
    static const std::set<std::string> names{"tracker", "tracker3", "huggingface"};
    return names;
}

// ~/.cache is the Linux form of Library/Caches (XDG Base Directory: $XDG_CACHE_HOME).
// Entries on another file system are mounts (the document portal's "doc", gvfs) that the
// cleaner would not cross anyway; an entry whose status cannot be read is left alone too.
std::vector<std::string> linuxCaches(const std::string& home) {
    const std::string folder = home + "/.cache";
    const auto own = sys::FileStatus::of(folder);
    auto caches = Builder::children(
        folder, [](const std::string& name) { return isAppCache(name) && !notCaches().contains(name); });
    std::erase_if(caches, [&](const std::string& path) {
        const auto status = sys::FileStatus::of(path);
        return !own || !status || status->device != own->device;
    });
    return caches;
}

// The caches of sandboxed apps, by app: a Flatpak's XDG_CACHE_HOME is ~/.var/app/<id>/cache
// (flatpak-run(1)), a snap's is ~/snap/<name>/common/.cache (its SNAP_USER_COMMON, snapcraft's
// environment variables page).
void addSandboxCaches(const std::string& home, std::map<std::string, std::vector<std::string>>& byName) {
    for (const auto& app : Builder::children(home + "/.var/app"))
        byName[std::string(sys::PathText::lastComponent(app))].push_back(app + "/cache");
    for (const auto& snap : Builder::children(home + "/snap"))
        byName[std::string(sys::PathText::lastComponent(snap))].push_back(snap + "/common/.cache");
}

// Electron apps keep Chromium's caches in their user-data folder, ~/.config/<App> on Linux
// (Electron's app.getPath("userData") and "sessionData" docs): the HTTP cache, V8's compiled
// code and the GPU shader cache. Chromium rebuilds all three.
void addElectronCaches(const std::string& home, std::map<std::string, std::vector<std::string>>& byName) {
    const std::string folder = home + "/.config";
    const auto own = sys::FileStatus::of(folder);
    for (const auto& app : Builder::children(folder, isAppCache)) {
        const auto status = sys::FileStatus::of(app);
        if (!own || !status || status->device != own->device) continue;
        for (const char* cache : {"Cache", "Code Cache", "GPUCache"})
            if (sys::entryExists(app + "/" + cache))
                byName[std::string(sys::PathText::lastComponent(app))].push_back(app + "/" + cache);
    }
}

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

// A cache is rebuilt as needed, unless it holds model checkpoints (whisper, diffusers and
// the like keep theirs under ~/.cache): those take long to download again, so they are
// reviewed, as the PyTorch downloads are. Told by content, as names cannot list every tool.
Builder::Entry cacheEntry(const std::string& name, const std::string& appName, const std::vector<std::string>& parts) {
    if (ModelWeights::heldIn(parts))
        return {"cache." + name, appName + " cache", CleanupCategory::apps,
                "Models download again the next time a program loads them, which can take hours.", Safety::review,
                5'000'000};
    return {"cache." + name, appName + " cache", CleanupCategory::apps, "The app rebuilds it as needed.", Safety::safe,
            5'000'000};
}

} // namespace

// Every application cache no earlier item covers, titled with the app's name where it is
// known, then the logs. An app's caches in several places are one item.
void appCaches(Builder& b) {
    std::map<std::string, std::vector<std::string>> byName;
    for (auto& folder : Builder::children(b.env.home + "/Library/Caches", isAppCache))
        byName[std::string(sys::PathText::lastComponent(folder))].push_back(std::move(folder));
    for (auto& folder : linuxCaches(b.env.home))
        byName[std::string(sys::PathText::lastComponent(folder))].push_back(std::move(folder));
    addSandboxCaches(b.env.home, byName);
    addElectronCaches(b.env.home, byName);
    for (const auto& [name, folders] : byName) {
        std::vector<std::string> parts;
        for (const auto& folder : folders) {
            auto more = unclaimedParts(b, folder);
            parts.insert(parts.end(), more.begin(), more.end());
        }
        const auto appName = b.env.appName ? b.env.appName(name) : std::nullopt;
        b.add(cacheEntry(name, appName.value_or(name), parts), PathAction::remove, parts);
    }
    addLogs(b);
}

} // namespace tidra::CleanupCatalog
