#include "projects/Worktree.h"
#include "projects/Worktrees.h"

#include <gtest/gtest.h>

namespace tidra {
namespace {

using State = Worktree::State;
using Paths = std::vector<std::string>;

Worktree worktree(State state, std::optional<std::string> branch = "feature") {
    return Worktree{"/home/u/wt/feature", "/home/u/repo", std::move(branch), std::move(state), std::nullopt, {}, {}, {}};
}

TEST(WorktreeStateTest, SummaryAndRemovability) {
    struct Row {
        State state;
        const char* summary;
        bool canRemove;
    };
    const Row rows[] = {
        {State::Merged{"main"}, "Merged into main", true},
        {State::PullRequestMerged{12}, "Pull request #12 merged", true},
        {State::PullRequestOpen{1234}, "Pull request #1234 is open", true},
        {State::PullRequestClosed{7}, "Pull request #7 closed without merging", true},
        {State::UnpushedCommits{1}, "1 commit not pushed", true},
        {State::UnpushedCommits{0}, "0 commits not pushed", true},
        {State::UnpushedCommits{12000}, "12000 commits not pushed", true},
        {State::UncommittedChanges{1}, "1 uncommitted change", false},
        {State::UncommittedChanges{3}, "3 uncommitted changes", false},
        {State::UntrackedFiles{Paths{"a"}}, "Untracked: a", false},
        {State::UntrackedFiles{Paths{"a", "b", "c"}}, "Untracked: a, b, c", false},
        {State::UntrackedFiles{Paths{"a", "b", "c", "d"}}, "Untracked: a, b, c and 1 more", false},
        {State::UntrackedFiles{Paths{"a", "b", "c", "d", "e"}}, "Untracked: a, b, c and 2 more", false},
        {State::RemoteBranchDeleted{}, "Branch deleted on the remote, usually after merging", true},
        {State::Pushed{}, "Pushed, not merged", true},
        {State::Locked{}, "Locked with git worktree lock", false},
        {State::Missing{}, "Folder is gone", false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.summary);
        EXPECT_EQ(row.state.summary(), row.summary);
        EXPECT_EQ(row.state.canRemove(), row.canRemove);
        EXPECT_EQ(worktree(row.state).canRemove(), row.canRemove);
        EXPECT_EQ(worktree(row.state).summary(), row.summary);
    }
}

TEST(WorktreeTest, FinishedNeedsADoneStateAndNothingLeftBehind) {
    EXPECT_TRUE(worktree(State::Merged{"main"}).isFinished());
    EXPECT_TRUE(worktree(State::PullRequestMerged{3}).isFinished());
    EXPECT_TRUE(worktree(State::RemoteBranchDeleted{}).isFinished());
    EXPECT_FALSE(worktree(State::Pushed{}).isFinished());
    EXPECT_FALSE(worktree(State::PullRequestOpen{3}).isFinished());

    auto withEnv = worktree(State::Merged{"main"});
    withEnv.ignoredFiles = {".env"};
    EXPECT_FALSE(withEnv.isFinished());
    EXPECT_TRUE(withEnv.canRemove());

    auto withRepository = worktree(State::Merged{"main"});
    withRepository.nestedRepositories = {"/home/u/wt/feature/vendor"};
    EXPECT_FALSE(withRepository.isFinished());
    EXPECT_FALSE(withRepository.canRemove());
}

TEST(WorktreeTest, DetachedHeadWithCommitsOnNoBranchIsKept) {
    EXPECT_FALSE(worktree(State::UnpushedCommits{2}, std::nullopt).canRemove());
    EXPECT_TRUE(worktree(State::UnpushedCommits{2}, "feature").canRemove());
    EXPECT_TRUE(worktree(State::Pushed{}, std::nullopt).canRemove());
}

TEST(WorktreeTest, NameAndIdentity) {
    const auto w = worktree(State::Pushed{});
    EXPECT_EQ(w.name(), "feature");
    EXPECT_EQ(w.id(), "/home/u/wt/feature");
    EXPECT_NE(w, worktree(State::Pushed{}, "other"));
    EXPECT_NE(w, worktree(State::PullRequestOpen{1}));
    EXPECT_NE(worktree(State::PullRequestOpen{1}), worktree(State::PullRequestOpen{2}));
}

TEST(WorktreesParseTest, PorcelainRecords) {
    using Worktrees::Record;
    using namespace std::string_literals;
    struct Row {
        const char* name;
        std::string output;
        std::vector<Record> records;
    };
    const Row rows[] = {
        {"empty", "", {}},
        {"main only", "worktree /r\0HEAD 1234\0branch refs/heads/main\0\0"s, {{"/r", "main", false, false}}},
        {"detached, locked with and without reason, prunable",
         "worktree /r\0HEAD 1\0branch refs/heads/main\0\0"
         "worktree /w/a\0HEAD 2\0detached\0locked\0\0"
         "worktree /w/b\0HEAD 3\0branch refs/heads/team/fix/x\0locked on a USB disk\0\0"
         "worktree /w/c\0HEAD 4\0branch refs/heads/c\0prunable gitdir file points to non-existent location\0\0"s,
         {{"/r", "main", false, false},
          {"/w/a", std::nullopt, true, false},
          {"/w/b", "team/fix/x", true, false},
          {"/w/c", "c", false, true}}},
        {"newline in a path survives",
         "worktree /w/two\nlines\0branch refs/heads/b\0\0"s,
         {{"/w/two\nlines", "b", false, false}}},
        {"fields before the first worktree and look-alikes are ignored",
         "locked\0branch refs/heads/x\0worktree /w\0lockedx\0prunablefoo\0bare\0\0"s,
         {{"/w", std::nullopt, false, false}}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(Worktrees::parse(row.output), row.records);
    }
}

TEST(WorktreesTest, QuietEnvironment) {
    const std::map<std::string, std::string> expected = {{"GIT_OPTIONAL_LOCKS", "0"}, {"GIT_TERMINAL_PROMPT", "0"}};
    EXPECT_EQ(Worktrees::quietly(), expected);
}

} // namespace
} // namespace tidra
