#include "cleanup/CatalogBuilders.h"

#include "support/RunAsNobody.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

namespace tidra {
namespace {

using CleanupCatalog::Builder;
using Paths = std::vector<std::string>;

const std::string xcodeFolder = "Library/Developer/Xcode";
const std::string devices = "Library/Developer/CoreSimulator/Devices";

Builder builderFor(const test::TempHome& home, std::vector<SimulatorDevice> simulators = {}) {
    CleanupEnvironment env;
    env.home = home.root();
    env.simulators = [simulators] { return simulators; };
    return Builder{env, {}, {}};
}

std::vector<CleanupItem> runXcode(const test::TempHome& home, std::vector<SimulatorDevice> simulators = {}) {
    Builder b = builderFor(home, std::move(simulators));
    CleanupCatalog::xcode(b);
    return b.items;
}

TEST(XcodeItemsTest, EveryFolderPresentGivesItsItemInOrder) {
    test::TempHome home;
    for (const auto& dir : {xcodeFolder + "/DerivedData", xcodeFolder + "/iOS DeviceSupport",
                            xcodeFolder + "/tvOS DeviceSupport", xcodeFolder + "/UserData/IB Support",
                            xcodeFolder + "/UserData/Previews", std::string("Library/Developer/CoreSimulator/Caches"),
                            std::string("Library/Caches/CocoaPods"), xcodeFolder + "/Archives", devices + "/U1"})
        home.dir(dir);
    const auto items = runXcode(home, {{"U1", "iPhone 8", "iOS 12.4", false}});
    const std::string x = home.path(xcodeFolder);
    struct Row {
        const char* id;
        const char* title;
        CleanupAction action;
        Safety safety;
        const char* consequence;
    };
    const Row expected[] = {
        {"xcode.derivedData", "Build data (DerivedData)", CleanupAction::DeleteContents{{x + "/DerivedData"}},
         Safety::safe, "The next build of each project starts from scratch."},
        {"xcode.deviceSupport", "Device support files",
         CleanupAction::DeleteContents{{x + "/iOS DeviceSupport", x + "/tvOS DeviceSupport"}}, Safety::safe,
         "Xcode copies them again the next time you connect a device."},
        {"xcode.ibSupport", "Interface Builder simulators", CleanupAction::Delete{{x + "/UserData/IB Support"}},
         Safety::safe, "Xcode recreates them when it next needs them."},
        {"xcode.previews", "SwiftUI preview data", CleanupAction::Delete{{x + "/UserData/Previews"}}, Safety::safe,
         "Previews rebuild the next time you open one."},
        {"xcode.simulators.unavailable", "Simulators for iOS 12.4 (1 device)",
         CleanupAction::Run{"/usr/bin/xcrun", {"simctl", "delete", "unavailable"}, {home.path(devices + "/U1")}},
         Safety::safe, "None. Those system versions are no longer installed, so these simulators cannot start."},
        {"xcode.simulatorCaches", "Simulator caches",
         CleanupAction::DeleteContents{{home.path("Library/Developer/CoreSimulator/Caches")}}, Safety::safe,
         "Simulators rebuild them on their next launch."},
        {"xcode.cocoapods", "CocoaPods cache", CleanupAction::Delete{{home.path("Library/Caches/CocoaPods")}},
         Safety::safe, "Pods download again on the next pod install."},
        {"xcode.archives", "Archives", CleanupAction::DeleteContents{{x + "/Archives"}}, Safety::review,
         "You can no longer re-export these builds or symbolicate their crash reports."},
    };
    ASSERT_EQ(items.size(), std::size(expected));
    for (std::size_t i = 0; i < items.size(); ++i) {
        SCOPED_TRACE(expected[i].id);
        EXPECT_EQ(items[i], (CleanupItem{expected[i].id, expected[i].title, CleanupCategory::xcode,
                                         expected[i].consequence, expected[i].safety, expected[i].action, false, 1,
                                         std::nullopt}));
    }
}

TEST(XcodeItemsTest, OnlyDerivedDataGivesOneItemAndClaimsIt) {
    test::TempHome home;
    const std::string derived = home.dir(xcodeFolder + "/DerivedData");
    Builder b = builderFor(home);
    CleanupCatalog::xcode(b);
    ASSERT_EQ(b.items.size(), 1u);
    EXPECT_EQ(b.items[0].id, "xcode.derivedData");
    EXPECT_EQ(b.items[0].action.paths(), Paths{derived});
    EXPECT_EQ(b.claimed, Paths{derived});
}

TEST(XcodeItemsTest, DeviceSupportKeepsPlatformOrder) {
    test::TempHome home;
    home.dir(xcodeFolder + "/visionOS DeviceSupport");
    home.dir(xcodeFolder + "/watchOS DeviceSupport");
    const auto items = runXcode(home);
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0].action.paths(), (Paths{home.path(xcodeFolder + "/watchOS DeviceSupport"),
                                              home.path(xcodeFolder + "/visionOS DeviceSupport")}));
}

TEST(XcodeItemsTest, RootOwnedDerivedDataNeedsAdmin) {
    test::TempHome home;
    home.dir(xcodeFolder + "/DerivedData", 0755);
    const std::string answer = test::runAsNobody([&] {
        const auto items = runXcode(home);
        return items.size() == 1 && items[0].requiresAdmin ? std::string("admin") : std::string("no");
    });
    EXPECT_EQ(answer, "admin");
}

TEST(XcodeItemsTest, UnavailableSimulatorsTitleAndFolders) {
    struct Row {
        const char* name;
        std::vector<SimulatorDevice> devices;
        Paths folders; // device folders present in the home
        std::optional<std::string> title;
        Paths affects;
    };
    const Row rows[] = {
        {"two runtimes, one available device",
         {{"A", "a", "iOS 17.0", false}, {"B", "b", "iOS 18.1", true}, {"C", "c", "iOS 16.4", false}},
         {"A", "B", "C"},
         "Simulators for iOS 16.4, iOS 17.0 (2 devices)",
         {"A", "C"}},
        {"one runtime named once",
         {{"A", "a", "watchOS 9.1", false}, {"B", "b", "watchOS 9.1", false}, {"C", "c", "watchOS 9.1", false}},
         {"B"},
         "Simulators for watchOS 9.1 (3 devices)",
         {"B"}},
        {"no folder present", {{"A", "a", "iOS 17.0", false}}, {}, std::nullopt, {}},
        {"all available", {{"A", "a", "iOS 17.0", true}}, {"A"}, std::nullopt, {}},
        {"probe reports nothing", {}, {"A"}, std::nullopt, {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        test::TempHome home;
        for (const auto& folder : row.folders) home.dir(devices + "/" + folder);
        Builder b = builderFor(home, row.devices);
        CleanupCatalog::xcode(b);
        if (!row.title) {
            EXPECT_TRUE(b.items.empty());
            continue;
        }
        ASSERT_EQ(b.items.size(), 1u);
        Paths affects;
        for (const auto& a : row.affects) affects.push_back(home.path(devices + "/" + a));
        EXPECT_EQ(b.items[0].title, *row.title);
        EXPECT_EQ(b.items[0].action.paths(), affects);
        EXPECT_EQ(b.claimed, affects);
    }
}

} // namespace
} // namespace tidra
