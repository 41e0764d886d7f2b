#include "cleanup/Homebrew.h"

#include "support/FakeTool.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

namespace tidra {
namespace {

using test::reply;

using Strings = std::vector<std::string>;

TEST(HomebrewTest, ToolLocationsInOrder) {
    EXPECT_EQ(Homebrew::toolLocations("/home/u"),
              (Strings{"/opt/homebrew/bin/brew", "/usr/local/bin/brew", "/home/linuxbrew/.linuxbrew/bin/brew",
                       "/home/u/.linuxbrew/bin/brew"}));
}

TEST(HomebrewTest, ParseEstimate) {
    const std::pair<const char*, std::optional<std::int64_t>> rows[] = {
        {"This operation would free approximately 1.5GB of disk space.", 1'610'612'736},
        {"would free approximately 10.5 MB of disk space", 11'010'048},
        {"approximately 512KB", 524'288},
        {"approximately 2TB", 2'199'023'255'552},
        {"approximately 300B", 300},
        {"approximately 0B", 0},
        {"approximately\t7 \tGB", std::nullopt}, // the phrase needs the blank after the word
        {"approximately 7\t GB", 7'516'192'768},
        {"approximately 7\nGB", 7},               // a unit after a line break counts plain bytes
        {"Approximately 1GB", std::nullopt},
        {"no estimate here", std::nullopt},
        {"", std::nullopt},
        {"approximately 1.2.3MB", std::nullopt},
        {"approximately .MB", std::nullopt},
        {"approximately 5 files, approximately 3MB", 3'145'728},
        {"approximately 3MB then approximately 1GB", 3'145'728},
        {"approximately 4kB", std::nullopt},
        {"approximately 4 XB", std::nullopt},
        {"approximately 9000000000TB", std::nullopt},
        {"approximately 8388607TB", 9'223'370'937'343'148'032},
        {"approximately 8388608TB", std::nullopt},
    };
    for (const auto& [text, bytes] : rows) EXPECT_EQ(Homebrew::parseEstimate(text), bytes) << text;
}

struct Fixture {
    test::TempHome home;
    std::string first = home.dir("opt") + "/brew";
    std::string second = home.dir("local") + "/brew";
    Strings locations() const { return {first, second}; }
};

TEST(HomebrewTest, ItemFromTheFirstExecutableLocation) {
    Fixture f;
    test::FakeTool brew(f.second, reply("==> This operation would free approximately 2MB of disk space.\n"));
    const auto item = Homebrew::cleanupItem(f.locations());
    ASSERT_TRUE(item);
    EXPECT_EQ(*item, (CleanupItem{"homebrew.oldVersions", "Homebrew: old versions", CleanupCategory::developerTools,
                                  "None. Homebrew keeps them only so you could switch back.", Safety::safe,
                                  CleanupAction::Run{f.second, {"cleanup"}, {}}, false, 1'000'000, 2'097'152}));
    EXPECT_EQ(brew.arguments(), (Strings{"cleanup", "--dry-run"}));
    const auto env = brew.environment();
    EXPECT_EQ(env.at("HOMEBREW_NO_AUTO_UPDATE"), "1");
    EXPECT_EQ(env.at("HOMEBREW_NO_ENV_HINTS"), "1");
    EXPECT_TRUE(env.count("PATH"));
}

TEST(HomebrewTest, DryRunOutcomes) {
    struct Row {
        const char* name;
        test::FakeTool::Answer answer;
        std::optional<std::int64_t> bytes;
    };
    const Row rows[] = {
        {"estimate on standard error", reply("", 0, "approximately 1KB"), 1'024},
        {"standard output searched first", reply("approximately 1MB", 0, "approximately 1KB"),
         1'048'576},
        {"no estimate", reply("Nothing to clean\n"), std::nullopt},
        {"zero estimate", reply("approximately 0B"), std::nullopt},
        {"non-zero exit", reply("approximately 1GB", 1), std::nullopt},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Fixture f;
        test::FakeTool brew(f.first, row.answer);
        const auto item = Homebrew::cleanupItem(f.locations());
        EXPECT_EQ(item ? item->knownBytes : std::nullopt, row.bytes);
    }
}

TEST(HomebrewTest, NoToolRunsNothing) {
    Fixture f;
    f.home.file("opt/brew", 1); // present but not executable
    EXPECT_FALSE(Homebrew::cleanupItem(f.locations()));
    EXPECT_FALSE(Homebrew::cleanupItem({}));
}

} // namespace
} // namespace tidra
