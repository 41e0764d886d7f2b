#pragma once

#include "fs/SizeResult.h"

#include <functional>
#include <string>
#include <vector>

// Measures the disk space a list of paths takes.
namespace tidra::SizeScanner {

// Measures `paths` in the given order and adds them up:
// - Space is allocated bytes (blocks × 512): what removing the paths would free. A hard-linked
//   file counts once per call, and only when every one of its links lies among the paths; one
//   with a link elsewhere goes to `sharedBytes` instead, as its data stays. Identity is
//   (device, inode), so equal inode numbers on two volumes are two files.
// - A path that is not a folder (a symbolic link is measured as the link itself) counts as one
//   file. A folder counts every regular file below it, on its own volume only; symbolic links
//   and other special entries below it add their own allocated bytes but are not files and are
//   not followed; folders' own blocks are never counted.
// - A path that does not exist adds nothing. Each folder that cannot be read adds 1 to
//   `unreadableDirectories`.
// - `isCancelled` is asked at every 256th folder of each path; once it answers true the walk
//   ends, later paths are passed over, and what was counted so far is returned in the normal
//   form, with nothing to mark it as cancelled. It may be called from a worker thread.
// Large folders are walked on oneTBB's pool; the result equals a walk on one thread.
SizeResult measure(const std::vector<std::string>& paths, const std::function<bool()>& isCancelled);

} // namespace tidra::SizeScanner
