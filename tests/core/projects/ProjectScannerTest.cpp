#include "projects/ProjectScanner.h"

#include "support/GitFixture.h"
#include "support/TempHome.h"
#include "support/FileProbe.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <mutex>

namespace tidra {
namespace {

using test::GitFixture;
using Stage = ProjectScanner::Stage;

using test::allocated;

// A repository with node_modules, a finished worktree and a worktree with uncommitted work,
// both outside the scanned root, each with node_modules; one package file is hard-linked into
// all three node_modules folders.
struct Projects {
    GitFixture git;
    std::string done, dirty;
    std::int64_t shared = 0, doneOwn = 0;

    Projects() {
        git.ignore("node_modules");
        git.commit(git.repo(), "package.json", "{}");
        done = git.addWorktree("done", "done");
        dirty = git.addWorktree("dirty", "dirty");
        // Larger than the finished worktree, yet sorted after it.
        git.write(dirty, "README", std::string(300000, 'x'));
        shared = allocated(git.home.file("repo/node_modules/lib/big.js", 64000));
        git.home.hardlink("wt/done/node_modules/lib/big.js", "repo/node_modules/lib/big.js");
        git.home.hardlink("wt/dirty/node_modules/lib/big.js", "repo/node_modules/lib/big.js");
        doneOwn = allocated(git.home.file("wt/done/node_modules/own.js", 32000));
        git.home.file("wt/done/.DS_Store", 10);
    }

