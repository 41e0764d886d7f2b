#pragma once

#include <functional>
#include <optional>
#include <string>

namespace tidra::test {

// Runs `fn` in a forked child with its own mount namespace in which an empty tmpfs covers the
// existing folder `mountPoint`, so a test can place fixtures at fixed system paths without
// touching the machine. Nothing when the namespace or the mount cannot be made (no privilege,
// no such folder): the caller skips with a clear message.
std::optional<std::string> runWithScratchMount(const std::string& mountPoint, const std::function<std::string()>& fn);

} // namespace tidra::test
