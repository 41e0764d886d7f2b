#pragma once

#include "support/TempHome.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tidra::test {

// Runs git in `folder` with a fixed identity; stops the test program when git fails (a fixture
// that cannot be built proves nothing). Trimmed standard output.
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
    // Sets the modification time of everything in the home folder to `days` ago.
    void ageEverything(int days) const;
    // Allocated bytes of the files in the home folder, folders' own blocks left out as the
    // engine's sizes leave them out, each inode once, without the `skipped` subtrees.
    std::int64_t allocatedBytes(const std::vector<std::string>& skipped = {}) const;

private:
    std::string repo_;
};

} // namespace tidra::test
