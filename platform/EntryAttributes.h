#pragma once

#include <chrono>
#include <optional>
#include <string>

namespace tidra::sys {

// Attributes of one entry itself, never of a link's target. Nothing when the entry cannot be
// examined (missing, a parent not searchable); none of them throws.

// The entry's last modification time.
std::optional<std::chrono::system_clock::time_point> modificationTime(const std::string& path);

// The text stored in a symbolic link, unresolved. Nothing when `path` is not a link.
std::optional<std::string> linkTarget(const std::string& path);

} // namespace tidra::sys
