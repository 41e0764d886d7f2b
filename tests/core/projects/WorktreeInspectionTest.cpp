#include "support/GitFixture.h"
#include "projects/WorktreeInspection.h"
#include "projects/Worktrees.h"
#include "support/FakeTool.h"
#include "support/RunAsNobody.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <atomic>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <functional>

namespace tidra {
namespace {

using State = Worktree::State;
using Paths = std::vector<std::string>;
using test::GitFixture;

// A git that answers `answer` to one subcommand and runs the real git for the rest.
Worktrees::Git failing(const std::string& subcommand, Shell::Output answer = {1, "", "fatal", false}) {
    return [subcommand, answer](const std::string& path, const std::vector<std::string>& arguments) {
        if (!arguments.empty() && arguments[0] == subcommand) return std::optional<Shell::Output>(answer);
        return Worktrees::run(path, arguments);
    };
}

// What a row sets up: the worktree to look at and what the inspection is given.
struct Scene {
    std::string worktree;
    Paths generated = {};    // relative to the worktree
    std::string ghJson = {}; // a fake gh answering this when not empty
    Worktrees::Git git = Worktrees::run;
};

struct Expected {
    State state;
    bool canRemove;
    Paths ignored = {};
    Paths clutter = {};  // relative to the worktree
    Paths nested = {};   // relative to the worktree
    bool lastCommit = true;
};

struct Row {
    const char* name;
    std::function<Scene(GitFixture&)> build;
    Expected expected;
};

std::string pullJson(int number, const char* state, const std::string& head, const std::string& oid, bool cross = false) {
    return R"([{"number":)" + std::to_string(number) + R"(,"state":")" + state + R"(","headRefName":")" + head +
           R"(","headRefOid":")" + oid + R"(","isCrossRepository":)" + (cross ? "true" : "false") + "}]";
}

// A branch pushed with an upstream and then deleted on the remote.
Scene goneUpstream(GitFixture& f, Worktrees::Git git) {
    const auto wt = f.addWorktree("g", "g");
    f.commit(wt, "g.txt");
    f.git(wt, {"push", "-q", "-u", "origin", "g"});
    f.git(wt, {"push", "-q", "origin", "--delete", "g"});
    return Scene{wt, {}, {}, std::move(git)};
}

Paths under(const std::string& root, const Paths& relative) {
    Paths full;
    for (const auto& path : relative) full.push_back(root + "/" + path);
    return full;
}

