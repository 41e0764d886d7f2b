#pragma once

#include "fs/BulkEntry.h"
#include "fs/BulkFolder.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

// The fast walker every size and file search rests on. Each folder is listed whole with
// getdents64 into reused 64 KiB buffers and handed to the visitor as one BulkFolder; the
// visitor prunes subfolders through `skipped` or ends the walk. Per-entry status calls are made
// only for the fields a caller asks for.
namespace tidra::BulkWalker {

// What a walk fills in each entry besides its kind and name. Asking for any of the first four
// costs one statx per non-folder entry (one in all, whatever the combination); a walk that asks
// for none makes no status call at all, except for the rare entry whose kind the file system
// does not list.
namespace Field {
inline constexpr unsigned identity = 1u << 0;        // device and fileID from the entry's status
inline constexpr unsigned linkCount = 1u << 1;
inline constexpr unsigned allocatedBytes = 1u << 2;
inline constexpr unsigned modified = 1u << 3;
// Also read the status of directory entries (identity and modified; their linkCount and
// allocatedBytes stay 0). Without it directory entries carry only kind, name and fileID.
inline constexpr unsigned folders = 1u << 4;
inline constexpr unsigned none = 0;
inline constexpr unsigned allFiles = identity | linkCount | allocatedBytes | modified;
} // namespace Field
using Fields = unsigned;

// Answers false to end the whole walk at once. May change the folder's `skipped` (and
// `entries`); the walk descends into every directory entry left unskipped.
using Visitor = std::function<bool(BulkFolder&)>;
// Receives the path of a folder that cannot be read. May be empty.
using Unreadable = std::function<void(const std::string&)>;

// Walks the tree below `root`, depth-first, on the calling thread:
// - Nothing happens unless `root` itself, read without following a link, is a directory: a
//   missing root, a file or a symbolic link to a folder yields no visit and no report.
// - Folders are visited in pre-order, a folder before everything below it, subfolders in
//   listing order (the first subfolder and all below it before the second). Deep trees need
//   no recursion.
// - Symbolic links are never followed. The walk stays on one volume: `volume` when given (so a
//   caller can continue a walk it split off below another root; a root on another device then
//   yields nothing), else the root's own. Mount points are neither visited nor reported.
// - A folder that cannot be opened, whose first listing read fails, or whose entries may not
//   be searched for the status asked for, goes to `unreadable` once and is not visited; its
//   siblings are still walked. A folder whose listing fails after the first read is dropped
//   without a report; an entry that vanished between listing and status is left out.
// - Child paths are built from the path the walk handed in, never one the visitor changed.
// Each walk owns its buffers, so any number of walks may run in parallel on different threads.
void walk(const std::string& root, const Visitor& visit, const Unreadable& unreadable,
          Fields fields = Field::allFiles, std::optional<std::uint64_t> volume = std::nullopt);

} // namespace tidra::BulkWalker
