#pragma once

#include "files/CloneID.h"
#include "files/DuplicateGroup.h"
#include "files/KeeperOrder.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <variant>
#include <vector>

// Finds sets of byte-identical files in the user's folders. Files of equal length are told
// apart by their first 4 KiB, large ones then by head and tail (64 KiB each), and the files
// that still match are read whole, side by side: each set found carries the SHA-256 of its
// content.
namespace tidra::DuplicateFinder {

// The folders are being listed; file entries seen so far.
struct Looking {
    std::int64_t files = 0;
    bool operator==(const Looking&) const = default;
};
// Files of equal length are being told apart by their first block: files done so far, of all
// files in sets of equal length.
struct Comparing {
    std::int64_t done = 0;
    std::int64_t of = 0;
    bool operator==(const Comparing&) const = default;
};
// Files that still match are being read whole: bytes read so far, of all to read. Without it
// two multi-gigabyte files would show no movement for minutes.
struct Confirming {
    std::int64_t bytesDone = 0;
    std::int64_t bytesOf = 0;
    bool operator==(const Confirming&) const = default;
};
using Stage = std::variant<Looking, Comparing, Confirming>;

// Called from worker threads, several at a time, and possibly out of order (a report of 32
// may follow one of 48).
using Progress = std::function<void(const Stage&)>;
// Asked from worker threads, several at a time.
using IsCancelled = std::function<bool()>;
// Receives the path of each folder the listing could not read, on the calling thread.
using Unreadable = std::function<void(const std::string& folder)>;

// The eight folders home + "/" + name for Desktop, Documents, Downloads, Pictures, Movies,
// Videos, Music and Public, in this order, whether or not they exist.
std::vector<std::string> defaultRoots(const std::string& home);

// The sets of identical files among the files UserFiles::list gives for `roots` and
// `minimumBytes` (allocated size; clamped to at least 1 so that empty files never match):
// - Files are matched by logical length first; nothing is read before. A file that cannot be
//   opened or read takes part in no group. Hard links to one file are listed once and never
//   match each other.
// - Each group's files are in keeper order (keeperFirst, with `home`), the groups in
//   orderGroups order. Group files carry their own identity as clone id unless `cloneKeys`
//   (asked only for files of a group, never during the walk) names shared copy-on-write
//   data; by default the file system is asked (btrfs and XFS reflinks).
// - Stages run Looking, then Comparing, then Confirming, each rising; a search that finds no
//   two files of equal length reports no Comparing.
// - Cancellation right after the listing gives an empty list; later, reading stops within one
//   1 MiB chunk, and every group whose files were all compared is returned, ordered.
// - The listing keeps each file's name and identity only (about 32 bytes a file besides its
//   name); a grouped file's space, times and link count are read when its group is made, and
//   a file gone by then leaves its group.
// - Read buffers belong to the call and are sized to the files; nothing the search allocated
//   stays allocated once it returns.
std::vector<DuplicateGroup> find(const std::vector<std::string>& roots, std::int64_t minimumBytes,
                                 const std::string& home, const Progress& progress = nullptr,
                                 const IsCancelled& isCancelled = nullptr,
                                 const CloneKeyProvider& cloneKeys = sharedDataKey,
                                 const Unreadable& unreadable = nullptr);

// Called after each whole-file chunk with its byte count; false stops the read.
using ChunkRead = std::function<bool(std::int64_t bytes)>;

// The SHA-256 of the file at `path` as 64 lower-case hexadecimal digits, or nothing when it
// cannot be opened or read, or `chunkRead` stopped it. With `partial` and a `size` of 131,073
// or more, only the first and the last 65,536 bytes of `size` are digested (never
// overlapping); otherwise the whole current content, in 1 MiB reads.
std::optional<std::string> digest(const std::string& path, std::int64_t size, bool partial,
                                  const ChunkRead& chunkRead = nullptr);

} // namespace tidra::DuplicateFinder