const Row rows[] = {
    {"merged into the default branch",
     [](GitFixture& f) { return Scene{f.addWorktree("a", "a")}; },
     {State::Merged{"main"}, true}},
    {"merged through a squashed pull request",
     [](GitFixture& f) {
         const auto wt = f.addWorktree("b", "b");
         const auto head = f.commit(wt, "b.txt");
         f.git(wt, {"push", "-q", "-u", "origin", "b"});
         return Scene{wt, {}, pullJson(7, "MERGED", "b", head)};
     },
     {State::PullRequestMerged{7}, true}},
    {"merged pull request with local work beyond its head",
     [](GitFixture& f) {
         const auto wt = f.addWorktree("b", "b");
         const auto head = f.commit(wt, "b.txt");
         f.git(wt, {"push", "-q", "-u", "origin", "b"});
         f.commit(wt, "more.txt");
         return Scene{wt, {}, pullJson(7, "MERGED", "b", head)};
     },
     {State::UnpushedCommits{1}, true}},
    {"open pull request",
     [](GitFixture& f) {
         const auto wt = f.addWorktree("b", "b");
         return Scene{wt, {}, pullJson(8, "OPEN", "b", f.commit(wt, "b.txt"))};
     },
     {State::PullRequestOpen{8}, true}},
    {"a fork's merged pull request from a branch of the same name",
     [](GitFixture& f) {
         const auto wt = f.addWorktree("p", "patch-1");
         const auto head = f.commit(wt, "p.txt");
         f.git(wt, {"push", "-q", "-u", "origin", "patch-1"});
         return Scene{wt, {}, pullJson(9, "MERGED", "patch-1", head, true)};
     },
     {State::Pushed{}, true}},
    {"branch deleted on the remote",
     [](GitFixture& f) { return goneUpstream(f, Worktrees::run); },
     {State::RemoteBranchDeleted{}, true}},
    {"upstream lookup fails: never reads as deleted",
     [](GitFixture& f) { return goneUpstream(f, failing("for-each-ref", {0, "[gone]", "", true})); },
     {State::UnpushedCommits{1}, true}},
    {"unpushed commits on a branch",
     [](GitFixture& f) {
         const auto wt = f.addWorktree("u", "u");
         f.commit(wt, "1.txt");
         f.commit(wt, "2.txt");
         return Scene{wt};
     },
     {State::UnpushedCommits{2}, true}},
    {"pushed, not merged",
     [](GitFixture& f) {
         const auto wt = f.addWorktree("p", "p");
         f.commit(wt, "p.txt");
         f.git(wt, {"push", "-q", "-u", "origin", "p"});
         return Scene{wt};
     },
     {State::Pushed{}, true}},
    {"uncommitted changes: a rename counts once",
     [](GitFixture& f) {
         const auto wt = f.addWorktree("c", "c");
         f.commit(wt, "old.txt");
         f.git(wt, {"mv", "old.txt", "new.txt"});
         f.write(wt, "README", "changed");
         f.write(wt, ".DS_Store");
         return Scene{wt};
     },
     {State::UncommittedChanges{2}, false}},
    {"untracked files in git's order",
     [](GitFixture& f) {
         const auto wt = f.addWorktree("t", "t");
         f.write(wt, "notes.txt");
         f.write(wt, "docs/plan.md");
         return Scene{wt};
     },
     {State::UntrackedFiles{Paths{"docs", "notes.txt"}}, false}},
    {"only clutter and generated folders",
     [](GitFixture& f) {
         f.commit(f.repo(), "web/package.json");
         f.git(f.repo(), {"push", "-q"});
         const auto wt = f.addWorktree("o", "o");
         f.write(wt, ".DS_Store");
         f.write(wt, "web/node_modules/left-pad/index.js");
         f.write(wt, "tools/.DS_Store");
         f.write(wt, "tools/node_modules/x.js");
         return Scene{wt, {"web/node_modules", "tools/node_modules"}};
     },
     {State::Merged{"main"}, true, {}, {".DS_Store", "tools/.DS_Store"}}},
    {"a real file beside generated folders",
     [](GitFixture& f) {
         const auto wt = f.addWorktree("o", "o");
         f.write(wt, "tools/.DS_Store");
         f.write(wt, "tools/node_modules/x.js");
         f.write(wt, "tools/todo.txt");
         return Scene{wt, {"tools/node_modules"}};
     },
     {State::UntrackedFiles{Paths{"tools"}}, false}},
    {"ignored .env is kept, files that rebuild themselves are not",
     [](GitFixture& f) {
         f.ignore(".env");
         f.ignore("dist/");
         f.ignore("*.tsbuildinfo");
         const auto wt = f.addWorktree("e", "e");
         f.write(wt, ".env", "TOKEN=1");
         f.write(wt, "dist/app.js");
         f.write(wt, "tsconfig.tsbuildinfo");
         return Scene{wt};
     },
     {State::Merged{"main"}, true, {".env"}}},
    {"ignored nested repository",
     [](GitFixture& f) {
         f.ignore("vendor/");
         const auto wt = f.addWorktree("n", "n");
         f.git(wt, {"init", "-q", "vendor/lib"});
         f.write(wt, "vendor/lib/work.txt", "not committed anywhere");
         return Scene{wt};
     },
     {State::Merged{"main"}, false, {"vendor"}, {}, {"vendor"}}},
    {"nested repository inside a folder that otherwise rebuilds itself",
     [](GitFixture& f) {
         f.ignore("dist/");
         const auto wt = f.addWorktree("n", "n");
         f.git(wt, {"init", "-q", "dist"});
         return Scene{wt};
     },
     {State::Merged{"main"}, false, {}, {}, {"dist"}}},
    {"locked",
     [](GitFixture& f) {
         const auto wt = f.addWorktree("l", "l");
         f.git(f.repo(), {"worktree", "lock", "--reason", "on a stick", wt});
         return Scene{wt};
     },
     {State::Locked{}, false, {}, {}, {}, false}},
    {"folder deleted",
     [](GitFixture& f) {
         const auto wt = f.addWorktree("m", "m");
         std::filesystem::remove_all(wt);
         return Scene{wt};
     },
     {State::Missing{}, false, {}, {}, {}, false}},
    {"detached HEAD with commits on no branch",
     [](GitFixture& f) {
         const auto wt = f.addWorktree("d", "");
         f.commit(wt, "lost.txt");
         return Scene{wt};
     },
     {State::UnpushedCommits{1}, false}},
    {"detached HEAD whose commits a local branch holds",
     [](GitFixture& f) {
         const auto wt = f.addWorktree("d", "");
         f.git(f.repo(), {"branch", "keep", f.commit(wt, "kept.txt")});
         return Scene{wt};
     },
     {State::Pushed{}, true}},
    {"detached HEAD on the default branch",
     [](GitFixture& f) { return Scene{f.addWorktree("d", "")}; },
     {State::Merged{"main"}, true}},
    {"status fails",
     [](GitFixture& f) { return Scene{f.addWorktree("s", "s"), {}, {}, failing("status")}; },
     {State::UntrackedFiles{Paths{"git status failed"}}, false}},
    {"merge test fails: never reads as merged",
     [](GitFixture& f) { return Scene{f.addWorktree("s", "s"), {}, {}, failing("merge-base")}; },
     {State::Pushed{}, true}},
    {"commit count fails",
     [](GitFixture& f) {
         const auto wt = f.addWorktree("r", "r");
         f.commit(wt, "r.txt");
         return Scene{wt, {}, {}, failing("rev-list")};
     },
     {State::UntrackedFiles{Paths{"git rev-list failed"}}, false}},
    {"commit count times out",
     [](GitFixture& f) {
         const auto wt = f.addWorktree("r", "r");
         f.commit(wt, "r.txt");
         return Scene{wt, {}, {}, failing("rev-list", {0, "0\n", "", true})};
     },
     {State::UntrackedFiles{Paths{"git rev-list failed"}}, false}},
};

