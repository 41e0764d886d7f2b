#pragma once

#include "cleanup/CleanupItem.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tidra::Homebrew {

// Where the tool usually lives for `home`, in the order they are tried.
std::vector<std::string> toolLocations(const std::string& home);

// The "old versions" item of the first executable location, sized by the tool's own dry-run
// estimate (180 s limit). Nothing when no tool is found, the dry run fails or times out, or
// it names no positive estimate. Blocks while the tool runs.
std::optional<CleanupItem> cleanupItem(const std::vector<std::string>& locations);

// The bytes of the first "approximately <number><unit>" phrase of the dry run's text. Units
// count in powers of 1,024 although named KB, MB, GB, TB. Nothing when there is no such
// phrase, the number cannot be read, or the product does not fit a 64-bit byte count.
std::optional<std::int64_t> parseEstimate(std::string_view text);

} // namespace tidra::Homebrew
