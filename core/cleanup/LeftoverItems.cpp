#include "cleanup/CatalogBuilders.h"
#include "cleanup/Editors.h"

namespace tidra::CleanupCatalog {

// An editor's folders are offered only when the environment is sure the editor is gone: it is
// asked by name, by command and by identifier, and answers "installed" when it cannot tell.
void leftovers(Builder& b) {
    for (const auto& editor : editors()) {
        if (!b.env.isAppInstalled || b.env.isAppInstalled({editor.name, editor.command}, editor.bundleIDs)) continue;
        std::vector<std::string> candidates;
        for (const auto& folder : editor.folders) candidates.push_back(b.env.home + "/" + folder);
        b.add({"leftover." + editor.name, editor.name + " extensions and settings", CleanupCategory::leftovers,
               editor.name + " is not installed. Reinstalling it later starts with a clean slate.", Safety::review},
              Builder::PathAction::remove, candidates);
    }
}

} // namespace tidra::CleanupCatalog
