#pragma once

#include <string>

namespace tidra::test {

// For a forked child (see runInChild): moves the calling process into a mount namespace of
// its own, with every mount private, so mounts made afterwards vanish with the child and are
// never seen by the rest of the machine. False where that is not allowed (not root).
bool enterMountNamespace();

// Mounts a small tmpfs on the existing folder `path`.
bool mountTmpfs(const std::string& path);
// Makes the file system mounted at `path` read-only (fill it first).
bool remountReadOnly(const std::string& path);

// The text a test prints when it skips because the two calls above are not possible here.
inline constexpr const char* kNoMountNamespace = "needs root to mount a tmpfs inside unshare -m";

} // namespace tidra::test
