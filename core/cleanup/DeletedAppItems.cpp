#include "cleanup/CatalogBuilders.h"
#include "cleanup/Editors.h"

#include "apps/AppFootprint.h"
#include "platform/PathText.h"
#include "system/PrivacyAccess.h"

#include <algorithm>
#include <map>
#include <set>

namespace tidra::CleanupCatalog {
namespace {

// A Library folder whose entries are named after bundle identifiers.
struct ScannedFolder {
    const char* folder;
    const char* ending;
    bool needsFullAccess;
};

const std::vector<ScannedFolder>& scannedFolders() {
    static const std::vector<ScannedFolder> folders{
        {"Library/Saved Application State", ".savedState", false},
        {"Library/HTTPStorages", ".binarycookies", false},
        {"Library/WebKit", "", false},
        {"Library/Containers", "", true},
        // Where a Flatpak that is no longer installed leaves its data (flatpak-run(1)).
        {".var/app", "", false},
    };
    return folders;
}

std::string lowered(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    return text;
}

// The first three pieces: a helper's or an extension's entry names its app.
std::string appIdentifier(const std::string& name) {
    std::string out;
    int count = 0;
    std::size_t start = 0;
    while (start <= name.size() && count < 3) {
        const auto dot = std::min(name.find('.', start), name.size());
        if (dot > start) out.append(count++ ? "." : "").append(name, start, dot - start);
        start = dot + 1;
    }
    return out;
}

// What may never be offered as a deleted app: installed apps and their families, everything
// of an installed app's vendor, the system's own, the known editors.
struct Exclusions {
    std::vector<std::string> installed;
    std::set<std::string> vendors;
    std::vector<std::string> editorIDs;

    bool exclude(const std::string& name) const {
        const auto lower = lowered(name);
        return lower.starts_with("com.apple.") || lower.starts_with("group.") || lower.starts_with("systemgroup.") ||
               vendors.contains(AppFootprint::vendor(name)) || isTaken(lower, installed) || isTaken(lower, editorIDs);
    }
};

Exclusions exclusionsFor(const std::vector<std::string>& installedIDs) {
    Exclusions e;
    for (const auto& id : installedIDs) {
        e.installed.push_back(lowered(id));
        e.vendors.insert(AppFootprint::vendor(id));
    }
    for (const auto& editor : editors())
        for (const auto& id : editor.bundleIDs) e.editorIDs.push_back(lowered(id));
    return e;
}

// Candidate identifiers in ascending order, each in the letter case first met.
std::vector<std::string> candidates(const std::string& home, bool fullAccess, const Exclusions& exclusions) {
    std::map<std::string, std::string> byLower;
    for (const auto& row : scannedFolders()) {
        if (row.needsFullAccess && !fullAccess) continue;
        for (const auto& path : Builder::children(home + "/" + row.folder)) {
            std::string name(sys::PathText::lastComponent(path));
            if (*row.ending && name.ends_with(row.ending)) name.resize(name.size() - std::string_view(row.ending).size());
            if (!AppFootprint::looksLikeBundleID(name) || exclusions.exclude(name)) continue;
            const auto id = appIdentifier(name);
            byLower.try_emplace(lowered(id), id);
        }
    }
    std::vector<std::string> ids;
    for (const auto& [lower, id] : byLower) ids.push_back(id);
    std::sort(ids.begin(), ids.end());
    return ids;
}

} // namespace

// Traces of apps that are gone, found by the identifiers that name Library entries. Caches
// are left to the app-caches builder, and what an earlier item covers is not offered again.
void deletedApps(Builder& b) {
    const auto installed = b.env.installedBundleIDs ? b.env.installedBundleIDs() : std::vector<std::string>{};
    // Without the installed apps every app's files would look like leftovers.
    if (installed.empty()) return;
    const bool fullAccess = PrivacyAccess::hasFullDiskAccess(b.env.home);
    const std::string caches = b.env.home + "/Library/Caches";
    for (const auto& id : candidates(b.env.home, fullAccess, exclusionsFor(installed))) {
        if (!b.env.isAppInstalled || b.env.isAppInstalled({}, {id})) continue;
        std::vector<std::string> paths;
        for (auto& path : AppFootprint::paths(id, std::nullopt, b.env.home, fullAccess, {}))
            if (path != caches && !path.starts_with(caches + "/") && !b.isClaimed(path)) paths.push_back(std::move(path));
        b.add({"leftover.app." + id, AppFootprint::guessedName(id) + " settings and data", CleanupCategory::leftovers,
               id + " is not installed. Reinstalling it later starts with a clean slate.", Safety::review,
               1'000'000},
              Builder::PathAction::trash, paths);
    }
}

} // namespace tidra::CleanupCatalog
