#pragma once

#include "cleanup/CleanupItem.h"

#include <optional>
#include <string>
#include <vector>

// Emptying the Trash erases for good, so it erases only the entries that were measured and
// shown: what Tidra or anyone else put in the Trash after that stays recoverable.
namespace tidra::TrashPin {

// The Trash's entries folder when the item empties the home Trash (its "files" and "info"
// folders), else nothing.
std::optional<std::string> entriesFolder(const CleanupItem& item);
// The item narrowed to the named entries of its Trash: each entry and its ".trashinfo"
// record, removed whole. No names: an item that removes nothing.
CleanupItem narrowed(const CleanupItem& item, const std::vector<std::string>& names);

}  // namespace tidra::TrashPin
