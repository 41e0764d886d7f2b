#include "cleanup/CleanupCatalog.h"

#include "cleanup/CatalogBuilders.h"
#include "platform/FileAccess.h"
#include "platform/PathText.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

namespace tidra::CleanupCatalog {
namespace {

bool needsAdmin(Builder::PathAction action, const std::vector<std::string>& paths) {
    switch (action) {
    case Builder::PathAction::removeContents:
        return !std::all_of(paths.begin(), paths.end(), sys::isWritable);
    case Builder::PathAction::remove:
        return !std::all_of(paths.begin(), paths.end(), sys::isDeletable);
    case Builder::PathAction::trash:
        break;
    }
    return false;
}

CleanupAction makeAction(Builder::PathAction action, std::vector<std::string> paths) {
    switch (action) {
    case Builder::PathAction::remove:
        return CleanupAction::Delete{std::move(paths)};
    case Builder::PathAction::removeContents:
        return CleanupAction::DeleteContents{std::move(paths)};
    case Builder::PathAction::trash:
        break;
    }
    return CleanupAction::Trash{std::move(paths)};
}

using sys::PathText::isAtOrInside;

} // namespace

bool Builder::isUsedByPath(const std::string& path, const std::vector<std::string>& programs) const {
    const auto real = sys::realPath(path);
    if (!real) return false;
    const auto inside = [&](const std::string& entry) {
        const auto realEntry = sys::realPath(entry);
        return realEntry && isAtOrInside(*realEntry, *real);
    };
    return std::any_of(env.searchPath.begin(), env.searchPath.end(), [&](const std::string& folder) {
        return inside(folder) ||
               std::any_of(programs.begin(), programs.end(), [&](const auto& name) { return inside(folder + "/" + name); });
    });
}

std::vector<std::string> Builder::existing(const std::vector<std::string>& candidates) {
    std::vector<std::string> kept;
    std::copy_if(candidates.begin(), candidates.end(), std::back_inserter(kept), sys::entryExists);
    return kept;
}

bool Builder::add(const Entry& entry, PathAction action, const std::vector<std::string>& candidates) {
    auto kept = existing(candidates);
    // Claimed all the same, so no later builder offers a part of it.
    for (const auto& path : kept)
        if (isUsedByPath(path)) claimed.push_back(path);
    std::erase_if(kept, [&](const std::string& path) { return isUsedByPath(path); });
    if (kept.empty()) return false;
    const bool requiresAdmin = needsAdmin(action, kept);
    claimed.insert(claimed.end(), kept.begin(), kept.end());
    items.push_back({entry.id, entry.title, entry.category, entry.consequence, entry.safety,
                     makeAction(action, std::move(kept)), requiresAdmin, entry.minimumBytesToShow, std::nullopt});
    return true;
}

bool Builder::isClaimed(const std::string& path) const {
    return std::any_of(claimed.begin(), claimed.end(), [&](const std::string& c) {
        return isAtOrInside(path, c);
    });
}

std::vector<std::string> Builder::children(const std::string& folder, const std::function<bool(const std::string&)>& keep) {
    auto names = sys::folderEntries(folder).value_or(std::vector<std::string>{});
    if (keep) std::erase_if(names, [&](const std::string& name) { return !keep(name); });
    std::sort(names.begin(), names.end());
    for (auto& name : names) name = folder + "/" + name;
    return names;
}

const std::map<std::string, std::string>& ideNames() {
    static const std::map<std::string, std::string> names{
        {"AndroidStudio", "Android Studio"}, {"IdeaIC", "IntelliJ IDEA CE"}, {"IntelliJIdea", "IntelliJ IDEA"},
        {"PyCharmCE", "PyCharm CE"},         {"PyCharm", "PyCharm"},         {"WebStorm", "WebStorm"},
        {"GoLand", "GoLand"},                {"CLion", "CLion"},             {"Rider", "Rider"},
        {"RubyMine", "RubyMine"},            {"DataGrip", "DataGrip"},       {"PhpStorm", "PhpStorm"},
        {"RustRover", "RustRover"},          {"Fleet", "Fleet"},
    };
    return names;
}

const std::set<std::string>& installerExtensions() {
    // Linux packages and installers too; not AppImage, which is usually the app itself.
    static const std::set<std::string> extensions{"dmg", "pkg", "xip", "iso", "deb", "rpm",
                                                  "snap", "flatpak", "flatpakref", "run"};
    return extensions;
}

bool isTaken(const std::string& id, const std::vector<std::string>& list) {
    return std::any_of(list.begin(), list.end(), [&](const std::string& e) {
        return id == e || (id.size() > e.size() && id.starts_with(e) && id[e.size()] == '.');
    });
}

const std::vector<Step>& builderOrder() {
    static const std::vector<Step> steps{xcode,       android,  javascript,   flutter,   developerTools,
                                         oldSettings, assistants, personalData, leftovers, deletedApps,
                                         downloads,   trash,    appCaches};
    return steps;
}

std::vector<CleanupItem> build(const CleanupEnvironment& env, const std::vector<Step>& steps) {
    Builder builder{env, {}, {}};
    for (const auto& step : steps) step(builder);
    std::stable_sort(builder.items.begin(), builder.items.end(), [](const CleanupItem& a, const CleanupItem& b) {
        return static_cast<int>(a.category) < static_cast<int>(b.category);
    });
    return std::move(builder.items);
}

std::vector<CleanupItem> items(const CleanupEnvironment& env) {
    return build(env, builderOrder());
}

} // namespace tidra::CleanupCatalog
