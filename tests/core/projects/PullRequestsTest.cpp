#include "support/GitFixture.h"
#include "projects/PullRequests.h"
#include "support/FakeTool.h"

#include <gtest/gtest.h>

namespace tidra {
namespace {

using test::GitFixture;

TEST(DefaultBranchTest, RemoteHeadFirstThenCandidatesInOrder) {
    struct Row {
        const char* name;
        std::vector<std::string> refs; // created at HEAD; "origin/HEAD" points to the next one
        std::optional<std::string> expected;
    };
    const Row rows[] = {
        {"remote HEAD set", {"origin/HEAD", "refs/remotes/origin/trunk", "refs/remotes/origin/main"}, "origin/trunk"},
        {"origin/main before everything", {"refs/remotes/origin/master", "refs/remotes/origin/main", "refs/heads/main"}, "origin/main"},
        {"origin/master before origin/develop", {"refs/remotes/origin/develop", "refs/remotes/origin/master"}, "origin/master"},
        {"origin/develop before local branches", {"refs/heads/main", "refs/remotes/origin/develop"}, "origin/develop"},
        {"local main before master", {"refs/heads/master", "refs/heads/main"}, "main"},
        {"local master", {"refs/heads/master"}, "master"},
        {"none", {"refs/remotes/origin/trunk"}, std::nullopt},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        test::TempHome home;
        const auto repo = home.dir("repo");
        test::runGit(repo, {"init", "-q", "-b", "work"});
        test::runGit(repo, {"commit", "-q", "--allow-empty", "-m", "start"});
        for (std::size_t i = 0; i < row.refs.size(); ++i) {
            if (row.refs[i] == "origin/HEAD")
                test::runGit(repo, {"symbolic-ref", "refs/remotes/origin/HEAD", row.refs[++i]});
            else
                test::runGit(repo, {"update-ref", row.refs[i], "HEAD"});
        }
        EXPECT_EQ(Worktrees::defaultBranch(repo), row.expected);
    }
}

TEST(DefaultBranchTest, FreshCloneUsesTheRemoteHead) {
    GitFixture fixture;
    EXPECT_EQ(Worktrees::defaultBranch(fixture.repo()), "origin/main");
    EXPECT_EQ(Worktrees::defaultBranch(fixture.home.path("nowhere")), std::nullopt);
}

// A clone whose origin is on GitHub, with a fake gh.
struct GitHubClone {
    explicit GitHubClone(const std::string& url, test::FakeTool::Answer answer)
        : gh((fixture.home.dir("bin"), fixture.home.path("bin/gh")), std::move(answer)) {
        fixture.git(fixture.repo(), {"remote", "set-url", "origin", url});
    }
    std::map<std::string, Worktrees::PullRequest> pulls() const {
        return Worktrees::pullRequests(fixture.repo(), {Worktrees::run, {fixture.home.path("bin/missing"), gh.path()}});
    }
    GitFixture fixture;
    test::FakeTool gh;
};

const char* const json = R"([{"number":4,"state":"MERGED","headRefName":"fix","headRefOid":"abc","isCrossRepository":false}])";

TEST(PullRequestsTest, AsksGhForTheOriginsPullRequests) {
    const GitHubClone clone("git@github.com:owner/repo.git", {json, "", 0, 0, false});
    const auto pulls = clone.pulls();
    ASSERT_EQ(pulls.size(), 1u);
    EXPECT_EQ(pulls.at("fix"), (Worktrees::PullRequest{4, "MERGED", "fix", "abc"}));
    EXPECT_EQ(clone.gh.arguments(), (std::vector<std::string>{"pr", "list", "--repo", "owner/repo", "--state", "all",
                                                              "--limit", "1000", "--json",
                                                              "number,state,headRefName,headRefOid,isCrossRepository"}));
    EXPECT_EQ(clone.gh.environment().at("GH_PROMPT_DISABLED"), "1");
}

TEST(PullRequestsTest, NothingWhenGhFailsOrCannotHelp) {
    {
        const GitHubClone failing("https://github.com/owner/repo", {json, "not logged in", 1, 0, false});
        EXPECT_TRUE(failing.pulls().empty());
    }
    {
        const GitHubClone garbled("https://github.com/owner/repo", {"[{", "", 0, 0, false});
        EXPECT_TRUE(garbled.pulls().empty());
    }
    {
        const GitHubClone elsewhere("https://gitlab.com/owner/repo.git", {json, "", 0, 0, false});
        EXPECT_TRUE(elsewhere.pulls().empty());
        EXPECT_TRUE(elsewhere.gh.calls().empty());
    }
    {
        GitHubClone noOrigin("https://github.com/owner/repo", {json, "", 0, 0, false});
        noOrigin.fixture.git(noOrigin.fixture.repo(), {"remote", "remove", "origin"});
        EXPECT_TRUE(noOrigin.pulls().empty());
        EXPECT_TRUE(noOrigin.gh.calls().empty());
    }
    {
        const GitHubClone notInstalled("https://github.com/owner/repo", {json, "", 0, 0, false});
        const auto pulls = Worktrees::pullRequests(notInstalled.fixture.repo(),
                                                   {Worktrees::run, {notInstalled.fixture.home.path("bin")}});
        EXPECT_TRUE(pulls.empty());
        EXPECT_TRUE(notInstalled.gh.calls().empty());
    }
}

} // namespace
} // namespace tidra
