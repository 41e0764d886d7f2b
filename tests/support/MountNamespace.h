#pragma once

#include <functional>
#include <optional>
#include <string>

namespace tidra::test {

// Runs `fn` in a forked child inside a mount namespace of its own, every mount made private, so
// whatever it mounts is never seen outside and vanishes with the child. Answers nothing when
// the namespace cannot be made (no CAP_SYS_ADMIN, a sandbox): the caller skips with a message.
std::optional<std::string> runInMountNamespace(const std::function<std::string()>& fn);

// For a forked child (see runInChild): moves the calling process into a mount namespace of
// its own, with every mount private, so mounts made afterwards vanish with the child and are
// never seen by the rest of the machine. False where that is not allowed (not root).
bool enterMountNamespace();

// Mounts a fresh 16 MiB tmpfs on the existing folder `folder`; false on failure.
// Meant for use inside a mount namespace of its own.
bool mountTmpfs(const std::string& folder);
// Makes the file system mounted at `folder` read-only (fill it first); false on failure.
bool remountReadOnly(const std::string& folder);

// The text a test prints when it skips because the calls above are not possible here.
inline constexpr const char* kNoMountNamespace = "needs root to mount a tmpfs inside unshare -m";

} // namespace tidra::test
