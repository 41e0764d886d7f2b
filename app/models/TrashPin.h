#pragma once

#include "cleanup/CleanupItem.h"
#include "cleanup/PinnedFolder.h"

#include <optional>
#include <string>
#include <vector>

// Emptying the Trash erases for good, so it erases only the entries that were measured and
// shown: what Tidra or anyone else put in the Trash after that stays recoverable, and so does
// anything put in the place of a measured entry or folder.
namespace tidra::TrashPin {

// The Trash as it was measured: its entries folder ("files") and its records folder ("info"),
// each with the identities of the folder and of its entries. A folder that could not be read
// pins nothing.
struct Pins {
  PinnedFolder files;
  PinnedFolder info;
  bool operator==(const Pins&) const = default;
};

// The Trash's entries folder when the item empties the home Trash (its "files" and "info"
// folders), else nothing.
std::optional<std::string> entriesFolder(const CleanupItem& item);
// The records folder ("info") beside an entries folder.
std::string recordsFolder(const std::string& entriesFolder);
// The entry names of the pinned Trash, in name order.
std::vector<std::string> names(const Pins& pins);
// The item narrowed to the named entries of its Trash: each entry and its ".trashinfo"
// record, removed whole, and each only while it and its folder are what `pins` holds. No
// names: an item that removes nothing.
CleanupItem narrowed(const CleanupItem& item, const std::vector<std::string>& names, const Pins& pins);

}  // namespace tidra::TrashPin
