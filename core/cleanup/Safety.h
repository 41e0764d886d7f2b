#pragma once

#include <optional>
#include <string_view>

namespace tidra {

// The risk rating shown as a badge beside each removable thing.
enum class Safety { safe, review };

std::string_view rawValue(Safety safety);
// Accepts exactly "safe" and "review".
std::optional<Safety> safetyFromRawValue(std::string_view raw);

} // namespace tidra
