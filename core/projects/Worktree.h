#pragma once

#include <chrono>
#include <concepts>
#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace tidra {

// A linked git worktree and what is left in it. A plain value, fixed at construction.
struct Worktree {
    // What is left in the worktree, decided by inspection in a fixed order.
    struct State {
        struct Merged {
            std::string into; // short branch name, e.g. "main"
            bool operator==(const Merged&) const = default;
        };
        struct PullRequestMerged {
            int number;
            bool operator==(const PullRequestMerged&) const = default;
        };
        struct PullRequestOpen {
            int number;
            bool operator==(const PullRequestOpen&) const = default;
        };
        struct PullRequestClosed {
            int number;
            bool operator==(const PullRequestClosed&) const = default;
        };
        struct UnpushedCommits {
            int count;
            bool operator==(const UnpushedCommits&) const = default;
        };
        struct UncommittedChanges {
            int count;
            bool operator==(const UncommittedChanges&) const = default;
        };
        // Worktree-relative paths in git's order; also carries the texts of git failures.
        struct UntrackedFiles {
            std::vector<std::string> paths;
            bool operator==(const UntrackedFiles&) const = default;
        };
        struct RemoteBranchDeleted {
            bool operator==(const RemoteBranchDeleted&) const = default;
        };
        struct Pushed {
            bool operator==(const Pushed&) const = default;
        };
        struct Locked {
            bool operator==(const Locked&) const = default;
        };
        struct Missing {
            bool operator==(const Missing&) const = default;
        };

        using Case = std::variant<Merged, PullRequestMerged, PullRequestOpen, PullRequestClosed,
                                  UnpushedCommits, UncommittedChanges, UntrackedFiles,
                                  RemoteBranchDeleted, Pushed, Locked, Missing>;
        Case value;

        template <class T>
            requires std::constructible_from<Case, T>
        State(T state) : value(std::move(state)) {}

        // False for uncommitted changes, untracked files, locked and missing.
        bool canRemove() const;
        // One line for the user, e.g. "Merged into main" or "3 commits not pushed".
        std::string summary() const;

        bool operator==(const State&) const = default;
    };

    std::string path;       // real path of the worktree folder
    std::string repository; // the repository folder it was listed from
    std::optional<std::string> branch; // without "refs/heads/"; absent for a detached HEAD
    State state;
    std::optional<std::chrono::system_clock::time_point> lastCommit;
    // Ignored entries that do not rebuild themselves, worktree-relative, in git's order.
    std::vector<std::string> ignoredFiles;
    // Full paths of ".DS_Store" files among the untracked and ignored entries.
    std::vector<std::string> clutter;
    // Full paths of untracked or ignored folders holding a git repository (a ".git" entry)
    // somewhere below, or that could not be searched for one. Removing the worktree would
    // destroy them for good.
    std::vector<std::string> nestedRepositories;
    // The folder's identity when it was inspected; 0 and 0 when no folder stood at `path`.
    std::uint64_t device = 0;
    std::uint64_t inode = 0;

    const std::string& id() const { return path; }
    // Last path component of `path`.
    std::string name() const;
    // The state allows removal, nothing nested would be lost, and a detached HEAD holds no
    // commits that only this worktree reaches.
    bool canRemove() const;
    // Merged, merged through a pull request or branch gone on the remote, with no ignored
    // files and no nested repositories left.
    bool isFinished() const;
    std::string summary() const { return state.summary(); }

    bool operator==(const Worktree&) const = default;
};

} // namespace tidra
