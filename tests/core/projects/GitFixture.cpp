#include "GitFixture.h"

#include "system/Shell.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>

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
    EXPECT_TRUE(output && output->succeeded()) << "git " << all.back() << ": "
                                               << (output ? output->standardError : "not started");
    if (!output) return {};
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

} // namespace tidra::test
