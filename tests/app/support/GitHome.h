#pragma once

#include "support/TempHome.h"

#include <string>
#include <vector>

namespace tidra::test {

// A fixture home with real git repositories: a bare "origin.git" and its clone "repo" with one
// commit on "main", pushed, so origin/main and origin/HEAD exist. Worktrees go to "wt/<name>".
// Git failures abort the test program: a fixture that cannot be built proves nothing.
class GitHome {
public:
  GitHome();

  TempHome home;
  // Real path of the clone.
  const std::string& repo() const { return repo_; }

  // Trimmed standard output of git run in `folder`.
  std::string git(const std::string& folder, const std::vector<std::string>& arguments) const;
  // Writes `file` in `folder` and commits it.
  void commit(const std::string& folder, const std::string& file, const std::string& content) const;
  // A linked worktree on a new branch at main; answers its real path.
  std::string addWorktree(const std::string& name, const std::string& branch);
  // Ignores `pattern` in every worktree of the clone.
  void ignore(const std::string& pattern) const;
  // Sets the modification time of everything below the home folder to `days` ago.
  void ageEverything(int days) const;
  // Allocated bytes of the files below the home folder (folders' own blocks left out, as the
  // engine's sizes leave them out), each inode once, leaving out `skipped` subtrees.
  std::int64_t allocatedBytes(const std::vector<std::string>& skipped = {}) const;

private:
  std::string repo_;
};

}  // namespace tidra::test
