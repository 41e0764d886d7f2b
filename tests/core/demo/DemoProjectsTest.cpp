#include "demo/DemoMac.h"
#include "DemoMoment.h"

#include <gtest/gtest.h>

namespace tidra {
namespace {

using namespace std::chrono_literals;

using test::kHome;
using test::kNow;

ProjectScan::Ids allArtifacts(const ProjectScan& scan) {
    ProjectScan::Ids ids;
    for (const auto& row : scan.artifacts) ids.insert(row.path);
    return ids;
}

ProjectScan::Ids allWorktrees(const ProjectScan& scan) {
    ProjectScan::Ids ids;
    for (const auto& row : scan.worktrees) ids.insert(row.worktree.path);
    return ids;
}

TEST(DemoProjectsTest, RowsTakeOwnersInTableOrder) {
    const auto scan = DemoMac::projectScan(kHome, kNow);
    EXPECT_EQ(scan.roots, std::vector<std::string>{"/Users/demo/Projects"});
    EXPECT_EQ(DemoMac::projectRoots(kHome), scan.roots);
    ASSERT_EQ(scan.artifacts.size(), 11u);
    ASSERT_EQ(scan.worktrees.size(), 11u);
    for (std::size_t i = 0; i < scan.artifacts.size(); ++i) EXPECT_EQ(scan.artifacts[i].owner, std::int32_t(i));
    for (std::size_t i = 0; i < scan.worktrees.size(); ++i)
        EXPECT_EQ(scan.worktrees[i].owners, std::vector<std::int32_t>{std::int32_t(11 + i)});
    EXPECT_EQ(scan.account.apparent.size(), 22u);
    EXPECT_EQ(scan.account.sharedOutside, std::vector<std::int64_t>(22, 0));
    EXPECT_EQ(scan.account.combinations.size(), 22u);
    EXPECT_EQ(scan, DemoMac::projectScan(kHome, kNow));
}

TEST(DemoProjectsTest, ArtifactRowsUseTheCatalogueKinds) {
    const auto scan = DemoMac::projectScan(kHome, kNow);
    const auto& flutter = scan.artifacts[4];
    EXPECT_EQ(flutter.path, "/Users/demo/Projects/pixel-notes/build");
    EXPECT_EQ(flutter.kind.label, "Flutter build output");
    EXPECT_EQ(scan.artifacts[7].kind.label, "Gradle build output");
    EXPECT_EQ(scan.artifacts[3].kind.label, "Rust build output");
    EXPECT_EQ(flutter.projectLastChange, kNow - 64 * 24h);
    EXPECT_EQ(flutter.relativePath(), "build");
    EXPECT_EQ(flutter.projectName(), "pixel-notes");
    for (const auto& row : scan.artifacts)
        EXPECT_EQ(row.kind.safety, row.kind.folder == ".venv" ? Safety::review : Safety::safe) << row.path;
}

TEST(DemoProjectsTest, WorktreeRowsCarryTheirStates) {
    const auto scan = DemoMac::projectScan(kHome, kNow);
    const auto& checkout = scan.worktrees[0];
    EXPECT_EQ(checkout.worktree.path, "/Users/demo/Projects/acme-web-worktrees/checkout-flow");
    EXPECT_EQ(checkout.worktree.repository, "/Users/demo/Projects/acme-web");
    EXPECT_EQ(checkout.worktree.summary(), "Pull request #482 is open");
    EXPECT_TRUE(checkout.isInUse);
    EXPECT_EQ(checkout.lastChange, kNow - 11'232s);
    EXPECT_EQ(checkout.worktree.lastCommit, checkout.lastChange);
    EXPECT_EQ(checkout.generated,
              (std::vector<std::string>{checkout.worktree.path + "/node_modules", checkout.worktree.path + "/.next"}));

    const auto& release = scan.worktrees[10];
    EXPECT_EQ(release.worktree.repository, "/Users/demo/Projects/pixel-notes");
    EXPECT_EQ(release.generated, std::vector<std::string>{release.worktree.path + "/build"});

    std::vector<std::size_t> finished, kept;
    for (std::size_t i = 0; i < scan.worktrees.size(); ++i) {
        if (scan.worktrees[i].worktree.isFinished()) finished.push_back(11 + i);
        if (!scan.worktrees[i].worktree.canRemove()) kept.push_back(11 + i);
    }
    EXPECT_EQ(finished, (std::vector<std::size_t>{12, 13, 14, 15, 16, 21}));
    EXPECT_EQ(kept, std::vector<std::size_t>{20});
}

TEST(DemoProjectsTest, FreedSpaceIsTheSumOfTheSelectedRows) {
    const auto scan = DemoMac::projectScan(kHome, kNow);
    EXPECT_EQ(scan.freed({}, {}), 0);
    EXPECT_EQ(scan.freed(allArtifacts(scan), allWorktrees(scan)), 33'900'000'000);
    EXPECT_EQ(scan.freed(allArtifacts(scan), {}), 20'200'000'000);
    EXPECT_EQ(scan.freed({}, {scan.worktrees[0].worktree.path}), 1'600'000'000);
    EXPECT_EQ(scan.freed({scan.artifacts[0].path, scan.artifacts[9].path}, {}), 3'100'000'000);

    std::int64_t finder = 0, real = 0;
    for (const auto& row : scan.artifacts) finder += row.apparentBytes, real += row.realBytes;
    for (const auto& row : scan.worktrees) finder += row.apparentBytes, real += row.realBytes;
    EXPECT_EQ(finder, 59'080'000'000);
    EXPECT_GT(finder * 2, real * 3);
}

// What the projects screen selects first: finished idle worktrees and safe artifacts of projects
// left alone for a month.
TEST(DemoProjectsTest, DefaultSelectionOffersTwentyThreeAndAHalfGigabytes) {
    const auto scan = DemoMac::projectScan(kHome, kNow);
    ProjectScan::Ids artifacts, worktrees;
    for (const auto& row : scan.worktrees)
        if (row.worktree.isFinished() && !row.isInUse && row.lastChange < kNow - 24h) worktrees.insert(row.id());
    for (const auto& row : scan.artifacts)
        if (row.kind.safety == Safety::safe && row.projectLastChange < kNow - 30 * 24h) artifacts.insert(row.id());
    EXPECT_EQ(worktrees.size(), 6u);
    EXPECT_EQ(artifacts.size(), 7u);
    EXPECT_EQ(scan.freed({}, worktrees), 8'600'000'000);
    EXPECT_EQ(scan.freed(artifacts, {}), 14'900'000'000);
    EXPECT_EQ(scan.freed(artifacts, worktrees), 23'500'000'000);
}

TEST(DemoProjectsTest, HomeIsUsedAsGiven) {
    const auto scan = DemoMac::projectScan("/Users/demo/", kNow);
    EXPECT_EQ(scan.roots.front(), "/Users/demo//Projects");
    EXPECT_EQ(scan.worktrees[0].worktree.path, "/Users/demo//Projects/acme-web-worktrees/checkout-flow");
}

} // namespace
} // namespace tidra
