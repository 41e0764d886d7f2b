#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace tidra::sys {

// The whole content of a regular file (links followed) of at most `maximumBytes` bytes.
// Nothing when it cannot be opened or read, is not a regular file or is larger; `error`, when
// given, then receives the errno value (EFBIG for too large, EINVAL for not a regular file).
std::optional<std::string> readSmallFile(const std::string& path, std::size_t maximumBytes, int* error = nullptr);

} // namespace tidra::sys
