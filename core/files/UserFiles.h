#pragma once

#include "files/CloneID.h"
#include "files/FileTable.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

// Lists the user's own documents for the duplicate and similar-photo searches, and tells how
// much deleting some of a set of files really gives back. Both run on the caller's thread and
// keep no state between calls.
namespace tidra::UserFiles {

struct File {
    // The folder's path as walked, "/", the name.
    std::string path;
    // Space allocated on disk.
    std::int64_t bytes = 0;
    // Logical length.
    std::int64_t length = 0;
    // The file's own identity (device, inode): the walk reports no clones.
    CloneID cloneID;
    std::chrono::system_clock::time_point modified;
    // Birth time, or the modification time where the file system keeps none.
    std::chrono::system_clock::time_point created;
    // Names the file has on disk. Only one is listed, so with more the others lie outside the
    // listing and keep the data when this name goes.
    std::int64_t links = 1;

    bool operator==(const File&) const = default;
};

// Called with a file's name (not its path); false leaves the file out.
using Accept = std::function<bool(std::string_view name)>;
// Called with the number of file entries seen so far.
using Progress = std::function<void(std::int64_t files)>;
using IsCancelled = std::function<bool()>;
// Receives the path of each folder that could not be read.
using Unreadable = std::function<void(const std::string& folder)>;

// The regular files under `roots`, in walk order (roots in the given order, each depth-first,
// siblings in listing order):
// - A root that is not a directory (a symbolic link to one included) is passed over. No
//   symbolic link is followed and no walk leaves its root's volume. Files that vanish before
//   their status is read are silently missing; each folder that cannot be opened or listed (a
//   path over the system's limit among them) goes to `unreadable` once.
// - Left out: files whose allocated bytes are below `minimumBytes` (equal is listed), names
//   starting with ".", names `accept` refuses (asked only after the size and name tests), and
//   every further name of a multiply-linked file already listed, by (device, inode).
// - Not entered: a folder holding ".git" (it and everything below contribute nothing), folders
//   whose names start with ".", the build and package folders of a project (an artifact
//   folder name next to one of its markers), "node_modules", "Pods", "venv", "__pycache__",
//   "Media.localized", and application or library packages by extension (".app", ".bundle",
//   ".photoslibrary" and the like, compared lower-cased).
// - `progress` is called after a folder once 2,048 further file entries were seen (every file
//   entry counts, listed or not), and once at the end with the final count.
// - `isCancelled` is asked after every folder outside a git working copy; true ends the walk
//   of the current root only, and what was listed so far is returned.
// Empty callbacks mean: accept every name, report nothing, never cancelled.
std::vector<File> list(const std::vector<std::string>& roots, std::int64_t minimumBytes,
                       const Accept& accept = nullptr, const Progress& progress = nullptr,
                       const IsCancelled& isCancelled = nullptr, const Unreadable& unreadable = nullptr);

// Whether a table keeps each file's space, times and link count.
enum class Details { kept, leftOut };

// The files `list` gives, in the same order, as a compact table: for searches that keep only
// a few of them past a first look, and may read the details of those few again themselves.
FileTable table(const std::vector<std::string>& roots, std::int64_t minimumBytes, const Accept& accept = nullptr,
                const Progress& progress = nullptr, const IsCancelled& isCancelled = nullptr,
                const Unreadable& unreadable = nullptr, Details details = Details::kept);

// File `index` of `table` as `list` gives it (without details when the table left them out).
File fileOf(const FileTable& table, std::size_t index);

// The regular file at `path` with its details as they are now, as `list` would give it;
// nothing when it is gone or no longer a regular file.
std::optional<File> fileAt(const std::string& path);

// One file of a set as `freed` sees it.
struct Entry {
    std::string path;
    std::int64_t bytes = 0;
    CloneID cloneID;
};

// The bytes that deleting the entries whose path is in `removing` gives back while the other
// entries stay: data still used by a kept entry (same clone id) counts nothing, and data
// shared by several removed entries counts once. Paths that match no entry have no effect;
// an empty `removing` answers 0.
std::int64_t freed(const std::vector<Entry>& files, const std::set<std::string>& removing);

} // namespace tidra::UserFiles
