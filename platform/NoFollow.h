#pragma once

#include <string>

namespace tidra::sys::NoFollow {

// Opens the folder at the absolute `path` with the extra open `flags` (O_PATH for a folder
// only acted in, O_RDONLY for one to be listed), refusing symbolic links and mount-point
// magic anywhere on the way, the last component included. Returns the descriptor, owned by
// the caller, or -errno; ELOOP means some component was a symbolic link, EINVAL that the path
// is relative or holds a NUL byte.
int openFolder(const std::string& path, int flags);

// Opens the folder at `relative` below the open folder `folder` the same way, and never out of
// it: ".." cannot climb above `folder` (EXDEV), an absolute `relative` is refused (EINVAL), and
// an empty one opens `folder` itself again.
int openBeneath(int folder, const std::string& relative, int flags);

// Splits an absolute path into its parent folder and last name. False for a path without
// a usable last name ("/", ".", "..", relative paths) and for a path holding a NUL byte.
bool split(const std::string& path, std::string& parent, std::string& name);

} // namespace tidra::sys::NoFollow
