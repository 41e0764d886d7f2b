#include "CatalogFixture.h"

#include "support/RunAsNobody.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

namespace tidra {
namespace {

using Paths = std::vector<std::string>;

TEST(DeletedAppItemsTest, ItemOfAGoneAppTrashesItsFootprint) {
    test::TempHome home;
    home.dir("Library/Saved Application State/com.example.tool.savedState");
    home.file("Library/Preferences/com.example.tool.plist");
    home.dir("Library/Application Support/com.example.tool");
    home.dir("Library/Caches/com.example.tool");
    home.dir("Library/Containers/com.example.tool");
    const auto items =
        test::runBuilder(CleanupCatalog::deletedApps, test::FakeMachine{}.environment(home.root())).items;
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0],
              (CleanupItem{"leftover.app.com.example.tool", "Tool settings and data", CleanupCategory::leftovers,
                           "com.example.tool is not installed. Reinstalling it later starts with a clean slate.",
                           Safety::review,
                           CleanupAction::Trash{{home.path("Library/Application Support/com.example.tool"),
                                                 home.path("Library/Containers/com.example.tool"),
                                                 home.path("Library/Preferences/com.example.tool.plist"),
                                                 home.path("Library/Saved Application State/com.example.tool.savedState")}},
                           false, 1'000'000, std::nullopt}));
}

TEST(DeletedAppItemsTest, WhichEntriesBecomeCandidates) {
    struct Row {
        const char* name;
        Paths entries; // folders made below Library
        Paths installedIDs;
        std::set<std::string> installed; // what isAppInstalled knows
        Paths ids;
    };
    const Row rows[] = {
        {"saved state ending cut", {"Saved Application State/com.example.tool.savedState"}, {"org.x.y"}, {},
         {"leftover.app.com.example.tool"}},
        {"cookies ending cut, nested id named by its app", {"HTTPStorages/com.example.tool.widget.binarycookies"},
         {"org.x.y"}, {}, {"leftover.app.com.example.tool"}},
        {"system and group entries", {"WebKit/Com.Apple.Safari", "WebKit/group.com.example.x", "WebKit/SystemGroup.com.example.x"},
         {"org.x.y"}, {}, {}},
        {"not an identifier", {"WebKit/com.example", "WebKit/com.example.to_ol", "WebKit/9com.example.tool"},
         {"org.x.y"}, {}, {}},
        {"vendor of an installed app", {"WebKit/com.vendor.tool"}, {"COM.Vendor.Other"}, {}, {}},
        {"family of an installed app", {"WebKit/solo.tool.helper"}, {"Solo"}, {}, {}},
        {"the known editors", {"WebKit/com.microsoft.vscode", "WebKit/com.todesktop.230313mzl4w4u92.ShipIt"},
         {"org.x.y"}, {}, {}},
        {"first letter case met wins", {"Saved Application State/Com.Example.Tool.savedState", "WebKit/com.example.tool"},
         {"org.x.y"}, {}, {"leftover.app.Com.Example.Tool"}},
        {"installed after all", {"WebKit/com.example.tool"}, {"org.x.y"}, {"com.example.tool"}, {}},
        {"ascending order", {"WebKit/org.b.tool", "WebKit/com.z.tool", "WebKit/com.a.tool"}, {"org.x.y"}, {},
         {"leftover.app.com.a.tool", "leftover.app.com.z.tool", "leftover.app.org.b.tool"}},
        {"no installed apps known: nothing at all", {"WebKit/com.example.tool"}, {}, {}, {}},
        {"caches are not scanned", {"Caches/com.example.tool"}, {"org.x.y"}, {}, {}},
        {"containers are, with full access", {"Caches/com.example.tool", "Containers/com.example.tool"}, {"org.x.y"},
         {}, {"leftover.app.com.example.tool"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        test::TempHome home;
        for (const auto& entry : row.entries) home.dir("Library/" + entry);
        test::FakeMachine machine;
        machine.installedIDs = row.installedIDs;
        machine.installed = row.installed;
        const auto items = test::runBuilder(CleanupCatalog::deletedApps, machine.environment(home.root())).items;
        EXPECT_EQ(test::idsOf(items), row.ids);
    }
}

TEST(DeletedAppItemsTest, CachesAndClaimedPathsAreLeftOut) {
    test::TempHome home;
    home.dir("Library/WebKit/com.example.tool");
    home.dir("Library/Caches/com.example.tool");
    home.dir("Library/Logs/com.example.tool");
    home.dir("Library/Application Support/com.example.tool/inner");
    home.dir("Library/WebKit/com.example.other");
    const auto env = test::FakeMachine{}.environment(home.root());
    const auto b = test::runBuilder(CleanupCatalog::deletedApps, env,
                                    {home.path("Library/Application Support"), home.path("Library/WebKit/com.example.other")});
    ASSERT_EQ(b.items.size(), 1u);
    const Paths kept{home.path("Library/Logs/com.example.tool"), home.path("Library/WebKit/com.example.tool")};
    EXPECT_EQ(b.items[0].action.paths(), kept);
    EXPECT_EQ(Paths(b.claimed.begin() + 2, b.claimed.end()), kept);
}

// Without full disk access the containers are neither scanned nor offered.
TEST(DeletedAppItemsTest, ContainersNeedFullAccess) {
    test::TempHome home;
    home.dir("Library/Containers/com.boxed.tool");
    home.dir("Library/WebKit/com.example.tool");
    home.dir("Library/Containers/com.example.tool");
    home.chmod("", 0711);
    const auto env = test::FakeMachine{}.environment(home.root());
    const std::string answer = test::runAsNobody([&] {
        std::string out;
        for (const auto& item : test::runBuilder(CleanupCatalog::deletedApps, env).items)
            out += item.id + " " + std::to_string(item.action.paths().size()) + ";";
        return out;
    });
    EXPECT_EQ(answer, "leftover.app.com.example.tool 1;");
}

} // namespace
} // namespace tidra
