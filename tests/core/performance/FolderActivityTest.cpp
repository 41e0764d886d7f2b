#include "performance/FolderActivity.h"

#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <atomic>
#include <climits>
#include <thread>

namespace tidra {
namespace {

using namespace std::chrono_literals;
using ActivityTime = std::chrono::system_clock::time_point;

std::string real(const std::string& path) {
    char resolved[PATH_MAX];
    return realpath(path.c_str(), resolved) ? resolved : path;
}

// A clock that counts its readings and moves one second per reading.
struct FakeClock {
    std::atomic<int> readings{0};
    FolderActivity::Clock closure() {
        return [this] { return ActivityTime{} + std::chrono::seconds(++readings); };
    }
};

bool waitUntil(const std::function<bool()>& condition) {
    for (int i = 0; i < 6000; ++i) {
        if (condition()) return true;
        std::this_thread::sleep_for(10ms);
    }
    return false;
}

TEST(FolderActivityTest, TellsGeneratedPaths) {
    EXPECT_EQ(FolderActivity::generated().size(), 24u);
    const struct {
        const char* path;
        bool generated;
    } cases[] = {
        {"/p/src/main.ts", false},
        {"/p/node_modules/x/index.js", true},
        {"/p/.git/index", true},
        {"/p/dist", true},
        {"/p/a/.DS_Store", true},
        {"/p/server.log", true},
        {"/p/tsconfig.tsbuildinfo", true},
        {"/p/Build/x", false},
        {"/p/distribution/x", false},
        {"/p/.DS_Store.txt", false},
        {"/p/logs/x.logx", false},
        {"//p//target//", true},
        {"", false},
    };
    for (const auto& c : cases) EXPECT_EQ(FolderActivity::isGenerated(c.path), c.generated) << c.path;
}

TEST(FolderActivityTest, RecordsEachMatchingFolderOnceWithOneClockReading) {
    test::TempHome home;
    const std::string outer = home.dir("outer");
    const std::string inner = home.dir("outer/inner");
    const std::string other = home.dir("other");
    home.dir("real");
    const std::string link = home.symlink("link", home.path("real"));
    FakeClock clock;
    FolderActivity activity(1h, clock.closure());
    activity.watch({outer, inner, other, link});
    const std::string r = real(home.root());

    activity.record({r + "/outer/inner/a.c", r + "/outer/b.c", r + "/real/x.c", r + "/outer/node_modules/y"});
    EXPECT_EQ(clock.readings, 1);
    const ActivityTime first = ActivityTime{} + 1s;
    EXPECT_EQ(activity.lastChanges(),
              (std::map<std::string, ActivityTime>{{outer, first}, {inner, first}, {link, first}}));

    // The folder itself, a sibling sharing its prefix and generated content change nothing.
    activity.record({r + "/other", r + "/otherwise/x.c", r + "/other/.DS_Store", r + "/other/dist/a.js"});
    EXPECT_EQ(clock.readings, 2);
    EXPECT_FALSE(activity.lastChanges().count(other));

    activity.record({}, true);
    const ActivityTime third = ActivityTime{} + 3s;
    EXPECT_EQ(activity.lastChanges(),
              (std::map<std::string, ActivityTime>{{outer, third}, {inner, third}, {other, third}, {link, third}}));
}

TEST(FolderActivityTest, ChangingTheSetKeepsOnlyTimesOfFoldersStillWatched) {
    test::TempHome home;
    const std::string a = home.dir("a");
    const std::string b = home.dir("b");
    FakeClock clock;
    FolderActivity activity(1h, clock.closure());
    const std::string r = real(home.root());
    activity.watch({a, b});
    activity.record({r + "/a/x", r + "/b/x"});

    activity.watch({b, a, b});
    EXPECT_EQ(activity.lastChanges().size(), 2u);
    activity.watch({b});
    EXPECT_EQ(activity.lastChanges(), (std::map<std::string, ActivityTime>{{b, ActivityTime{} + 1s}}));
    activity.watch({a, b});
    EXPECT_EQ(activity.lastChanges(), (std::map<std::string, ActivityTime>{{b, ActivityTime{} + 1s}}));
    activity.watch({});
    EXPECT_TRUE(activity.lastChanges().empty());
    activity.record({r + "/a/x"});
    EXPECT_TRUE(activity.lastChanges().empty());
}

TEST(FolderActivityTest, NoticesRealChangesButNotGeneratedOnes) {
    test::TempHome home;
    const std::string project = home.dir("project");
    const std::string other = home.dir("other");
    home.dir("other/node_modules/pkg");
    FakeClock clock;
    FolderActivity activity(20ms, clock.closure());
    activity.watch({project, other});

    // Events arrive in order: once the real change in the project is in, the generated ones
    // made before it have been looked at too.
    home.text("other/node_modules/pkg/index.js", "x");
    home.text("other/debug.log", "x");
    home.dir("project/src");
    ASSERT_TRUE(waitUntil([&] { return activity.lastChanges().count(project); }));
    EXPECT_FALSE(activity.lastChanges().count(other));
    const int readings = clock.readings;
    home.text("project/src/main.rs", "fn main() {}");
    EXPECT_TRUE(waitUntil([&] { return clock.readings > readings; }));
    EXPECT_EQ(activity.lastChanges().at(project), ActivityTime{} + std::chrono::seconds(clock.readings.load()));
}

// Swaps the watched set over and over while files change in every tree; run under
// ThreadSanitizer to prove the swap, the stop and the reader never race.
TEST(FolderActivityTest, SwapsTheSetWhileEventsArrive) {
    test::TempHome home;
    const std::vector<std::string> folders = {home.dir("a"), home.dir("b"), home.dir("c")};
    std::atomic<bool> done{false};
    std::thread writer([&] {
        for (int i = 0; !done; ++i) home.text(std::string(1, char('a' + i % 3)) + "/f.txt", std::to_string(i));
    });
    {
        FolderActivity activity(0ms);
        for (int round = 0; round < 60; ++round) {
            const std::vector<std::string> set = {folders[round % 3], folders[(round + 1) % 3]};
            activity.watch(set);
            std::this_thread::sleep_for(2ms);
            for (const auto& [folder, when] : activity.lastChanges())
                EXPECT_TRUE(folder == set[0] || folder == set[1]) << folder;
        }
    }
    done = true;
    writer.join();
}

} // namespace
} // namespace tidra
