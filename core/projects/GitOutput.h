#pragma once

#include <optional>
#include <string_view>
#include <vector>

namespace tidra::GitOutput {

// Helpers for reading what git prints. Views point into the caller's text.

// `text` without leading and trailing white space and line ends.
std::string_view trimmed(std::string_view text);

// The pieces of `text` between `separator`s, empty pieces left out.
std::vector<std::string_view> split(std::string_view text, char separator);

// `text`, trimmed, as a decimal integer with an optional sign; absent for anything else,
// including an empty text or a value out of range.
std::optional<long long> integer(std::string_view text);

} // namespace tidra::GitOutput
