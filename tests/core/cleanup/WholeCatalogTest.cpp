#include "support/CatalogFixture.h"

#include "support/TempHome.h"

#include <gtest/gtest.h>
#include <plist/plist.h>

#include <chrono>

namespace tidra {
namespace {

using Paths = std::vector<std::string>;
using test::Kind;

struct Expected {
    std::string id;
    CleanupCategory category;
    Kind kind;
    Paths paths; // relative to the home folder
    Safety safety;
    std::int64_t minimumBytes;
};

// One home in which each of the thirteen builders finds something, and where later builders
// meet what earlier ones claimed: CocoaPods is Xcode's, the Yarn and JetBrains caches are the
// tool items', the old IDE logs and the gone app's logs are theirs, so neither the cache items
// nor the Logs item cover them again.
TEST(WholeCatalogTest, OneHomeThroughAllBuildersInOrder) {
    test::TempHome home;
    home.dir(".gradle/caches/modules");
    home.dir("Library/Caches/Yarn/v6");
    home.dir(".dartServer");
    home.dir(".docker/scout");
    home.dir("Library/Caches/JetBrains/IdeaIC2024.1");
    home.dir("Library/Application Support/JetBrains/IdeaIC2023.1");
    home.dir("Library/Application Support/JetBrains/IdeaIC2024.1");
    home.dir("Library/Logs/JetBrains/IdeaIC2023.1");
    home.file(".claude/projects/p/old.jsonl", 10);
    home.setModified(".claude/projects/p/old.jsonl", std::chrono::system_clock::now() - std::chrono::hours(24 * 60));
    home.dir("Library/Application Support/Google/Chrome/OptGuideOnDeviceModel");
    home.dir("Library/Developer/Xcode/DerivedData/Proj");
    home.dir("Library/Caches/CocoaPods/Pods");
    plist_t info = plist_new_dict();
    plist_dict_set_item(info, "Device Name", plist_new_string("Phone"));
    home.plist("Library/Application Support/MobileSync/Backup/dev1/Info.plist", info, true);
    home.dir("Library/Containers/com.apple.mail/Data/Library/Mail Downloads");
    home.dir(".cursor");
    home.dir("Library/Saved Application State/com.gone.app.savedState");
    home.file("Library/Preferences/com.gone.app.plist", 10);
    home.dir("Library/Logs/com.gone.app");
    home.dir("Library/Caches/com.gone.app");
    home.dir("Library/WebKit/org.installed.thing");
    home.dir("Library/Caches/org.installed.thing");
    home.file("Library/Logs/app.log", 10);
    home.file("Downloads/Tool.dmg", 10);
    home.file("Downloads/readme.txt", 10);
    home.file(".local/share/Trash/files/old", 10);
    home.file(".local/share/Trash/info/old.trashinfo", 10);

    test::FakeMachine machine;
    machine.installedIDs = {"org.installed.thing"};
    machine.names = {{"org.installed.thing", "Thing"}};
    const auto items = CleanupCatalog::items(machine.environment(home.root()));

    using C = CleanupCategory;
    const Expected expected[] = {
        {"xcode.derivedData", C::xcode, Kind::removeContents, {"Library/Developer/Xcode/DerivedData"}, Safety::safe, 1},
        {"xcode.cocoapods", C::xcode, Kind::remove, {"Library/Caches/CocoaPods"}, Safety::safe, 1},
        {"gradle.caches", C::android, Kind::remove, {".gradle/caches"}, Safety::safe, 1},
        {"yarn.cache", C::javascript, Kind::remove, {"Library/Caches/Yarn"}, Safety::safe, 1},
        {"dart.analysis", C::flutter, Kind::remove, {".dartServer"}, Safety::safe, 1},
        {"docker.scout", C::docker, Kind::remove, {".docker/scout"}, Safety::safe, 1},
        {"jetbrains.caches", C::developerTools, Kind::removeContents, {"Library/Caches/JetBrains"}, Safety::safe, 1},
        {"ide.IdeaIC2023.1", C::developerTools, Kind::remove,
         {"Library/Application Support/JetBrains/IdeaIC2023.1", "Library/Logs/JetBrains/IdeaIC2023.1"}, Safety::review,
         1'000'000},
        {"claude.sessions", C::apps, Kind::remove, {".claude/projects/p/old.jsonl"}, Safety::review, 1},
        {"chrome.onDeviceModel", C::apps, Kind::remove,
         {"Library/Application Support/Google/Chrome/OptGuideOnDeviceModel"}, Safety::review, 1},
        {"cache.com.gone.app", C::apps, Kind::remove, {"Library/Caches/com.gone.app"}, Safety::safe, 5'000'000},
        {"cache.org.installed.thing", C::apps, Kind::remove, {"Library/Caches/org.installed.thing"}, Safety::safe,
         5'000'000},
        {"logs", C::apps, Kind::remove, {"Library/Logs/app.log"}, Safety::safe, 1},
        {"backup.dev1", C::personalData, Kind::remove, {"Library/Application Support/MobileSync/Backup/dev1"},
         Safety::review, 1},
        {"mail.downloads", C::personalData, Kind::removeContents,
         {"Library/Containers/com.apple.mail/Data/Library/Mail Downloads"}, Safety::review, 1},
        {"leftover.Cursor", C::leftovers, Kind::remove, {".cursor"}, Safety::review, 1},
        {"leftover.app.com.gone.app", C::leftovers, Kind::trash,
         {"Library/Logs/com.gone.app", "Library/Preferences/com.gone.app.plist",
          "Library/Saved Application State/com.gone.app.savedState"},
         Safety::review, 1'000'000},
        {"download.Tool.dmg", C::downloads, Kind::trash, {"Downloads/Tool.dmg"}, Safety::review, 20'000'000},
        {"trash", C::trash, Kind::removeContents, {".local/share/Trash/files", ".local/share/Trash/info"},
         Safety::review, 1},
    };
    ASSERT_EQ(test::idsOf(items).size(), std::size(expected)) << ::testing::PrintToString(test::idsOf(items));
    for (std::size_t i = 0; i < items.size(); ++i) {
        const auto& e = expected[i];
        SCOPED_TRACE(e.id);
        Paths paths;
        for (const auto& p : e.paths) paths.push_back(home.path(p));
        EXPECT_EQ(items[i].id, e.id);
        EXPECT_EQ(items[i].category, e.category);
        EXPECT_EQ(test::kindOf(items[i].action), e.kind);
        EXPECT_EQ(items[i].action.paths(), paths);
        EXPECT_EQ(items[i].safety, e.safety);
        EXPECT_FALSE(items[i].requiresAdmin);
        EXPECT_EQ(items[i].minimumBytesToShow, e.minimumBytes);
    }
    EXPECT_EQ(items[10].title, "com.gone.app cache");
    EXPECT_EQ(items[11].title, "Thing cache");
    EXPECT_EQ(items[13].title, "Backup of Phone");
}

} // namespace
} // namespace tidra
