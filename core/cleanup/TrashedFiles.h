#pragma once

#include "cleanup/CleanupRecord.h"

#include <optional>
#include <set>
#include <string>
#include <vector>

// Recognises in the Trash the entries Tidra moved there, so erasing them is not counted twice.
namespace tidra::TrashedFiles {

// The identity of the entry at `path` (the entry itself, links not followed); nothing when
// it cannot be read.
std::optional<TrashedFile> of(const std::string& path);

// Every entry the records say Tidra moved into the Trash.
std::set<TrashedFile> movedBy(const std::vector<CleanupRecord>& records);

// The names among `names` (entries of the Trash folder `folder`) that are among `moved`.
std::vector<std::string> ownNames(const std::string& folder, const std::vector<std::string>& names,
                                  const std::set<TrashedFile>& moved);

} // namespace tidra::TrashedFiles
