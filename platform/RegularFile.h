#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace tidra::sys {

// The whole content of a regular file (links followed) of at most `maximumBytes` bytes.
// Nothing when it cannot be opened or read, is larger, or is not a regular file: a pipe or
// device left where a settings file is expected is never opened for reading, so it cannot block.
std::optional<std::string> readRegularFile(const std::string& path, std::size_t maximumBytes);

} // namespace tidra::sys
