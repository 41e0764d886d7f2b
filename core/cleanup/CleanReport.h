#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tidra {

// What one removal achieved. Reports are never merged: a caller running several actions
// collects their reports itself.
struct CleanReport {
    struct Failure {
        // The path, or for a command the tool or worktree path, the failure concerns.
        std::string path;
        // A short user-facing text ("is a symbolic link", a guard refusal, an error text).
        std::string reason;
        bool operator==(const Failure&) const = default;
    };

    // Successful steps: paths removed or trashed, children of emptied folders, a command
    // that succeeded, a worktree removed.
    int removed = 0;
    // One entry per path that could not be handled, in the order met.
    std::vector<Failure> failures;
    // What this removal itself took off the disk, as the removal counted it entry by entry
    // (for a tool, its paths measured just before and just after it ran); never what a scan
    // saw earlier. What another process removed first counts nothing here.
    std::int64_t freedBytes = 0;
    // What this removal itself moved to the Trash, measured where its entries landed.
    std::int64_t trashedBytes = 0;

    // A gain measured around a removal: what `before` had that `after` no longer has; never
    // negative, so a folder that grew meanwhile gained nothing.
    static std::int64_t gainBetween(std::int64_t before, std::int64_t after) {
        return before > after ? before - after : 0;
    }

    bool operator==(const CleanReport&) const = default;
};

} // namespace tidra
