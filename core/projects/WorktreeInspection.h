#pragma once

#include "projects/PullRequests.h"
#include "projects/Worktree.h"
#include "projects/Worktrees.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace tidra::Worktrees {

// Decides what is left in one linked worktree. Never fails: every failure of git becomes a
// state that cannot be removed, and no failure leads to a merged, pushed or gone state.
// `main` is the default branch reference (e.g. "origin/main"), `pulls` the repository's pull
// requests by head branch, `generated` the full paths of the worktree's build artifacts.
// A prunable, missing or locked worktree runs no git command.
Worktree inspect(const Record& record, const std::string& repository, const std::optional<std::string>& main,
                 const std::map<std::string, PullRequest>& pulls, const std::vector<std::string>& generated,
                 const Git& git = run);

// True when everything below `folder` is a ".DS_Store" file or lies in a `generated` folder
// (which is not entered); the ".DS_Store" paths are then appended to `clutter`. False, with
// `clutter` untouched, at the first other entry, and whenever anything below cannot be read
// or the folder itself cannot be walked: what we cannot see may be someone's work.
bool holdsOnlyGenerated(const std::string& folder, const std::vector<std::string>& generated,
                        std::vector<std::string>& clutter);

// True when a ".git" entry (a repository or a submodule's link) lies anywhere below `folder`
// outside the `generated` folders, or when the search cannot see everything.
bool holdsRepository(const std::string& folder, const std::vector<std::string>& generated);

// True for ignored files that tools recreate on their own ("dist", "__pycache__",
// "*.tsbuildinfo", Flutter's generated files...), judged by the last path component.
bool isRegenerable(const std::string& path);

} // namespace tidra::Worktrees
