#include "support/GitHome.h"

#include "system/Shell.h"

#include <sys/stat.h>

#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <utility>

namespace tidra::test {

namespace fs = std::filesystem;

namespace {

std::string realPathOf(const std::string& path) {
  char resolved[PATH_MAX];
  return ::realpath(path.c_str(), resolved) ? std::string(resolved) : path;
}

}  // namespace

GitHome::GitHome() {
  const auto origin = home.path("origin.git");
  git(home.root(), {"init", "-q", "--bare", "-b", "main", origin});
  git(home.root(), {"clone", "-q", origin, home.path("repo")});
  repo_ = realPathOf(home.path("repo"));
  git(repo_, {"symbolic-ref", "HEAD", "refs/heads/main"});
  commit(repo_, "README", "hello");
  git(repo_, {"push", "-q", "-u", "origin", "main"});
  git(repo_, {"remote", "set-head", "origin", "main"});
}

std::string GitHome::git(const std::string& folder, const std::vector<std::string>& arguments) const {
  std::vector<std::string> all = {"-C", folder};
  all.insert(all.end(), arguments.begin(), arguments.end());
  const auto output = Shell::run("/usr/bin/git", all,
                                 {{"GIT_AUTHOR_NAME", "Test"},
                                  {"GIT_AUTHOR_EMAIL", "test@example.com"},
                                  {"GIT_COMMITTER_NAME", "Test"},
                                  {"GIT_COMMITTER_EMAIL", "test@example.com"},
                                  {"GIT_CONFIG_NOSYSTEM", "1"}},
                                 std::chrono::seconds(60));
  if (!output || !output->succeeded()) {
    std::fprintf(stderr, "git %s failed: %s\n", arguments.front().c_str(),
                 output ? output->standardError.c_str() : "not started");
    std::abort();
  }
  auto text = output->standardOutput;
  while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
  return text;
}

void GitHome::commit(const std::string& folder, const std::string& file, const std::string& content) const {
  std::ofstream(folder + "/" + file, std::ios::binary) << content;
  git(folder, {"add", "--", file});
  git(folder, {"commit", "-q", "-m", "change " + file});
}

std::string GitHome::addWorktree(const std::string& name, const std::string& branch) {
  const auto path = home.path("wt/" + name);
  git(repo_, {"worktree", "add", "-q", "-b", branch, path, "main"});
  return realPathOf(path);
}

void GitHome::ignore(const std::string& pattern) const {
  std::ofstream(repo_ + "/.git/info/exclude", std::ios::app) << pattern << "\n";
}

void GitHome::ageEverything(int days) const {
  const auto then = fs::file_time_type::clock::now() - std::chrono::hours(24 * days);
  for (const auto& entry : fs::recursive_directory_iterator(home.root()))
    if (!entry.is_symlink()) fs::last_write_time(entry.path(), then);
}

std::int64_t GitHome::allocatedBytes(const std::vector<std::string>& skipped) const {
  std::set<std::pair<dev_t, ino_t>> seen;
  std::int64_t total = 0;
  for (auto it = fs::recursive_directory_iterator(home.root()); it != fs::recursive_directory_iterator(); ++it) {
    const auto path = it->path().string();
    bool skip = false;
    for (const auto& prefix : skipped) skip = skip || path == prefix || path.starts_with(prefix + "/");
    if (skip) {
      if (it->is_directory() && !it->is_symlink()) it.disable_recursion_pending();
      continue;
    }
    struct stat status {};
    // Folders' own blocks are not counted, as the engine's sizes do not count them.
    if (::lstat(path.c_str(), &status) == 0 && !S_ISDIR(status.st_mode) &&
        seen.insert({status.st_dev, status.st_ino}).second)
      total += static_cast<std::int64_t>(status.st_blocks) * 512;
  }
  return total;
}

}  // namespace tidra::test
