#pragma once

#include "cleanup/CleanupAction.h"
#include "cleanup/CleanupCategory.h"
#include "cleanup/Safety.h"
#include "fs/SizeResult.h"

#include <cstdint>
#include <optional>
#include <string>

namespace tidra {

// One removable thing of the cleanup catalog. The items of one scan carry distinct ids:
// measured sizes and the selection are keyed by them.
struct CleanupItem {
    std::string id;
    std::string title;
    CleanupCategory category;
    // A sentence on what removing the item means.
    std::string consequence;
    Safety safety;
    CleanupAction action;
    // Removed through the administrator removal instead of the cleaner.
    bool requiresAdmin;
    // Shown only when its measured size reaches this many bytes.
    std::int64_t minimumBytesToShow;
    // A size a tool already reported; absent for items measured on disk.
    std::optional<std::int64_t> knownBytes;

    // The item's size: `knownBytes` when set, without touching the disk; otherwise the size
    // scanner over the action's paths, run to its end. Safe to call for many items at once.
    SizeResult measure() const;

    bool operator==(const CleanupItem&) const = default;
};

} // namespace tidra
