#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace tidra {

// One entry of the cleanup history: what one removal freed. Identified by its date.
struct CleanupRecord {
    // When the removal finished; the history file keeps whole seconds.
    std::chrono::system_clock::time_point date;
    // What removed it, as the caller names it ("Cleanup", "Automatic", "Duplicates", ...).
    std::string source;
    std::int64_t freedBytes = 0;
    // Titles of what was removed. May come from file names, so need not be valid UTF-8.
    std::vector<std::string> items;
    // Paths whose removal failed.
    std::int64_t failures = 0;

    bool operator==(const CleanupRecord&) const = default;
};

} // namespace tidra
