#include "cleanup/CatalogBuilders.h"
#include "cleanup/CleanupEnvironment.h"

#include "platform/HomeFolder.h"
#include "support/LiveHome.h"
#include "support/RunAsNobody.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>
#include <plist/plist.h>

namespace tidra {
namespace {

using Strings = std::vector<std::string>;

plist_t infoPlist(const char* bundleID) {
    plist_t root = plist_new_dict();
    plist_dict_set_item(root, "CFBundleIdentifier", plist_new_string(bundleID));
    return root;
}

TEST(CleanupEnvironmentTest, LiveHomeAndFixedValues) {
    test::LiveHome f;
    const auto env = CleanupEnvironment::live();
    EXPECT_EQ(env.home, f.home.root());
    EXPECT_EQ(env.globalNpmConfigFiles,
              (Strings{"/opt/homebrew/etc/npmrc", "/usr/local/etc/npmrc", "/etc/npmrc", "/usr/etc/npmrc"}));
    EXPECT_EQ(env.rootYarnCaches, (Strings{"/usr/local/share/Library/Caches/Yarn", "/usr/local/share/.cache/yarn"}));
    EXPECT_TRUE(env.simulators().empty()); // no simulator tool on this platform
}

TEST(CleanupEnvironmentTest, LiveIsAppInstalledFromBundlesAndDesktopEntries) {
    test::LiveHome f;
    f.home.dir("Applications/Home Tool.app");
    f.home.text("data/applications/com.Example.Tool.desktop", "[Desktop Entry]\nName=Example\n");
    f.home.text("system/applications/code.desktop", "[Desktop Entry]\nName=Visual Studio Code\nExec=code\n");
    f.home.text("data/applications/gone.desktop", "[Desktop Entry]\nName=Gone\nHidden=true\n");
    f.home.text("other/applications/gone.desktop", "[Desktop Entry]\nName=Gone\n");
    const auto env = CleanupEnvironment::live();
    struct Row {
        Strings names;
        Strings ids;
        bool installed;
    };
    const Row rows[] = {
        {{}, {}, false},
        {{"Home Tool"}, {}, true},
        {{"Home"}, {}, false},
        {{}, {"com.example.tool"}, true},
        {{}, {"COM.EXAMPLE.TOOL"}, true},
        {{}, {"com.example"}, false},
        {{"Visual Studio Code"}, {"com.microsoft.VSCode"}, true},
        {{"visual studio code"}, {}, false},
        {{"Gone"}, {"gone"}, false},
        {{"Nothing"}, {"org.nothing"}, false},
    };
    for (const auto& row : rows) {
        const std::string label = (row.names.empty() ? "" : row.names[0]) + "/" + (row.ids.empty() ? "" : row.ids[0]);
        EXPECT_EQ(env.isAppInstalled(row.names, row.ids), row.installed) << label;
    }
    EXPECT_EQ(env.appName("com.example.TOOL"), "Example");
    EXPECT_EQ(env.appName("code"), "Visual Studio Code");
    EXPECT_EQ(env.appName("gone"), std::nullopt);
    EXPECT_EQ(env.appName("org.nothing"), std::nullopt);
}

TEST(CleanupEnvironmentTest, LiveIsAppInstalledFindsCommandsOnPath) {
    test::LiveHome f;
    f.home.text("bin/code", "#!/bin/sh\n");
    f.home.chmod("bin/code", 0755);
    f.home.text("bin/cursor", "not executable");
    f.home.dir("bin/windsurf");
    test::ScopedVariable path("PATH", "relative:" + f.home.path("empty") + "::" + f.home.path("bin"));
    const auto env = CleanupEnvironment::live();
    EXPECT_TRUE(env.isAppInstalled({"Visual Studio Code", "code"}, {"com.microsoft.VSCode"}));
    EXPECT_FALSE(env.isAppInstalled({"Cursor", "cursor"}, {}));
    EXPECT_FALSE(env.isAppInstalled({"Windsurf", "windsurf"}, {}));
    EXPECT_FALSE(env.isAppInstalled({"bin/code", "../bin/code"}, {}));
}

// Editors installed the ways this platform knows never have their settings offered as leftovers.
TEST(CleanupEnvironmentTest, InstalledEditorsAreNeverLeftovers) {
    test::LiveHome f;
    for (const char* folder : {".cursor", ".trae", ".windsurf", ".vscode"}) f.home.dir(folder);
    f.home.text("bin/code", "#!/bin/sh\n");
    f.home.chmod("bin/code", 0755);
    f.home.text("system/applications/cursor.desktop", "[Desktop Entry]\nName=Cursor\nExec=cursor\n");
    f.home.dir("Applications/Trae.app");
    test::ScopedVariable path("PATH", f.home.path("bin"));
    CleanupCatalog::Builder b{CleanupEnvironment::live(), {}, {}};
    CleanupCatalog::leftovers(b);
    ASSERT_EQ(b.items.size(), 1u);
    EXPECT_EQ(b.items[0].id, "leftover.Windsurf");

    // A registry that cannot be read offers no editor at all.
    f.home.chmod("system/applications", 0700);
    EXPECT_EQ(test::runAsNobody([] {
                  CleanupCatalog::Builder nobody{CleanupEnvironment::live(), {}, {}};
                  CleanupCatalog::leftovers(nobody);
                  return std::to_string(nobody.items.size());
              }),
              "0");
}

TEST(CleanupEnvironmentTest, UnreadableRegistryIsNeverNotInstalled) {
    test::LiveHome f;
    f.home.text("system/applications/other.desktop", "[Desktop Entry]\nName=Other\n");
    f.home.chmod("system/applications", 0700);
    const std::string answer = test::runAsNobody([] {
        const auto env = CleanupEnvironment::live();
        return std::string(env.isAppInstalled({"Nothing"}, {"org.nothing"}) ? "installed" : "absent") + "," +
               env.appName("other").value_or("no name");
    });
    EXPECT_EQ(answer, "installed,no name");
    // Empty questions stay false even then.
    EXPECT_EQ(test::runAsNobody([] { return std::to_string(CleanupEnvironment::live().isAppInstalled({}, {})); }), "0");
}

TEST(CleanupEnvironmentTest, LiveInstalledBundleIDsFromTheHomeApplications) {
    test::LiveHome f;
    f.home.plist("Applications/One.app/Contents/Info.plist", infoPlist("com.example.one"));
    f.home.plist("Applications/Vendor/Two.app/Contents/Info.plist", infoPlist("com.example.two"), true);
    const auto ids = CleanupEnvironment::live().installedBundleIDs();
    // The system folders are searched too; on this machine they normally hold nothing.
    EXPECT_NE(std::find(ids.begin(), ids.end(), "com.example.one"), ids.end());
    EXPECT_NE(std::find(ids.begin(), ids.end(), "com.example.two"), ids.end());
}

// The --home environment knows nothing of the machine: every app counts as gone, and Docker
// is asked only at the folder's own .docker/bin/docker.
TEST(CleanupEnvironmentTest, ForHomeHasTheAppsOfItsPlacesTheHomeAndItsDockerProbe) {
    test::TempHome home;
    home.dir("Applications/Tool.app");
    const auto env = CleanupEnvironment::forHome(home.root(), AppPlaces{});
    EXPECT_EQ(env.home, home.root());
    EXPECT_FALSE(env.isAppInstalled({"Tool", "sh"}, {"com.example.tool"}));
    EXPECT_EQ(env.appName("com.example.tool"), std::nullopt);
    EXPECT_TRUE(env.installedBundleIDs().empty());
    EXPECT_TRUE(env.simulators().empty());
    EXPECT_TRUE(env.globalNpmConfigFiles.empty());
    EXPECT_TRUE(env.rootYarnCaches.empty());
    EXPECT_TRUE(env.toolItems().empty());
    EXPECT_EQ(env.docker(), DockerStatus{DockerStatus::NotInstalled{}});

    // A docker tool there is asked (and, answering nothing useful, reads as not running).
    home.text(".docker/bin/docker", "#!/bin/sh\nexit 1\n");
    home.chmod(".docker/bin/docker", 0755);
    EXPECT_EQ(env.docker(), DockerStatus{DockerStatus::NotRunning{}});
}

// An app the system installed (VS Code from a package) is installed for every home: under
// --home its settings are no leftover of a removed app.
TEST(CleanupEnvironmentTest, ForHomeCountsTheSystemsAppsAsInstalled) {
    test::TempHome machine;
    machine.text("usr/share/applications/code.desktop",
                 "[Desktop Entry]\nType=Application\nName=Visual Studio Code\nExec=/usr/share/code/code %F\n");
    machine.text("usr/bin/code", "#!/bin/sh\n");
    machine.chmod("usr/bin/code", 0755);
    machine.dir("home/.vscode/extensions");
    machine.dir("home/.config/Code");
    const std::string home = machine.path("home");
    auto places = AppPlaces::forHome(home);
    places.desktopFolders = {home + "/.local/share/applications", machine.path("usr/share/applications")};
    places.commandFolders = {machine.path("usr/bin")};
    const auto env = CleanupEnvironment::forHome(home, places);
    EXPECT_TRUE(env.isAppInstalled({"Visual Studio Code", "code"}, {"com.microsoft.VSCode"}));
    EXPECT_EQ(env.appName("code"), "Visual Studio Code");
    EXPECT_EQ(env.installedBundleIDs(), Strings{"code"});
    CleanupCatalog::Builder builder{env, {}, {}};
    CleanupCatalog::leftovers(builder);
    EXPECT_TRUE(builder.items.empty());
}

TEST(CleanupEnvironmentTest, AnotherHomesPlacesAreTheSystemsAndItsOwn) {
    const auto places = AppPlaces::forHome("/srv/other");
    EXPECT_EQ(places.desktopFolders.front(), "/srv/other/.local/share/applications");
    EXPECT_EQ(Strings(places.commandFolders.end() - 2, places.commandFolders.end()),
              (Strings{"/srv/other/.local/bin", "/srv/other/bin"}));
    const std::string user = sys::homeFolder();
    for (const auto& list : {places.desktopFolders, places.commandFolders})
        for (const auto& folder : list) EXPECT_FALSE(folder.starts_with(user + "/")) << folder;
}

} // namespace
} // namespace tidra
