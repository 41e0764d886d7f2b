#pragma once

#include <optional>
#include <span>
#include <string_view>

namespace tidra {

// The groups of the cleanup screen. Declaration order is the display order and the order
// in which the catalog sorts its items.
enum class CleanupCategory {
    xcode,
    android,
    javascript,
    flutter,
    docker,
    developerTools,
    apps,
    personalData,
    leftovers,
    downloads,
    trash,
};

// All eleven categories in declaration order.
std::span<const CleanupCategory> allCleanupCategories();

// The case name ("developerTools"); it doubles as the category's id.
std::string_view rawValue(CleanupCategory category);
// Exact, case-sensitive match on the case name.
std::optional<CleanupCategory> cleanupCategoryFromRawValue(std::string_view raw);

std::string_view title(CleanupCategory category);
// Name of the symbol image shown beside the category header.
std::string_view symbol(CleanupCategory category);

} // namespace tidra
