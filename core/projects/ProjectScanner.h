#pragma once

#include "cleanup/PathGuard.h"
#include "projects/ProjectScan.h"
#include "projects/SpaceAccounting.h"
#include "projects/Worktrees.h"

#include <cstdint>
#include <functional>
#include <string>
#include <variant>
#include <vector>

// The one operation behind the Projects feature: finds projects, their linked worktrees and
// their artifact folders below the chosen roots, drops what may not be deleted, and measures
// everything in one space-accounting pass. Stateless.
namespace tidra::ProjectScanner {

// How far a scan has come.
struct Stage {
    // Walking the roots, and asking git for the repositories' worktree folders.
    struct FindingProjects {
        bool operator==(const FindingProjects&) const = default;
    };
    // Listing and inspecting the worktrees of this many repositories.
    struct CheckingWorktrees {
        std::int64_t repositories = 0;
        bool operator==(const CheckingWorktrees&) const = default;
    };
    // Measuring; directory entries read so far, package stores included.
    struct Measuring {
        std::int64_t files = 0;
        bool operator==(const Measuring&) const = default;
    };

    using Case = std::variant<FindingProjects, CheckingWorktrees, Measuring>;
    Case value;

    template <class T>
        requires std::constructible_from<Case, T>
    Stage(T stage) : value(std::move(stage)) {}

    bool operator==(const Stage&) const = default;
};

// True when the path may be deleted for good (what the path guard's delete check allows).
// Required.
using Guardian = std::function<bool(const std::string& path)>;
// Called from the scanning thread and, while measuring, from worker threads at once.
using StageReport = std::function<void(const Stage&)>;
using IsCancelled = std::function<bool()>;

// The outside world of a scan; tests replace git, gh and the clone probe.
struct Services {
    Worktrees::Tools tools;
    SpaceAccounting::CloneKeys clones = SpaceAccounting::CloneKeys::live();
};

// The package stores below `home` (resolved through links) that exist, as items of any kind:
// ".bun/install/cache", "Library/pnpm/store", ".local/share/pnpm/store", ".yarn/berry/cache".
std::vector<std::string> cacheFolders(const std::string& home);

// Scans `roots`. Every path in the result is canonical; `roots` come back as given. A
// worktree of a repository under the roots is searched for artifacts even when it lies
// outside them. Artifact folders inside a removable worktree are part of the worktree's row,
// not rows of their own. A worktree is in use when one of `workingDirectories` (resolved
// through links) is its folder or lies below it.
// Never fails: what git or the disk cannot answer contributes nothing. On cancellation the
// searches and the measurement stop early, no further repository is asked, and the partial
// result comes back in its usual form.
ProjectScan scan(const std::vector<std::string>& roots, const std::string& home, const Guardian& guardian,
                 const std::vector<std::string>& workingDirectories, const StageReport& stage = {},
                 const IsCancelled& isCancelled = {}, const Services& services = {});

// The same, dropping what `guard` would not let the cleaner delete.
ProjectScan scan(const std::vector<std::string>& roots, const std::string& home, const PathGuard& guard,
                 const std::vector<std::string>& workingDirectories, const StageReport& stage = {},
                 const IsCancelled& isCancelled = {}, const Services& services = {});

} // namespace tidra::ProjectScanner
