#pragma once

#include <cstdint>
#include <optional>

// Tells copy-on-write copies apart on Linux, where no file system reports a clone id. Two
// files that share data (reflinks, `cp --reflink`, clone-based package imports) point at the
// same physical extents, so the physical address of a file's first extent names the data it
// shares. Only btrfs and XFS share extents between files; everywhere else this costs nothing.
namespace tidra::sys::CloneKeys {

// Files smaller than this are never asked about: the call would cost more than their share.
inline constexpr std::int64_t smallestShared = 16384;

// Whether the file system holding the open descriptor can share extents between files
// (btrfs or XFS). One fstatfs; false when it cannot be read. Ask once per volume walked.
bool volumeCanShare(int descriptor);

// The physical byte address of the first extent of the regular file `name` in the open folder
// `folder`, when that extent is flagged shared and has a real address (not unknown, delayed,
// encoded, unaligned or inline). Nothing when it is not shared, the file cannot be opened for
// reading, is empty, or the file system does not answer FS_IOC_FIEMAP. The file is opened
// without following a link. Safe from any thread.
std::optional<std::uint64_t> sharedExtent(int folder, const char* name);

} // namespace tidra::sys::CloneKeys
