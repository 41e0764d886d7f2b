#pragma once

#include "cleanup/CleanupAction.h"
#include "projects/ArtifactKind.h"
#include "projects/SpaceAccount.h"
#include "projects/Worktree.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace tidra {

// The result of one project scan: the artifact folders and linked worktrees that may be
// removed, with the space account that answers what any selection of them frees. A plain
// value; `roots` and `account` stay as the scan made them, the row lists shrink through
// `removing`.
struct ProjectScan {
    using Date = std::chrono::system_clock::time_point;
    // Row identities: artifact paths or worktree paths.
    using Ids = std::set<std::string>;

    // A regenerable folder inside a project.
    struct ArtifactRow {
        std::string path;
        ArtifactKind kind;
        std::string projectPath;
        // Newest file change seen in the project; absent when none was seen.
        std::optional<Date> projectLastChange;
        // Plain sum of the folder's allocated bytes.
        std::int64_t apparentBytes = 0;
        // What deleting this folder alone frees.
        std::int64_t realBytes = 0;
        // The folder's number in the scan's account.
        std::int32_t owner = 0;

        const std::string& id() const { return path; }
        // Last component of `projectPath`; a trailing "/" is ignored and "/" stays "/".
        std::string projectName() const;
        // `path` below `projectPath` without that folder and its "/"; otherwise `path` whole.
        std::string relativePath() const;

        bool operator==(const ArtifactRow&) const = default;
    };

    // A linked worktree with the artifact folders inside it.
    struct WorktreeRow {
        Worktree worktree;
        // Newest file change seen in the worktree folder when it was found as a project.
        std::optional<Date> lastChange;
        // A running process works in the worktree folder or below it.
        bool isInUse = false;
        // The folder's allocated bytes, its artifact folders included.
        std::int64_t apparentBytes = 0;
        // What removing the worktree with its artifact folders frees.
        std::int64_t realBytes = 0;
        // Full paths of the artifact folders inside the worktree.
        std::vector<std::string> generated;
        // The worktree's own owner number first, then those of `generated`; all distinct.
        std::vector<std::int32_t> owners;

        const std::string& id() const { return worktree.path; }

        bool operator==(const WorktreeRow&) const = default;
    };

    // The folders the scan was run over, as they were passed in.
    std::vector<std::string> roots;
    // By project path, then the most freed bytes first.
    std::vector<ArtifactRow> artifacts;
    // Removable worktrees first, then the most freed bytes first.
    std::vector<WorktreeRow> worktrees;
    // Every owner number of the rows indexes it.
    SpaceAccount account;

    // Bytes that deleting exactly the rows with these identities frees. Data shared between
    // selected rows counts once, and an artifact folder selected together with its worktree
    // counts once; identities that match no row add nothing.
    std::int64_t freed(const Ids& artifactPaths, const Ids& worktreePaths) const;
    // A copy without the rows with these identities; `roots` and `account` carried over.
    ProjectScan removing(const Ids& artifactPaths, const Ids& worktreePaths) const;

    // Deletes the artifact folder.
    static CleanupAction action(const ArtifactRow& row);
    // Removes the worktree after deleting its artifact folders and clutter.
    static CleanupAction action(const WorktreeRow& row);

    bool operator==(const ProjectScan&) const = default;
};

} // namespace tidra
