#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tidra::CleanupCatalog {

// An IDE settings folder name split into its product prefix and version numbers.
struct IdeVersion {
    std::string product;
    std::vector<std::int64_t> version;
    bool operator==(const IdeVersion&) const = default;
};

// Splits a folder name such as "IntelliJIdea2024.1" (a "-backup" suffix is ignored): the
// product is everything before the first numeric character (any Unicode number, not only
// ASCII digits; bytes that are not UTF-8 count as letters), the version the "."-separated
// pieces after it that parse as signed 64-bit decimals, the others dropped. Nothing when the
// product is empty or no piece parses.
std::optional<IdeVersion> ideVersion(const std::string& name);

} // namespace tidra::CleanupCatalog
