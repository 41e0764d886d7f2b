#pragma once

#include <fts.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace tidra {

// One entry as the file walker hands it over: a view of the traversal's current record, valid
// only while the visitor runs.
struct WalkEntry {
    enum class Kind { file, directory, symlink, other, unreadableDirectory };

    Kind kind = Kind::other;
    const FTSENT* entry = nullptr;

    // The full path: the root as given, then "/" + name per level.
    std::string_view path() const;
    // The last component (the whole root path for the root itself).
    std::string_view name() const;
    bool isNamed(std::string_view text) const { return name() == text; }
    // 0 for the root.
    std::int64_t depth() const;
    // The status fields below describe the entry itself (links are not followed); they may be
    // 0 for an unreadableDirectory whose status could not be read either.
    // Blocks × 512.
    std::int64_t allocatedBytes() const;
    std::uint64_t inode() const;
    std::int64_t linkCount() const;
    // Whole seconds of the last modification.
    std::chrono::system_clock::time_point modified() const;
};

enum class WalkDecision {
    proceed,
    // On a directory: nothing below it is handed over. On other kinds: as proceed.
    skipDirectory,
    // Ends the walk at once.
    stop,
};

// The simple entry-by-entry walker over glibc's fts, for callers that want a decision per entry
// rather than a folder at a time.
namespace FileWalker {

using Visitor = std::function<WalkDecision(const WalkEntry&)>;

// Walks `root` (included) in pre-order and directory order, on the calling thread, never
// following a symbolic link and never descending below a mount point (the mount point itself
// is still handed over as a directory). A folder that cannot be listed is handed over first as
// `directory` and then once more as `unreadableDirectory`. Post-order visits, cycles and
// entries whose status cannot be read are passed over. A root that does not exist yields nothing.
void walk(const std::string& root, const Visitor& visit);

} // namespace FileWalker
} // namespace tidra
