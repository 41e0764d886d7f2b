#include "demo/DemoMac.h"
#include "DemoMoment.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>

namespace tidra {
namespace {

using namespace std::chrono_literals;

using test::kHome;
using test::kNow;

std::int64_t footprint(const DemoMac::DemoApp& app) {
    return std::accumulate(app.parts.begin(), app.parts.end(), std::int64_t{0},
                           [](std::int64_t sum, const auto& part) { return sum + part.bytes; });
}

TEST(DemoAppsTest, TwelveAppsInOrderWithTheirParts) {
    const auto apps = DemoMac::installedApps(kHome, kNow);
    const std::vector<std::string> names = {"Xcode", "Unity Hub", "Microsoft Teams", "Docker", "Android Studio", "Zoom",
                                            "Figma", "Postman",   "Slack",           "Spotify", "Steam",        "Cursor"};
    ASSERT_EQ(apps.size(), names.size());
    for (std::size_t i = 0; i < apps.size(); ++i) {
        const auto& app = apps[i];
        SCOPED_TRACE(names[i]);
        EXPECT_EQ(app.app.name, names[i]);
        EXPECT_EQ(app.app.path, kHome + "/.tidra-demo/Applications/" + names[i] + ".app");
        ASSERT_FALSE(app.parts.empty());
        EXPECT_EQ(app.parts.front().path, app.app.path);
        EXPECT_EQ(app.parts.size(), names[i] == "Steam" ? 2u : 3u);
        for (std::size_t p = 1; p < app.parts.size(); ++p)
            EXPECT_TRUE(app.parts[p].path.starts_with(kHome + "/.tidra-demo/Library/")) << app.parts[p].path;
        EXPECT_EQ(app.app.needsPassword, names[i] == "Xcode" || names[i] == "Zoom");
    }
    EXPECT_EQ(apps[0].app.bundleID, "com.apple.dt.Xcode");
    EXPECT_EQ(apps[0].app.version, "26.0");
    EXPECT_EQ(apps[0].parts[1], (DemoMac::DemoApp::Part{kHome + "/.tidra-demo/Library/Caches/com.apple.dt.Xcode",
                                                        1'400'000'000}));
    EXPECT_EQ(footprint(apps[0]), 13'301'000'000);
    EXPECT_EQ(footprint(apps[10]), 8'718'000'000);
}

TEST(DemoAppsTest, LastOpenedMovesWithNowAndSteamWasNeverOpened) {
    const auto apps = DemoMac::installedApps(kHome, kNow);
    EXPECT_EQ(apps[0].app.lastOpened, kNow - 24h);
    EXPECT_EQ(apps[3].app.lastOpened, kNow - 72min);
    EXPECT_EQ(apps[8].app.lastOpened, kNow - 12'960s);
    EXPECT_EQ(apps[10].app.lastOpened, std::nullopt);
    const auto newest = std::max_element(apps.begin(), apps.end(), [](const auto& a, const auto& b) {
        return a.app.lastOpened < b.app.lastOpened;
    });
    EXPECT_EQ(newest->app.name, "Cursor");
    EXPECT_EQ(DemoMac::installedApps(kHome, kNow + 1h)[0].app.lastOpened, kNow + 1h - 24h);
}

} // namespace
} // namespace tidra
