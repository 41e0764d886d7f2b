#pragma once

#include "fs/BulkEntry.h"
#include "fs/BulkFolder.h"
#include "projects/SpaceAccount.h"
#include "projects/SpaceOwner.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

// Measures folders ("owners") and records which of them hold each piece of shared data, so a
// selection's freed bytes count hard links, copy-on-write clones and package-store links
// exactly once, and never promise what something outside the selection keeps.
namespace tidra::SpaceAccounting {

// Owner number under which package stores are walked.
inline constexpr std::int32_t storeOwner = -1;

// A piece of one owner walked by one worker.
struct Unit {
    std::string path;
    std::int32_t owner = 0;
    std::set<std::string> excluding;
    // Only the files directly in `path`; no subfolder is entered.
    bool looseFilesOnly = false;

    bool operator==(const Unit&) const = default;
};

// Splits an owner so one large folder spreads over all workers: first a unit for the files
// directly in it, then one per subfolder in listing order (links, files and excluded folders
// get none). A folder that cannot be listed becomes a single whole unit (which then reads
// nothing when it is no directory).
std::vector<Unit> split(const SpaceOwner& owner, std::int32_t number);

// How copy-on-write copies are recognised. The defaults ask the file system (btrfs and XFS
// only); tests replace them to fake clones on any file system. Both may be called from several
// threads at once.
struct CloneKeys {
    // Whether files below the folder can share data at all; asked with the first folder of
    // each unit, whose volume the unit's walk never leaves.
    std::function<bool(const BulkFolder& folder)> volumeCanShare;
    // An id of the data `entry` shares with other files of its device, or nothing when it
    // shares none. Asked only for one-link files of at least 16,384 allocated bytes.
    std::function<std::optional<std::uint64_t>(const BulkFolder& folder, const BulkEntry& entry)> sharedData;

    static CloneKeys live();
};

// Receives the running count of directory entries read (owners and stores), in batches of
// more than 19,999 and once at the end of each unit; calls from several workers may arrive
// out of order.
using Progress = std::function<void(std::int64_t entries)>;
using IsCancelled = std::function<bool()>;

// Measures `owners` (owner number = position) against the package stores `caches`. Blocks
// until done. `apparent` and `sharedOutside` get one element per owner; a missing, unreadable
// or non-folder owner contributes nothing; unreadable subfolders are skipped; links are never
// followed and no walk leaves its folder's volume. A file whose data a store also holds counts
// in `sharedOutside` and never in `combinations`.
// On cancellation (asked before each unit and at each progress batch) the walks stop and the
// result, complete in form, covers what was read. Results do not depend on thread timing.
SpaceAccount measure(const std::vector<SpaceOwner>& owners, const std::vector<std::string>& caches,
                     const Progress& progress = {}, const IsCancelled& isCancelled = {},
                     const CloneKeys& clones = CloneKeys::live());

} // namespace tidra::SpaceAccounting
