#pragma once

#include "projects/Worktree.h"
#include "system/Shell.h"

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tidra::Worktrees {

// One entry of `git worktree list --porcelain -z`.
struct Record {
    std::string path; // as git printed it
    std::optional<std::string> branch; // without "refs/heads/"
    bool locked = false;
    bool prunable = false;
    bool operator==(const Record&) const = default;
};

// The environment of every git command here: no optional locks (we only read, and must not
// disturb the user's own git), never a prompt.
const std::map<std::string, std::string>& quietly();

// Runs "/usr/bin/git -C <path> <arguments>" through GitCommand (the repository's own programs
// switched off) with `quietly()` and a 120-second limit. Nothing
// when git could not be started; the output unjudged otherwise (see Shell::Output::succeeded).
std::optional<Shell::Output> run(const std::string& path, const std::vector<std::string>& arguments);

// How git is run; tests wrap `run` to make single commands fail.
using Git = std::function<std::optional<Shell::Output>(const std::string& path,
                                                       const std::vector<std::string>& arguments)>;

// The outside tools of the worktree code, replaceable in tests.
struct Tools {
    Git git = run;
    // Where gh may be installed, tried in order; the first executable file wins.
    std::vector<std::string> ghLocations = {"/opt/homebrew/bin/gh", "/usr/local/bin/gh", "/usr/bin/gh"};
};

// Reads the NUL-separated fields of `git worktree list --porcelain -z`, so paths holding
// newlines survive. Records keep git's order (the main worktree first); a field before the
// first "worktree " field is ignored.
std::vector<Record> parse(std::string_view output);

// Real paths of the linked worktrees of `repository`, in git's order, locked and prunable ones
// included; a path that no longer resolves stays as git printed it. Empty when git fails or the
// repository has no linked worktree.
std::vector<std::string> paths(const std::string& repository, const Tools& tools = {});

// The generated folders (build artifacts) inside a worktree, as full paths. Called from
// several threads at once.
using Generated = std::function<std::vector<std::string>(const std::string& worktree)>;

// Every linked worktree of `repository`, inspected in parallel and sorted by path. Reads the
// default branch and the pull requests once. Empty when git fails or there is no linked
// worktree (which then costs a single git command).
std::vector<Worktree> list(const std::string& repository, const Generated& generated,
                           const Tools& tools = {});

} // namespace tidra::Worktrees
