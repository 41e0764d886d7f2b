#include "cleanup/CleanupItem.h"

#include "support/TempHome.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace tidra {
namespace {

CleanupItem itemWith(CleanupAction action, std::optional<std::int64_t> knownBytes) {
    return CleanupItem{"test.item", "Test", CleanupCategory::developerTools, "Gone for good.", Safety::safe,
                       std::move(action), false, 1, knownBytes};
}

std::int64_t allocated(const std::string& path) {
    struct stat st{};
    EXPECT_EQ(::lstat(path.c_str(), &st), 0) << path;
    return std::int64_t(st.st_blocks) * 512;
}

TEST(CleanupItemMeasureTest, KnownBytesWinWithoutTouchingTheDisk) {
    test::TempHome home;
    home.file("cache/data", 50'000);
    for (const std::int64_t known : {0LL, 123'456'789LL}) {
        const SizeResult result = itemWith(CleanupAction::Delete{{home.path("cache")}}, known).measure();
        EXPECT_EQ(result, SizeResult(known));
        EXPECT_EQ(result.files, 0);
        EXPECT_FALSE(result.newestModification.has_value());
    }
}

TEST(CleanupItemMeasureTest, OtherwiseMeasuresTheActionsPaths) {
    test::TempHome home;
    const std::int64_t cache = allocated(home.file("cache/data", 50'000));
    const std::int64_t worktree = allocated(home.file("worktree/src", 20'000));
    const std::int64_t build = allocated(home.file("worktree-build/out", 30'000));

    struct Case {
        const char* name;
        CleanupAction action;
        std::int64_t bytes;
        std::int64_t files;
    };
    const Case cases[] = {
        {"delete", CleanupAction::Delete{{home.path("cache"), home.path("worktree")}}, cache + worktree, 2},
        {"run measures what it affects", CleanupAction::Run{"/bin/true", {home.path("cache")}, {home.path("worktree")}},
         worktree, 1},
        {"run without affects", CleanupAction::Run{"/bin/true", {}, {}}, 0, 0},
        {"worktree alone, not what is cleared first",
         CleanupAction::RemoveWorktree{home.path("cache"), home.path("worktree"), {home.path("worktree-build")}},
         worktree, 1},
    };
    for (const auto& c : cases) {
        const SizeResult result = itemWith(c.action, std::nullopt).measure();
        EXPECT_EQ(result.bytes, c.bytes) << c.name;
        EXPECT_EQ(result.files, c.files) << c.name;
    }
    EXPECT_GT(build, 0);  // data was there to be wrongly counted
}

} // namespace
} // namespace tidra