class WorktreeStatesTest : public testing::TestWithParam<Row> {};

TEST_P(WorktreeStatesTest, OfARealWorktree) {
    const auto& row = GetParam();
    GitFixture fixture;
    auto scene = row.build(fixture);
    Worktrees::Tools tools{scene.git, {}};
    std::optional<test::FakeTool> gh;
    if (!scene.ghJson.empty()) {
        fixture.git(fixture.repo(), {"remote", "set-url", "origin", "https://github.com/owner/repo.git"});
        fixture.home.dir("bin");
        gh.emplace(fixture.home.path("bin/gh"), test::FakeTool::Answer{scene.ghJson, "", 0, 0, false});
        tools.ghLocations = {gh->path()};
    }
    const auto generated = under(scene.worktree, scene.generated);
    const auto found = Worktrees::list(fixture.repo(), [&](const std::string&) { return generated; }, tools);
    ASSERT_EQ(found.size(), 1u);
    const auto& w = found[0];
    const auto& want = row.expected;
    EXPECT_EQ(w.path, scene.worktree);
    EXPECT_EQ(w.repository, fixture.repo());
    EXPECT_EQ(w.state, want.state) << w.summary();
    EXPECT_EQ(w.canRemove(), want.canRemove);
    EXPECT_EQ(w.ignoredFiles, want.ignored);
    EXPECT_EQ(w.clutter, under(scene.worktree, want.clutter));
    EXPECT_EQ(w.nestedRepositories, under(scene.worktree, want.nested));
    EXPECT_EQ(w.lastCommit.has_value(), want.lastCommit);
}

