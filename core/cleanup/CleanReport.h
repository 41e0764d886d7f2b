#pragma once

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

    bool operator==(const CleanReport&) const = default;
};

} // namespace tidra
