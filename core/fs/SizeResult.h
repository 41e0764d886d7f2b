#pragma once

#include <chrono>
#include <cstdint>
#include <optional>

namespace tidra {

// How much disk space a set of paths takes: allocated bytes, not apparent lengths.
struct SizeResult {
    std::int64_t bytes = 0;
    std::int64_t files = 0;
    std::int64_t unreadableDirectories = 0;
    // Latest modification among the files counted, in whole seconds; absent when none was.
    std::optional<std::chrono::system_clock::time_point> newestModification;
    // Blocks of files that also have links outside the measured paths: removing the paths
    // leaves them on disk, so they are not in `bytes`.
    std::int64_t sharedBytes = 0;

    SizeResult() = default;
    // A size known without measuring: the other fields stay empty.
    explicit SizeResult(std::int64_t knownBytes) : bytes(knownBytes) {}

    bool operator==(const SizeResult&) const = default;
};

} // namespace tidra