std::string rowName(const testing::TestParamInfo<Row>& info) {
    std::string name;
    for (const char* c = info.param.name; *c; ++c) name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
    return name;
}

INSTANTIATE_TEST_SUITE_P(Rows, WorktreeStatesTest, testing::ValuesIn(rows), rowName);

TEST(WorktreeInspectionTest, ListingSortsByPathAndAsksForGeneratedFoldersOncePerWorktree) {
    GitFixture fixture;
    const auto b = fixture.addWorktree("b", "b");
    const auto a = fixture.addWorktree("a", "a");
    fixture.addWorktree("gone", "gone");
    std::filesystem::remove_all(fixture.home.path("wt/gone"));
    std::mutex lock;
    Paths asked;
    const auto found = Worktrees::list(
        fixture.repo(),
        [&](const std::string& path) {
            const std::lock_guard guard(lock);
            asked.push_back(path);
            return Paths{};
        },
        {Worktrees::run, {}});
    ASSERT_EQ(found.size(), 3u);
    EXPECT_EQ(found[0].path, a);
    EXPECT_EQ(found[1].path, b);
    EXPECT_EQ(found[1].branch, "b");
    EXPECT_EQ(found[2].state, State{State::Missing{}});
    // Each folder as it was seen, so that removing it later cannot reach another one in its place.
    using Identity = std::pair<std::uint64_t, std::uint64_t>;
    const auto identity = [](const std::string& path) {
        struct stat folder{};
        return ::lstat(path.c_str(), &folder) == 0 ? Identity(folder.st_dev, folder.st_ino) : Identity(0, 0);
    };
    EXPECT_NE(identity(a), identity(b));
    for (const auto& w : found) EXPECT_EQ(Identity(w.device, w.inode), identity(w.path)) << w.path;
    std::sort(asked.begin(), asked.end());
    EXPECT_EQ(asked.size(), 3u);
}

TEST(WorktreeInspectionTest, RepositoryWithoutLinkedWorktreesCostsOneCommand) {
    GitFixture fixture;
    std::atomic<int> calls = 0;
    const Worktrees::Git counting = [&](const std::string& path, const std::vector<std::string>& arguments) {
        ++calls;
        return Worktrees::run(path, arguments);
    };
    EXPECT_TRUE(Worktrees::list(fixture.repo(), [](const std::string&) { return Paths{}; }, {counting, {}}).empty());
    EXPECT_EQ(calls, 1);
    EXPECT_TRUE(Worktrees::list(fixture.home.path("origin.git/hooks"), [](const std::string&) { return Paths{}; },
                                {counting, {}})
                    .empty());
}

TEST(WorktreeInspectionTest, MissingPlainFileAndLockedRunNoGit) {
    test::TempHome home;
    const auto file = home.file("not-a-folder");
    const auto folder = home.dir("locked");
    int calls = 0;
    const Worktrees::Git counting = [&](const std::string&, const std::vector<std::string>&) {
        ++calls;
        return std::optional<Shell::Output>();
    };
    const auto inspect = [&](const Worktrees::Record& record) {
        return Worktrees::inspect(record, home.root(), "origin/main", {}, {}, counting).state;
    };
    EXPECT_EQ(inspect({file, "x", false, false}), State{State::Missing{}});
    EXPECT_EQ(inspect({home.path("nowhere"), "x", false, false}), State{State::Missing{}});
    EXPECT_EQ(inspect({folder, "x", false, true}), State{State::Missing{}});
    EXPECT_EQ(inspect({folder, "x", true, false}), State{State::Locked{}});
    EXPECT_EQ(calls, 0);
}

