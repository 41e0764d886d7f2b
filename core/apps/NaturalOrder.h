#pragma once

#include <string>
#include <string_view>

namespace tidra::NaturalOrder {

// The order people expect of names in a file list: letter case does not count (full Unicode
// case folding) and runs of digits compare by value, so "App 2" comes before "app 10".
// Negative when a comes first, 0 when the two compare the same, positive otherwise.
// Text that is not valid UTF-8 folds ASCII letters only.
int compare(std::string_view a, std::string_view b);

// The folded form `compare` works on; sorting many names folds each once with this and
// compares the keys with `compareKeys`.
std::string sortKey(std::string_view name);
int compareKeys(std::string_view a, std::string_view b);

} // namespace tidra::NaturalOrder
