#pragma once

#include "projects/GitCommand.h"

#include <functional>
#include <string>

namespace tidra::WorktreeVerdict {

// What git knows about a linked worktree that is to be removed, asked the way `git worktree
// remove` without force asks it, so the same worktrees are refused; git itself removes nothing
// here. Each answers an empty text when git would go ahead, else the reason shown to the user:
// git's own words, "git could not be started", or the text of a git command that failed.

// Is `path` (a real path) a linked worktree of `repository`, and not locked? Asked of
// `git worktree list` in the repository.
std::string registered(const std::string& repository, const std::string& path, const GitCommand::Runner& git);

// Does the worktree at `path` hold what removing it would lose beyond its files: changes or
// untracked files (`git status`, submodules included), or a submodule of its own? `checkedOut`
// tells whether the submodule folder at a path relative to the worktree holds a checkout.
std::string clean(const std::string& path, const GitCommand::Runner& git,
                  const std::function<bool(const std::string& relative)>& checkedOut);

} // namespace tidra::WorktreeVerdict