TEST(WorktreesPathsTest, LinkedWorktreesAsRealPaths) {
    GitFixture fixture;
    EXPECT_TRUE(Worktrees::paths(fixture.repo()).empty());
    const auto a = fixture.addWorktree("a", "a");
    const auto b = fixture.addWorktree("b", "b");
    fixture.git(fixture.repo(), {"worktree", "lock", b});
    // git keeps the path it was given; one reached through a link must still match the finder's.
    fixture.home.symlink("link", fixture.home.path("wt"));
    const auto through = fixture.home.path("link/a/.git");
    std::ofstream(fixture.repo() + "/.git/worktrees/a/gitdir", std::ios::trunc) << through << "\n";
    ASSERT_NE(fixture.git(fixture.repo(), {"worktree", "list"}).find(fixture.home.path("link/a")), std::string::npos);
    EXPECT_EQ(Worktrees::paths(fixture.repo()), (Paths{a, b}));
    std::filesystem::remove_all(b);
    EXPECT_EQ(Worktrees::paths(fixture.repo()), (Paths{a, b}));
    EXPECT_TRUE(Worktrees::paths(fixture.home.root()).empty());
}

TEST(HoldsOnlyGeneratedTest, WhatCountsAsGenerated) {
    test::TempHome home;
    home.file("clean/.DS_Store");
    home.file("clean/sub/.DS_Store");
    home.file("clean/node_modules/pkg/index.js");
    home.file("work/.DS_Store");
    home.file("work/sub/notes.txt");
    home.symlink("link/dangling", "nowhere");
    home.dir("empty");
    const Paths generated = {home.path("clean/node_modules")};

    Paths clutter = {"before"};
    EXPECT_TRUE(Worktrees::holdsOnlyGenerated(home.path("clean"), generated, clutter));
    EXPECT_EQ(clutter, (Paths{"before", home.path("clean/.DS_Store"), home.path("clean/sub/.DS_Store")}));
    EXPECT_TRUE(Worktrees::holdsOnlyGenerated(home.path("empty"), generated, clutter));
    for (const char* folder : {"work", "link", "nowhere"}) {
        clutter = {};
        EXPECT_FALSE(Worktrees::holdsOnlyGenerated(home.path(folder), generated, clutter)) << folder;
        EXPECT_TRUE(clutter.empty()) << folder;
    }
    // A link to a clean folder is not walked through.
    home.symlink("toclean", home.path("clean"));
    EXPECT_FALSE(Worktrees::holdsOnlyGenerated(home.path("toclean"), generated, clutter));
}

TEST(HoldsOnlyGeneratedTest, WhatCannotBeReadIsNotGenerated) {
    test::TempHome home;
    home.file("web/.DS_Store");
    home.dir("web/private", 0700);
    home.file("web/private/key.pem");
    const auto answer = test::runAsNobody([&] {
        Paths clutter;
        const bool only = Worktrees::holdsOnlyGenerated(home.path("web"), {}, clutter);
        const bool repository = Worktrees::holdsRepository(home.path("web"), {});
        return std::string(only ? "only" : "work") + (clutter.empty() ? "" : " clutter") +
               (repository ? " maybe-repository" : "");
    });
    EXPECT_EQ(answer, "work maybe-repository");
}

TEST(HoldsRepositoryTest, AnyGitEntryBelowOutsideGeneratedFolders) {
    test::TempHome home;
    home.file("plain/a/b/c.txt");
    home.text("submodule/lib/.git", "gitdir: ../../.git/modules/lib\n");
    home.dir("deep/x/y/.git/objects");
    home.dir("generated/node_modules/dep/.git");
    const Paths generated = {home.path("generated/node_modules")};
    EXPECT_FALSE(Worktrees::holdsRepository(home.path("plain"), generated));
    EXPECT_TRUE(Worktrees::holdsRepository(home.path("submodule"), generated));
    EXPECT_TRUE(Worktrees::holdsRepository(home.path("deep"), generated));
    EXPECT_FALSE(Worktrees::holdsRepository(home.path("generated"), generated));
    EXPECT_TRUE(Worktrees::holdsRepository(home.path("nowhere"), generated));
}

} // namespace
} // namespace tidra
