#pragma once

#include <functional>
#include <optional>
#include <string>

namespace tidra::test {

// Runs `fn` in a forked child inside a mount namespace of its own, every mount made private, so
// whatever it mounts is never seen outside and vanishes with the child. Answers nothing when
// the namespace cannot be made (no CAP_SYS_ADMIN, a sandbox): the caller skips with a message.
std::optional<std::string> runInMountNamespace(const std::function<std::string()>& fn);

// Mounts a fresh 16 MiB tmpfs on the existing folder `folder`; false on failure.
// Meant for use inside runInMountNamespace.
bool mountTmpfs(const std::string& folder);

// Makes the file system mounted at `folder` read-only (fill it first); false on failure.
bool remountReadOnly(const std::string& folder);

} // namespace tidra::test
