#include "projects/ProjectScan.h"

#include <gtest/gtest.h>

namespace tidra {
namespace {

using ArtifactRow = ProjectScan::ArtifactRow;
using WorktreeRow = ProjectScan::WorktreeRow;

ArtifactRow artifact(std::string path, std::string project, std::int32_t owner) {
    return ArtifactRow{std::move(path), ArtifactKind::all().front(), std::move(project), std::nullopt, 0, 0, owner};
}

WorktreeRow worktreeRow(std::string path, std::vector<std::string> generated, std::vector<std::int32_t> owners,
                        std::vector<std::string> clutter = {}) {
    Worktree worktree{std::move(path), "/home/u/repo", "feature", Worktree::State::Pushed{}, std::nullopt,
                      {}, std::move(clutter), {}};
    return WorktreeRow{std::move(worktree), std::nullopt, false, 0, 0, std::move(generated), std::move(owners)};
}

// Two artifact folders hard-linking the same files (owners 0 and 1) and a worktree (owner 2)
// holding a third artifact folder (owner 3).
ProjectScan scan() {
    ProjectScan scan;
    scan.roots = {"/home/u/code/"};
    scan.artifacts = {artifact("/home/u/code/a/node_modules", "/home/u/code/a", 0),
                      artifact("/home/u/code/b/node_modules", "/home/u/code/b", 1),
                      artifact("/home/u/wt/f/target", "/home/u/wt/f", 3)};
    scan.worktrees = {worktreeRow("/home/u/wt/f", {"/home/u/wt/f/target"}, {2, 3})};
    scan.account = SpaceAccount{{0, 0, 0, 0}, {0, 0, 0, 0}, {{{0}, 1}, {{1}, 10}, {{0, 1}, 100}, {{2}, 1000}, {{3}, 10000}}};
    return scan;
}

TEST(ProjectScanTest, FreedCountsSharedDataOnceAllItsHoldersAreSelected) {
    const auto s = scan();
    const std::string a = "/home/u/code/a/node_modules", b = "/home/u/code/b/node_modules";
    const std::string target = "/home/u/wt/f/target", wt = "/home/u/wt/f";
    struct Case {
        ProjectScan::Ids artifacts, worktrees;
        std::int64_t freed;
    };
    const Case cases[] = {
        {{}, {}, 0},
        {{a}, {}, 1},
        {{b}, {}, 10},
        {{a, b}, {}, 111},
        {{}, {wt}, 11000},
        {{target}, {wt}, 11000},
        {{a, "/nowhere"}, {"/nowhere"}, 1},
    };
    for (const auto& c : cases) EXPECT_EQ(s.freed(c.artifacts, c.worktrees), c.freed);
}

TEST(ProjectScanTest, RemovingKeepsOrderRootsAndAccount) {
    const auto s = scan();
    EXPECT_EQ(s.removing({}, {}), s);

    const auto rest = s.removing({"/home/u/code/a/node_modules"}, {"/home/u/wt/f"});
    ASSERT_EQ(rest.artifacts.size(), 2u);
    EXPECT_EQ(rest.artifacts[0], s.artifacts[1]);
    EXPECT_EQ(rest.artifacts[1], s.artifacts[2]);
    EXPECT_TRUE(rest.worktrees.empty());
    EXPECT_EQ(rest.roots, s.roots);
    EXPECT_EQ(rest.account, s.account);
    EXPECT_EQ(rest.freed({"/home/u/code/b/node_modules"}, {}), 10);

    ProjectScan::Ids all;
    for (const auto& row : s.artifacts) all.insert(row.id());
    const auto empty = s.removing(all, {"/home/u/wt/f"});
    EXPECT_TRUE(empty.artifacts.empty());
    EXPECT_EQ(empty.account, s.account);
}

TEST(ProjectScanTest, ActionsDeleteArtifactsAndRemoveWorktreesAfterTheirGeneratedFolders) {
    const auto s = scan();
    EXPECT_EQ(ProjectScan::action(s.artifacts[0]), CleanupAction(CleanupAction::Delete{{"/home/u/code/a/node_modules"}}));

    auto row = worktreeRow("/home/u/wt/f", {"/home/u/wt/f/target", "/home/u/wt/f/node_modules"}, {2, 3, 4},
                           {"/home/u/wt/f/.DS_Store"});
    row.worktree.device = 2049;
    row.worktree.inode = 77;
    EXPECT_EQ(ProjectScan::action(row),
              CleanupAction(CleanupAction::RemoveWorktree{
                  "/home/u/repo", "/home/u/wt/f",
                  {"/home/u/wt/f/target", "/home/u/wt/f/node_modules", "/home/u/wt/f/.DS_Store"}, 2049, 77}));
    EXPECT_EQ(ProjectScan::action(worktreeRow("/home/u/wt/g", {}, {5})),
              CleanupAction(CleanupAction::RemoveWorktree{"/home/u/repo", "/home/u/wt/g", {}}));
}

TEST(ProjectScanTest, ProjectNameAndRelativePath) {
    struct Case {
        const char* path;
        const char* project;
        const char* name;
        const char* relative;
    };
    const Case cases[] = {
        {"/code/app/node_modules", "/code/app", "app", "node_modules"},
        {"/code/app/android/build", "/code/app", "app", "android/build"},
        {"/code/app", "/code/app", "app", "/code/app"},
        {"/code/app2/build", "/code/app", "app", "/code/app2/build"},
        {"/code/app/build", "/code/app/", "app", "/code/app/build"},
        {"/build", "/", "/", "/build"},
    };
    for (const auto& c : cases) {
        const auto row = artifact(c.path, c.project, 0);
        EXPECT_EQ(row.projectName(), c.name) << c.project;
        EXPECT_EQ(row.relativePath(), c.relative) << c.path;
    }
}

} // namespace
} // namespace tidra
