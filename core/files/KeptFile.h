#pragma once

#include "files/DuplicateGroup.h"
#include "files/SimilarPhotoGroup.h"

#include <cstdint>
#include <string>

// Whether a file the user keeps from a set is still the one the search saw, asked just before
// the others of the set go to the Trash: a keeper deleted or rewritten since would leave no
// copy at all. A file that cannot be read counts as changed. Blocks; safe on any thread.
namespace tidra::KeptFile {

// Why nothing of a set moves when none of its kept files stands.
inline constexpr const char* changedReason = "the file to keep is gone or changed since the search";

// A regular file at `path` (a link is not followed) of `length` bytes whose content has the
// SHA-256 `hash` (64 lower-case hexadecimal digits). Reads the whole file.
bool hasContent(const std::string& path, std::int64_t length, const std::string& hash);

// A regular file at the photo's path with the identity (device, inode) and the modification
// time the search recorded.
bool isUnchanged(const SimilarPhoto& photo);

} // namespace tidra::KeptFile
