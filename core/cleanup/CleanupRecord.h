#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace tidra {

// A file or folder as it lies in the Trash: a move there keeps the inode, so the entry is
// recognised there later whatever name the Trash gave it.
struct TrashedFile {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;

    bool operator==(const TrashedFile&) const = default;
    bool operator<(const TrashedFile& other) const {
        return device != other.device ? device < other.device : inode < other.inode;
    }
};

// One entry of the cleanup history: what one removal freed. Identified by its date.
//
// `freedBytes` says what this removal did, as its own line shows it. The total freed with
// Tidra counts each byte once: a move to the Trash counts when it is made, so erasing those
// same entries later adds nothing (`recountedBytes`).
struct CleanupRecord {
    // When the removal finished; the history file keeps whole seconds.
    std::chrono::system_clock::time_point date;
    // What removed it, as the caller names it ("Cleanup", "Automatic", "Duplicates", ...).
    std::string source;
    std::int64_t freedBytes = 0;
    // Titles of what was removed. May come from file names, so need not be valid UTF-8.
    std::vector<std::string> items;
    // Paths whose removal failed.
    std::int64_t failures = 0;
    // The part of freedBytes moved to the Trash rather than erased.
    std::int64_t trashedBytes = 0;
    // The part of freedBytes that erased Trash entries an earlier record had moved there.
    std::int64_t recountedBytes = 0;
    // The entries this removal moved into the Trash.
    std::vector<TrashedFile> trashedFiles{};
    // Names the removal while it runs: it is recorded as each of its items finishes, and each
    // record replaces the one before with the same run. Empty for a removal recorded once.
    std::string run{};

    bool operator==(const CleanupRecord&) const = default;
};

} // namespace tidra
