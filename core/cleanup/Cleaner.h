#pragma once

#include "cleanup/CleanReport.h"
#include "cleanup/CleanupAction.h"
#include "cleanup/PathGuard.h"
#include "platform/Outcome.h"
#include "system/Shell.h"

#include <chrono>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace tidra {

namespace sys::SafeRemove {
class Folder;
}

// The only code that executes a cleanup action. Every path it removes or trashes, and every
// entry of a folder it empties, is put to its guard first; the removal then acts on exactly
// the path that was judged, through descriptors, never following a link. Each path is
// handled on its own: a path that could not be handled becomes one failure, in the order met,
// and never stops the others. A path that is not there is skipped: neither counted nor
// reported; one that cannot be examined (a folder above may not be searched, the path is too
// long) is a failure with the system's reason. Tools (a `run` action, git for a worktree) go
// through the runner, with a limit of 300 seconds; a tool stopped at its limit is a failure,
// never a success. A Delete whose paths carry what was measured removes each only while its
// folder and itself are those measured ("has changed since the scan"), reached from the home
// folder without a link ("is a symbolic link"). A worktree is removed by us, never by git:
// its folder is opened from the home folder without following a link and checked against the
// scan (its device and inode, when the action carries them); with another volume mounted at
// or below it, or when git would refuse it (locked, changed, untracked files, submodules),
// nothing of it goes but the entries cleared first. Its files then go through that one
// descriptor, its ".git" file last, and git is left only to drop its records of worktrees
// whose folders are gone (`git worktree prune`, which drops any such record, as `git gc`
// would in time). An immutable value; calls share nothing and may run on several threads.
class Cleaner {
public:
    // Shell::run's shape, so tests can stand in for it.
    using Runner = std::function<std::optional<Shell::Output>(
        const std::string& tool, const std::vector<std::string>& arguments,
        const std::map<std::string, std::string>& environment, std::chrono::milliseconds timeout)>;

    static constexpr std::chrono::seconds toolLimit{300};

    explicit Cleaner(PathGuard guardian, Runner run = Shell::run);

    const PathGuard& guardian() const { return guardian_; }

    // Blocks for the file operations or the command. `removed` counts paths removed or
    // trashed, children of emptied folders removed, a command that succeeded, or the entries
    // cleared before a worktree plus the worktree itself. `freedBytes` and `trashedBytes` are
    // what this call removed or moved itself, so two cleaners racing over the same paths count
    // each byte once between them; a tool's paths are measured just before and after it runs.
    CleanReport perform(const CleanupAction& action) const;

private:
    enum class Mode { remove, trash };

    // One path through guard and operation; true when it was removed or trashed.
    bool handle(const std::string& path, Mode mode, CleanReport& report) const;
    void deleteMeasured(const CleanupAction::Delete& action, CleanReport& report) const;
    void deleteContents(const std::string& folder, CleanReport& report) const;
    CleanReport runTool(const CleanupAction::Run& action) const;
    CleanReport removeWorktree(const CleanupAction::RemoveWorktree& action) const;
    // The steps of a worktree's removal, all through the open worktree folder.
    void clearInWorktree(const CleanupAction::RemoveWorktree& action, const std::string& judged,
                         const sys::SafeRemove::Folder& worktree, CleanReport& report) const;
    // Why the worktree may not go (git's refusals, or no longer the folder in hand); empty when it may.
    std::string worktreeRefusal(const CleanupAction::RemoveWorktree& action, const std::string& judged,
                                const sys::SafeRemove::Folder& worktree) const;
    // Removes its files, ".git" last, then the folder; false when anything stays.
    bool removeWorktreeFiles(const std::string& shown, const std::string& judged,
                             const sys::SafeRemove::Folder& worktree, CleanReport& report) const;
    // git as the worktree removal runs it: arguments after "/usr/bin/git", through the runner.
    std::optional<Shell::Output> git(const std::vector<std::string>& arguments) const;

    // Why a tool that ran did not succeed: its limit, its own words, or `fallback`.
    static std::string toolFailure(const Shell::Output& output, const std::string& fallback);
    // Adds what the outcome freed, and a failed outcome for `path`; true when the entry went.
    static bool counted(const std::string& path, const sys::Outcome& outcome, CleanReport& report);

    PathGuard guardian_;
    Runner run_;
};

} // namespace tidra
