#pragma once

#include "cleanup/CleanReport.h"
#include "cleanup/CleanupAction.h"
#include "cleanup/PathGuard.h"
#include "system/Shell.h"

#include <chrono>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace tidra {

// The only code that executes a cleanup action. Every path it removes or trashes, and every
// entry of a folder it empties, is put to its guard first; the removal then acts on exactly
// the path that was judged, through descriptors, never following a link. Each path is
// handled on its own: a path that could not be handled becomes one failure, in the order met,
// and never stops the others. A path that is not there is skipped: neither counted nor
// reported; one that cannot be examined (a folder above may not be searched, the path is too
// long) is a failure with the system's reason. Tools (a `run` action, git for a worktree) go
// through the runner, with a limit of 300 seconds; a tool stopped at its limit is a failure,
// never a success. A worktree with another volume mounted at or below it, or whose folder is no
// longer the one scanned (its device and inode, when the action carries them), is refused
// before anything is removed. An immutable value; calls share nothing and may run on several threads.
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
    // cleared before a worktree plus the worktree itself.
    CleanReport perform(const CleanupAction& action) const;

private:
    enum class Mode { remove, trash };

    // One path through guard and operation; true when it was removed or trashed.
    bool handle(const std::string& path, Mode mode, CleanReport& report) const;
    void deleteContents(const std::string& folder, CleanReport& report) const;
    CleanReport runTool(const CleanupAction::Run& action) const;
    CleanReport removeWorktree(const CleanupAction::RemoveWorktree& action) const;

    PathGuard guardian_;
    Runner run_;
};

} // namespace tidra
