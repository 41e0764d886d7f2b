#include "cleanup/CatalogBuilders.h"

#include "platform/FileAccess.h"
#include "system/PrivacyAccess.h"

namespace tidra::CleanupCatalog {

// The home Trash of the freedesktop layout: emptying it clears the trashed entries and their
// records, and leaves the two folders in place.
void trash(Builder& b) {
    if (!PrivacyAccess::hasFullDiskAccess(b.env.home)) return;
    const std::string folder = b.env.home + "/.local/share/Trash";
    if (!sys::folderEntries(folder)) return;
    b.add({"trash", "Everything in the Trash", CleanupCategory::trash, "Erased for good. It can no longer be put back.",
           Safety::review},
          Builder::PathAction::removeContents, {folder + "/files", folder + "/info"});
}

} // namespace tidra::CleanupCatalog
