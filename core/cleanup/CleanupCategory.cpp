#include "cleanup/CleanupCategory.h"

#include <array>

namespace tidra {
namespace {

struct CategoryInfo {
    CleanupCategory category;
    std::string_view raw;
    std::string_view title;
    std::string_view symbol;
};

const std::array<CategoryInfo, 11>& table() {
    static const std::array<CategoryInfo, 11> rows{{
        {CleanupCategory::xcode, "xcode", "Xcode", "hammer"},
        {CleanupCategory::android, "android", "Android", "iphone.gen2"},
        {CleanupCategory::javascript, "javascript", "JavaScript", "curlybraces"},
        {CleanupCategory::flutter, "flutter", "Flutter and Dart", "bird"},
        {CleanupCategory::docker, "docker", "Docker", "shippingbox"},
        {CleanupCategory::developerTools, "developerTools", "Other developer tools",
         "wrench.and.screwdriver"},
        {CleanupCategory::apps, "apps", "Apps", "square.stack.3d.up"},
        {CleanupCategory::personalData, "personalData", "Backups and attachments", "externaldrive"},
        {CleanupCategory::leftovers, "leftovers", "Leftovers from removed apps", "archivebox"},
        {CleanupCategory::downloads, "downloads", "Installers in Downloads", "arrow.down.circle"},
        {CleanupCategory::trash, "trash", "Trash", "trash"},
    }};
    return rows;
}

const CategoryInfo& info(CleanupCategory category) {
    return table()[static_cast<std::size_t>(category)];
}

} // namespace

std::span<const CleanupCategory> allCleanupCategories() {
    static const std::array<CleanupCategory, 11> all = [] {
        std::array<CleanupCategory, 11> out{};
        for (std::size_t i = 0; i < out.size(); ++i) out[i] = table()[i].category;
        return out;
    }();
    return all;
}

std::string_view rawValue(CleanupCategory category) { return info(category).raw; }
std::string_view title(CleanupCategory category) { return info(category).title; }
std::string_view symbol(CleanupCategory category) { return info(category).symbol; }

std::optional<CleanupCategory> cleanupCategoryFromRawValue(std::string_view raw) {
    for (const auto& row : table())
        if (row.raw == raw) return row.category;
    return std::nullopt;
}

} // namespace tidra
