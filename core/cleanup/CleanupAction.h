#pragma once

#include <concepts>
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace tidra {

// What cleaning an item does. Only the cleaner executes an action.
struct CleanupAction {
    // Which file or folder an entry was when it was measured: (device, inode); 0 and 0 when it
    // was not there.
    struct Identity {
        std::uint64_t device = 0;
        std::uint64_t inode = 0;
        bool known() const { return device != 0 || inode != 0; }
        bool operator==(const Identity&) const = default;
    };
    // One path of a Delete as it was measured: the folder holding it and the entry itself.
    struct Measured {
        Identity folder;
        Identity entry;
        bool operator==(const Measured&) const = default;
    };
    // Absolute paths removed whole.
    struct Delete {
        std::vector<std::string> paths;
        // Empty, or one per path. Each path is then reached from the home folder without
        // following a link, and goes only while its folder and itself are the ones measured;
        // a path that was not there when measured is left alone.
        std::vector<Measured> measured = {};
        bool operator==(const Delete&) const = default;
    };
    // Absolute folder paths whose contents are removed; the folders stay.
    struct DeleteContents {
        std::vector<std::string> paths;
        bool operator==(const DeleteContents&) const = default;
    };
    // Absolute paths moved to the user's Trash.
    struct Trash {
        std::vector<std::string> paths;
        bool operator==(const Trash&) const = default;
    };
    // A command-line tool (absolute path) run with its arguments; `affects` lists the paths
    // the command frees, which is what measuring walks.
    struct Run {
        std::string tool;
        std::vector<std::string> arguments;
        std::vector<std::string> affects;
        bool operator==(const Run&) const = default;
    };
    // A linked git worktree of `repository`; `clearFirst` is removed before the worktree.
    // `device` and `inode` identify the folder as the scan saw it; 0 and 0 when not known.
    struct RemoveWorktree {
        std::string repository;
        std::string path;
        std::vector<std::string> clearFirst;
        std::uint64_t device = 0;
        std::uint64_t inode = 0;
        bool operator==(const RemoveWorktree&) const = default;
    };

    using Case = std::variant<Delete, DeleteContents, Trash, Run, RemoveWorktree>;
    Case value;

    template <class T>
        requires std::constructible_from<Case, T>
    CleanupAction(T action) : value(std::move(action)) {}

    // The paths the action touches: the payload for the three path cases, `affects` for Run,
    // the worktree folder alone for RemoveWorktree.
    std::vector<std::string> paths() const;
    // False only for Trash, whose result stays recoverable.
    bool isPermanent() const;

    bool operator==(const CleanupAction&) const = default;
};

} // namespace tidra
