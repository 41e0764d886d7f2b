#pragma once

#include "projects/Worktrees.h"

#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace tidra::Worktrees {

// One pull request as gh reports it.
struct PullRequest {
    int number = 0;
    std::string state; // "OPEN", "CLOSED" or "MERGED"; anything else matches no test
    std::string headRefName;
    std::string headRefOid;
    bool operator==(const PullRequest&) const = default;
};

// The default branch reference of `repository`, e.g. "origin/main": the remote's HEAD when
// set, else the first of origin/main, origin/master, origin/develop, main, master that names
// a commit. Absent when none does.
std::optional<std::string> defaultBranch(const std::string& repository, const Tools& tools = {});

// "owner/name" of a GitHub remote URL in the SSH, ssh:// or https:// form, with or without
// ".git" and a trailing "/". Absent for any other host, plain http, or a path that is not
// exactly two parts.
std::optional<std::string> gitHubSlug(std::string_view url);

// Reads the JSON array of `gh pr list`: for every head branch name the pull request with the
// highest number. Pull requests from forks are left out: their head branch lives in another
// repository and only shares a name with ours. Empty for malformed JSON.
std::map<std::string, PullRequest> parsePullRequests(std::string_view json);

// The pull requests of `repository`'s GitHub origin, keyed by head branch name. Empty when gh
// is not installed, the origin is not on GitHub, or gh fails, times out or prints bad JSON.
std::map<std::string, PullRequest> pullRequests(const std::string& repository, const Tools& tools = {});

} // namespace tidra::Worktrees
