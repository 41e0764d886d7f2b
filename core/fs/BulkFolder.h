#pragma once

#include "fs/BulkEntry.h"

#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace tidra {

// One folder as the bulk walker hands it to the visitor, with all its entries read.
struct BulkFolder {
    // The folder's path as the walk built it: the root as given, then "/" + name per level
    // (a root given with a trailing "/" yields children with "//"; nothing is normalised).
    std::string path;
    // 0 for the root.
    std::int64_t depth = 0;
    // In the order the file system listed them; "." and ".." are never among them.
    std::vector<BulkEntry> entries;
    // Indexes into `entries` of subfolders the walk must not enter. Empty when handed over;
    // the visitor fills it.
    std::set<std::int64_t> skipped;
    // The open folder, owned by the walker and valid only while the visitor runs: lets a
    // visitor reach entries with openat/statx without building their paths.
    int descriptor = -1;

    // `path` + "/" + the entry's name.
    std::string pathOf(const BulkEntry& entry) const { return childPath(path, entry); }
    // `folder` + "/" + the entry's name.
    static std::string childPath(std::string_view folder, const BulkEntry& entry);
    // Whether an entry of exactly this name, of any kind, is in the folder.
    bool contains(std::string_view name) const;
};

} // namespace tidra
