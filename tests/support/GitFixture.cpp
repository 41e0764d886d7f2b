#include "support/GitFixture.h"

#include "system/Shell.h"


#include <sys/stat.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <utility>

namespace tidra::test {

std::string realPath(const std::string& path) {
    char resolved[PATH_MAX];
    return ::realpath(path.c_str(), resolved) ? std::string(resolved) : path;
}

GitFixture::GitFixture() {
    const auto origin = home.path("origin.git");
    git(home.root(), {"init", "-q", "--bare", "-b", "main", origin});
    git(home.root(), {"clone", "-q", origin, home.path("repo")});
    repo_ = realPath(home.path("repo"));
    git(repo_, {"symbolic-ref", "HEAD", "refs/heads/main"});
    commit(repo_, "README", "hello");
    git(repo_, {"push", "-q", "-u", "origin", "main"});
    git(repo_, {"remote", "set-head", "origin", "main"});
}

std::string runGit(const std::string& folder, const std::vector<std::string>& arguments) {
    std::vector<std::string> all = {"-C", folder};
    all.insert(all.end(), arguments.begin(), arguments.end());
    const auto output = Shell::run("/usr/bin/git", all,
                                   {{"GIT_AUTHOR_NAME", "Test"},
                                    {"GIT_AUTHOR_EMAIL", "test@example.com"},
                                    {"GIT_COMMITTER_NAME", "Test"},
                                    {"GIT_COMMITTER_EMAIL", "test@example.com"},
                                    {"GIT_CONFIG_NOSYSTEM", "1"}},
                                   std::chrono::seconds(60));
    // A fixture that cannot be built proves nothing: stop the test program with git's reason.
    if (!output || !output->succeeded()) {
        std::fprintf(stderr, "git %s failed: %s\n", arguments.empty() ? "" : arguments.front().c_str(),
                     output ? output->standardError.c_str() : "not started");
        std::abort();
    }
    auto text = output->standardOutput;
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
    return text;
}

std::string GitFixture::addWorktree(const std::string& name, const std::string& branch, const std::string& start) {
    const auto path = home.path("wt/" + name);
    if (branch.empty())
        git(repo_, {"worktree", "add", "-q", "--detach", path, start});
    else
        git(repo_, {"worktree", "add", "-q", "-b", branch, path, start});
    return realPath(path);
}

std::string GitFixture::commit(const std::string& folder, const std::string& file, const std::string& content) {
    write(folder, file, content);
    git(folder, {"add", "--", file});
    git(folder, {"commit", "-q", "-m", "change " + file});
    return git(folder, {"rev-parse", "HEAD"});
}

void GitFixture::write(const std::string& folder, const std::string& relative, const std::string& content) {
    const std::filesystem::path path = folder + "/" + relative;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << content;
}

void GitFixture::ignore(const std::string& pattern) {
    std::ofstream(repo_ + "/.git/info/exclude", std::ios::app) << pattern << "\n";
}

void GitFixture::ageEverything(int days) const {
    namespace fs = std::filesystem;
    const auto then = fs::file_time_type::clock::now() - std::chrono::hours(24 * days);
    for (const auto& entry : fs::recursive_directory_iterator(home.root()))
        if (!entry.is_symlink()) fs::last_write_time(entry.path(), then);
}

std::int64_t GitFixture::allocatedBytes(const std::vector<std::string>& skipped) const {
    namespace fs = std::filesystem;
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

} // namespace tidra::test
