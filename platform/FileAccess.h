#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tidra::sys {

// Small questions about one path, asked as the calling user. Every test answers false when
// the path cannot be examined; none of them throws.

// The entry itself exists (lstat): a symbolic link counts even when its target is gone.
bool entryExists(const std::string& path);
// Why the entry itself (lstat) cannot be examined: 0 when it exists, ENOENT when it is not
// there (a file standing where a folder on the way should be counts as not there too), or the
// errno value of any other failure, such as a folder above that may not be searched (EACCES)
// or a path too long (ENAMETOOLONG).
int entryError(const std::string& path);
// The id of the mount the entry itself lies on (statx STATX_MNT_ID, a final link not
// followed); nothing when it cannot be read. Only within one mount can an entry be renamed: a
// bind mount keeps the device number, so comparing devices is not enough.
std::optional<std::uint64_t> mountId(const std::string& path);
// The entry itself is a folder; a symbolic link to a folder is not.
bool isDirectoryNoFollow(const std::string& path);
// The entry itself is a symbolic link, whether or not its target exists.
bool isSymbolicLink(const std::string& path);
// The path, following links, exists.
bool existsFollowingLinks(const std::string& path);
// The path, following links, is a regular file the user may execute.
bool isExecutableFile(const std::string& path);
// The user may write the entry (following links, as access(2) does).
bool isWritable(const std::string& path);
// The user may remove the entry: its parent folder is writable and searchable, the sticky bit
// of the parent does not stand in the way, and a real folder (not a link) is itself writable
// and searchable, since its contents have to go first.
bool isDeletable(const std::string& path);

// Entry names of a folder, hidden ones included, without "." and "..", in no particular
// order. Nothing when the folder cannot be opened or read (missing, not a folder, no right).
std::optional<std::vector<std::string>> folderEntries(const std::string& folder);
// The folder can be opened and its entries read to the end (an empty folder counts): exactly
// when folderEntries gives a list.
bool canList(const std::string& folder);

// The path with every link, "." and ".." resolved as the kernel resolves them (realpath(3)).
// Nothing when some part is missing or cannot be searched: each caller says what stands in.
std::optional<std::string> realPath(const std::string& path);

} // namespace tidra::sys
