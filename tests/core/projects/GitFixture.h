#pragma once

#include "support/TempHome.h"

#include <string>
#include <vector>

namespace tidra::test {

// Runs git in `folder` with a fixed identity; fails the test when git fails. Trimmed
// standard output.
std::string runGit(const std::string& folder, const std::vector<std::string>& arguments);

// `path` resolved through links.
std::string realPath(const std::string& path);

// Real git repositories in a fixture home: a bare "origin.git" and its clone "repo" with one
// commit on "main", pushed, so origin/main and origin/HEAD exist. Worktrees go to "wt/<name>".
class GitFixture {
public:
    GitFixture();

    TempHome home;
    // Real path of the clone.
    const std::string& repo() const { return repo_; }

    std::string git(const std::string& folder, const std::vector<std::string>& arguments) const {
        return runGit(folder, arguments);
    }
    // A linked worktree on a new branch (or detached when `branch` is empty) at `start`.
    std::string addWorktree(const std::string& name, const std::string& branch, const std::string& start = "main");
    // Writes `file` in `folder` and commits it; answers the new commit id.
    std::string commit(const std::string& folder, const std::string& file, const std::string& content = "x");
    // Writes a file below `folder`, making parent folders.
    void write(const std::string& folder, const std::string& relative, const std::string& content = "x");
    // Ignores `pattern` in every worktree of the clone.
    void ignore(const std::string& pattern);

private:
    std::string repo_;
};

} // namespace tidra::test