    ProjectScan scan(const ProjectScanner::Guardian& guardian, const std::vector<std::string>& working = {},
                     const ProjectScanner::StageReport& stage = {}) const {
        return ProjectScanner::scan({git.home.path("repo")}, git.home.root(), guardian, working, stage, {},
                                    {{Worktrees::run, {}}, {}});
    }
};

bool allowAll(const std::string&) { return true; }

TEST(ProjectScannerTest, RowsOwnersAndTotalsOfARepositoryWithTwoWorktrees) {
    Projects p;
    std::mutex lock;
    std::vector<Stage> stages;
    const auto result = p.scan(allowAll, {p.dirty + "/src", p.done + "2"}, [&](const Stage& stage) {
        const std::lock_guard guard(lock);
        stages.push_back(stage);
    });

    ASSERT_GE(stages.size(), 3u);
    EXPECT_EQ(stages[0], Stage(Stage::FindingProjects{}));
    EXPECT_EQ(stages[1], Stage(Stage::CheckingWorktrees{1}));
    EXPECT_TRUE(std::holds_alternative<Stage::Measuring>(stages.back().value));
    EXPECT_EQ(result.roots, (std::vector<std::string>{p.git.home.path("repo")}));

    // The finished worktree's node_modules belongs to its row, not to a row of its own.
    ASSERT_EQ(result.artifacts.size(), 2u);
    EXPECT_EQ(result.artifacts[0].path, p.git.repo() + "/node_modules");
    EXPECT_EQ(result.artifacts[0].projectPath, p.git.repo());
    EXPECT_EQ(result.artifacts[1].path, p.dirty + "/node_modules");
    EXPECT_EQ(result.artifacts[1].projectPath, p.dirty);
    for (const auto& row : result.artifacts) {
        EXPECT_EQ(row.kind.folder, "node_modules");
        EXPECT_EQ(row.realBytes, 0) << row.path;  // its one file is shared with the other two
        EXPECT_GE(row.apparentBytes, p.shared);
        EXPECT_EQ(ProjectScan::action(row), CleanupAction(CleanupAction::Delete{{row.path}}));
    }

    ASSERT_EQ(result.worktrees.size(), 2u);
    const auto& done = result.worktrees[0];
    const auto& dirty = result.worktrees[1];
    EXPECT_EQ(done.id(), p.done);
    EXPECT_TRUE(done.worktree.canRemove());
    EXPECT_FALSE(done.isInUse);
    EXPECT_TRUE(done.lastChange.has_value());
    EXPECT_EQ(done.generated, (std::vector<std::string>{p.done + "/node_modules"}));
    ASSERT_EQ(done.owners.size(), 2u);
    EXPECT_GE(done.realBytes, p.doneOwn);
    EXPECT_LT(done.realBytes, done.apparentBytes);
    struct stat folder{};
    ASSERT_EQ(::lstat(p.done.c_str(), &folder), 0);
    EXPECT_EQ(ProjectScan::action(done),
              CleanupAction(CleanupAction::RemoveWorktree{p.git.repo(), p.done,
                                                          {p.done + "/node_modules", p.done + "/.DS_Store"},
                                                          folder.st_dev, folder.st_ino}));

    EXPECT_EQ(dirty.id(), p.dirty);
    EXPECT_FALSE(dirty.worktree.canRemove());
    EXPECT_GT(dirty.realBytes, done.realBytes);
    EXPECT_TRUE(dirty.isInUse);
    EXPECT_EQ(dirty.generated, (std::vector<std::string>{p.dirty + "/node_modules"}));
    // The dirty worktree's artifact has a row and stays among the worktree's owners.
    EXPECT_NE(std::find(dirty.owners.begin(), dirty.owners.end(), result.artifacts[1].owner), dirty.owners.end());

    // The shared file is freed once all three holders go, and counted once.
    const auto all = result.freed({result.artifacts[0].path, result.artifacts[1].path}, {p.done, p.dirty});
    const auto parts = result.freed({result.artifacts[0].path}, {}) + result.freed({}, {p.done, p.dirty});
    EXPECT_EQ(all, parts + p.shared);
}

TEST(ProjectScannerTest, GuardRefusalsDropRowsAndFreeTheArtifactsInside) {
    Projects p;
    const auto result = p.scan([&](const std::string& path) { return path != p.done && path != p.dirty + "/node_modules"; });
    ASSERT_EQ(result.worktrees.size(), 1u);
    EXPECT_EQ(result.worktrees[0].id(), p.dirty);
    std::vector<std::string> paths;
    for (const auto& row : result.artifacts) paths.push_back(row.path);
    EXPECT_EQ(paths, (std::vector<std::string>{p.git.repo() + "/node_modules", p.done + "/node_modules"}));
}

TEST(ProjectScannerTest, CancelledScanAsksGitNothingAndKeepsItsForm) {
    Projects p;
    std::atomic<int> gitCalls = 0;
    const Worktrees::Git counting = [&](const std::string& path, const std::vector<std::string>& arguments) {
        ++gitCalls;
        return Worktrees::run(path, arguments);
    };
    const auto result = ProjectScanner::scan({p.git.home.path("repo")}, p.git.home.root(), allowAll, {}, {},
                                             [] { return true; }, {{counting, {}}, {}});
    EXPECT_EQ(gitCalls.load(), 0);
    EXPECT_TRUE(result.worktrees.empty());
    EXPECT_EQ(result.account.apparent.size(), result.artifacts.size());
}

TEST(ProjectScannerTest, EmptyRootsReportBothStagesAndGiveAnEmptyScan) {
    test::TempHome home;
    home.dir("code");
    std::vector<Stage> stages;
    const auto result = ProjectScanner::scan({home.path("code")}, home.root(), allowAll, {},
                                             [&](const Stage& stage) { stages.push_back(stage); });
    ASSERT_GE(stages.size(), 2u);
    EXPECT_EQ(stages[0], Stage(Stage::FindingProjects{}));
    EXPECT_EQ(stages[1], Stage(Stage::CheckingWorktrees{0}));
    EXPECT_TRUE(result.artifacts.empty());
    EXPECT_TRUE(result.worktrees.empty());
    EXPECT_EQ(result.account, SpaceAccount{});
}

TEST(ProjectScannerTest, ArtifactRowsByProjectThenLargestFirst) {
    test::TempHome home;
    const auto base = test::realPath(home.root());
    home.file("code/b/Cargo.toml", 10);
    home.file("code/b/target/out", 20000);
    home.file("code/a/package.json", 10);
    home.file("code/a/node_modules/x", 20000);
    home.file("code/a/pubspec.yaml", 10);
    home.file("code/a/build/y", 200000);
    const auto result = ProjectScanner::scan({home.path("code")}, home.root(), allowAll, {}, {}, {}, {{}, {}});
    std::vector<std::string> paths;
    for (const auto& row : result.artifacts) paths.push_back(row.path.substr(base.size() + 1));
    EXPECT_EQ(paths, (std::vector<std::string>{"code/a/build", "code/a/node_modules", "code/b/target"}));
}

TEST(ProjectScannerTest, CacheFoldersThatExist) {
    test::TempHome home;
    EXPECT_TRUE(ProjectScanner::cacheFolders(home.root()).empty());
    home.dir("Library/pnpm/store");
    EXPECT_EQ(ProjectScanner::cacheFolders(home.root()),
              (std::vector<std::string>{test::realPath(home.root()) + "/Library/pnpm/store"}));
    home.file(".yarn/berry/cache", 1);
    home.dir(".local/share/pnpm/store/v3");
    EXPECT_EQ(ProjectScanner::cacheFolders(home.root()).size(), 3u);
}

TEST(ProjectScannerTest, ThePathGuardDecidesWhatMayBeOffered) {
    test::TempHome home, elsewhere;
    home.file("code/a/package.json", 10);
    home.file("code/a/node_modules/x", 20000);
    const auto scanWith = [&](const PathGuard& guard) {
        return ProjectScanner::scan({home.path("code")}, home.root(), guard, {}, {}, {}, {{}, {}}).artifacts.size();
    };
    EXPECT_EQ(scanWith(PathGuard(home.root(), "/Applications")), 1u);
    // Outside the guard's home folder nothing may be deleted, so nothing is offered.
    EXPECT_EQ(scanWith(PathGuard(elsewhere.root(), "/Applications")), 0u);
}

} // namespace
} // namespace tidra
