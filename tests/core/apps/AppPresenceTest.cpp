#include "apps/AppPresence.h"

#include "support/TempHome.h"

#include <gtest/gtest.h>
#include <plist/plist.h>

namespace tidra {
namespace {

using Strings = std::vector<std::string>;

// One machine with an app installed each way this platform knows, and near misses beside them.
struct Machine {
    test::TempHome root;
    AppPlaces places{
        .bundleFolders = {root.path("Applications")},
        .desktopFolders = {root.path("share/applications"), root.path("exports/applications")},
        .commandFolders = {root.path("bin")},
        .appImageFolders = {root.path("home/Applications"), root.path("opt")},
        .flatpakFolders = {root.path("flatpak/app")},
        .snapFolder = root.path("snap"),
    };

    Machine() {
        plist_t info = plist_new_dict();
        plist_dict_set_item(info, "CFBundleIdentifier", plist_new_string("com.example.bundled"));
        root.plist("Applications/Bundled Tool.app/Contents/Info.plist", info);
        root.text("share/applications/org.Example.Editor.desktop", "[Desktop Entry]\nName=Editor\n");
        root.text("share/applications/gone.desktop", "[Desktop Entry]\nName=Gone\nHidden=true\n");
        root.text("exports/applications/org.example.Player.desktop", "[Desktop Entry]\nName=Player\n");
        root.text("bin/code", "#!/bin/sh\n");
        root.chmod("bin/code", 0755);
        root.text("bin/notexecutable", "");
        root.file("home/Applications/Cursor-0.45.14-x86_64.AppImage", 10);
        root.file("home/Applications/cursorless.AppImage", 10);
        root.file("opt/trae/trae.appimage", 10);
        root.file("opt/deep/deeper/Windsurf.AppImage", 10);
        root.symlink("flatpak/app/org.example.Player/current", "x86_64/stable");
        root.dir("flatpak/app/org.example.Removed");
        root.dir("snap/spotify/current");
    }
};

TEST(AppPresenceTest, EachWayOfInstallingCounts) {
    Machine m;
    AppPresence apps(m.places);
    const struct {
        Strings names;
        Strings ids;
        bool installed;
    } rows[] = {
        {{}, {}, false},
        {{"Bundled Tool"}, {}, true},
        {{}, {"COM.EXAMPLE.BUNDLED"}, true},
        {{}, {"org.example.editor"}, true},
        {{"Editor"}, {}, true},
        {{"editor"}, {}, false}, // a desktop entry's name matches exactly
        {{"Gone"}, {"gone"}, false},
        {{"code"}, {}, true},
        {{"notexecutable"}, {}, false},
        {{"../bin/code", "bin/code"}, {}, false},
        {{"Cursor"}, {}, true},
        {{"Curs"}, {}, false},
        {{"Trae"}, {}, true},
        {{"Windsurf"}, {}, false}, // two folders down is not searched
        {{}, {"org.example.player"}, true},
        {{}, {"org.example.Removed"}, false},
        {{"Spotify"}, {}, true},
        {{"Nothing"}, {"org.nothing"}, false},
    };
    for (const auto& row : rows)
        EXPECT_EQ(apps.isInstalled(row.names, row.ids), row.installed)
            << ::testing::PrintToString(row.names) << ::testing::PrintToString(row.ids);
}

TEST(AppPresenceTest, InstalledIDsAndNamesFromEveryRegistry) {
    Machine m;
    AppPresence apps(m.places);
    EXPECT_EQ(apps.installedIDs(),
              (Strings{"com.example.bundled", "org.Example.Editor", "org.example.Player", "org.example.Player"}));
    EXPECT_EQ(apps.name("ORG.EXAMPLE.EDITOR"), "Editor");
    EXPECT_EQ(apps.name("org.example.Player"), "Player");
    EXPECT_EQ(apps.name("gone"), std::nullopt);
}

// A registry that cannot be read cannot tell an app is gone.
TEST(AppPresenceTest, UnreadableRegistryAnswersInstalled) {
    Machine m;
    m.places.desktopFolders = {m.root.path("bin/code")};
    AppPresence apps(m.places);
    EXPECT_TRUE(apps.isInstalled({"Nothing"}, {"org.nothing"}));
    EXPECT_FALSE(apps.isInstalled({}, {}));
    EXPECT_TRUE(apps.installedIDs().empty());
    EXPECT_EQ(apps.name("org.example.Editor"), std::nullopt);
}

} // namespace
} // namespace tidra
