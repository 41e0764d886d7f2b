#include "apps/FlatpakApps.h"
#include "apps/LinuxApps.h"

#include "support/FakeTool.h"
#include "support/LinuxAppsHome.h"

#include <gtest/gtest.h>

namespace tidra {
namespace {

using Strings = std::vector<std::string>;

// What a row shows, in one line for readable expectations.
std::string row(const InstalledApp& app, const std::string& home) {
    static const char* kinds[] = {"bundle", "appImage", "program", "flatpak", "systemFlatpak", "snap", "systemPackage"};
    std::string path = app.path.starts_with(home) ? "~" + app.path.substr(home.size()) : app.path;
    std::string line = app.name + "|" + kinds[static_cast<int>(app.kind)] + "|" + app.version.value_or("-") + "|" +
                       (app.needsPassword ? "locked" : "free") + "|" + path;
    for (const auto& launcher : app.launchers) line += "|+" + launcher.substr(launcher.rfind('/', launcher.rfind('/') - 1) + 1);
    const auto tilde = [&](const std::string& p) { return p.starts_with(home) ? "~" + p.substr(home.size()) : p; };
    if (!app.folder.empty()) line += "|whole " + tilde(app.folder);
    if (!app.remains.empty()) line += "|stays " + tilde(app.remains);
    return line;
}

Strings rows(const std::vector<InstalledApp>& apps, const std::string& home) {
    Strings out;
    for (const auto& app : apps) out.push_back(row(app, home));
    return out;
}

// A runner for a machine without flatpak.
const LinuxApps::Runner noTool = [](const std::string&, const Strings&, const std::map<std::string, std::string>&,
                                    std::chrono::milliseconds) { return std::optional<Shell::Output>(); };

class LinuxAppsTest : public ::testing::Test {
protected:
    test::LinuxAppsHome fixture;
    std::string home = fixture.homePath();
};

TEST_F(LinuxAppsTest, ListsWhatTheUserInstalledAndTheSystemsAppsLocked) {
    const auto apps = LinuxApps::list(fixture.places(), {}, noTool);
    EXPECT_EQ(rows(apps, home), (Strings{
        "Cursor|appImage|1.2.3|free|~/Applications/Cursor-1.2.3-x86_64.AppImage|+applications/cursor.desktop|+autostart/cursor.desktop",
        "Etcher|appImage|2.0|free|~/Tools/etcher.AppImage|+applications/etcher.desktop",
        "Inkscape|systemFlatpak|-|locked|" + fixture.root() + "/var-flatpak/app/org.inkscape.Inkscape",
        "Neovim|appImage|-|free|~/Apps/nvim.appimage|+applications/nvim.desktop",
        "Notes|flatpak|4.5|free|~/.local/share/flatpak/app/org.example.Notes",
        "Obsidian|appImage|1.5.12|free|~/Downloads/Obsidian-1.5.12.AppImage",
        "Snappy|snap|-|locked|" + fixture.root() + "/system/applications/snappy_snappy.desktop",
        "Text Editor|systemPackage|-|locked|" + fixture.root() + "/system/applications/org.gnome.TextEditor.desktop",
        "Toolbox|program|-|free|~/opt/toolbox/bin/toolbox|+applications/toolbox.desktop|whole ~/opt/toolbox",
    }));
    EXPECT_EQ(apps[0].icon, "cursor");
    EXPECT_EQ(apps[0].bundleID, "cursor");
    EXPECT_EQ(apps[4].icon, home + "/.local/share/flatpak/app/org.example.Notes/current/active/export/share/icons/"
                                   "hicolor/128x128/apps/org.example.Notes.png");
    EXPECT_EQ(apps[5].bundleID, "Obsidian-1.5.12.AppImage");
    for (const auto& app : apps) EXPECT_FALSE(app.lastOpened) << app.name;
}

TEST_F(LinuxAppsTest, LeavesOutExcludedIdentifiersItselfAndTheSystemForAnotherHome) {
    auto places = fixture.places();
    places.systemEntries.clear();
    places.systemFlatpaks.clear();
    places.ownProgram = home + "/opt/toolbox/bin/toolbox";
    const auto apps = LinuxApps::list(places, {"cursor", "org.example.Notes"}, noTool);
    Strings names;
    for (const auto& app : apps) names.push_back(app.name);
    EXPECT_EQ(names, (Strings{"Etcher", "Neovim", "Obsidian"}));
}

// A program unpacked below the home leaves as its whole folder where that folder is plainly
// its own; otherwise the folder stays and says so.
TEST_F(LinuxAppsTest, AnUnpackedProgramIsItsWholeFolderWhenThatIsSafe) {
    const struct {
        const char* program;
        const char* expected;
    } cases[] = {
        {"opt/idea-IC-233.1/bin/idea.sh", "|whole ~/opt/idea-IC-233.1"},
        {".local/opt/VSCode-linux-x64/code", "|whole ~/.local/opt/VSCode-linux-x64"},
        {"Programs/zig-0.11/zig", "|whole ~/Programs/zig-0.11"},
        {"android-studio/bin/studio.sh", "|stays ~/android-studio"}, // the top of the home stays as it is
        {"go/bin/gotool", "|stays ~/go"},                            // a toolchain's folder
        {"opt/suite/bin/helper", "|stays ~/opt/suite"},              // not named for the program
        {"opt/.hidden-tool/tool", "|stays ~/opt/.hidden-tool"},
        {"opt/shared/shared", "|stays ~/opt/shared"},                 // holds another listed app
        {"opt/single", ""},
        {"bin/loose", ""},
    };
    fixture.temp.text("home/opt/shared/Other-1.0.AppImage", test::appImageHead() + "x");
    std::string entries;
    for (const auto& c : cases) {
        fixture.temp.text(std::string("home/") + c.program, "#!/bin/sh\n");
        fixture.temp.chmod(std::string("home/") + c.program, 0755);
        const std::string name = std::string(c.program).substr(std::string(c.program).rfind('/') + 1);
        fixture.temp.text("home/.local/share/applications/t-" + name + ".desktop",
                          "[Desktop Entry]\nType=Application\nName=T " + name + "\nExec=" + home + "/" + c.program + "\n");
    }
    const auto apps = LinuxApps::list(fixture.places(), {}, noTool);
    for (const auto& c : cases) {
        const auto found = std::find_if(apps.begin(), apps.end(), [&](const InstalledApp& a) { return a.path == home + "/" + c.program; });
        ASSERT_NE(found, apps.end()) << c.program;
        const std::string line = row(*found, home);
        EXPECT_EQ(line.substr(line.find(".desktop") + 8), c.expected) << c.program;
    }
}

// A folder beside the home whose name merely begins with the home's ("/home/al" and
// "/home/alice") is not the home: a program there is not the user's to remove.
TEST_F(LinuxAppsTest, AProgramBesideTheHomeIsNotTheUsers) {
    auto places = fixture.places();
    places.systemEntries.clear();
    places.systemFlatpaks.clear();
    const std::string beside = fixture.temp.file("homeless/bin/tool");
    fixture.temp.chmod("homeless/bin/tool", 0755);
    fixture.temp.text("home/.local/share/applications/beside.desktop",
                      "[Desktop Entry]\nType=Application\nName=Beside\nExec=" + beside + "\n");
    for (const auto& app : LinuxApps::list(places, {}, noTool)) EXPECT_NE(app.path, beside) << app.name;
}

TEST_F(LinuxAppsTest, FlatpakItselfNamesTheUsersFlatpaksWhenItRuns) {
    test::FakeTool tool(fixture.path("flatpak"), test::reply("Application ID\tName\tVersion\tSize\n"
                                                             "org.example.Notes\tNotes Pro\t4.6\t12 MB\n"
                                                             "org.example.Gone\t\t\t1 MB\n"));
    auto places = fixture.places();
    places.flatpakTool = tool.path();
    const auto apps = LinuxApps::list(places);
    Strings flatpaks;
    for (const auto& app : apps)
        if (app.kind == AppKind::flatpak) flatpaks.push_back(row(app, home));
    EXPECT_EQ(flatpaks, (Strings{"Gone|flatpak|-|free|~/.local/share/flatpak/app/org.example.Gone",
                                 "Notes Pro|flatpak|4.6|free|~/.local/share/flatpak/app/org.example.Notes"}));
    EXPECT_EQ(tool.arguments(), (Strings{"list", "--user", "--app", "--columns=application,name,version,size"}));
    EXPECT_EQ(tool.environment().at("FLATPAK_USER_DIR"), home + "/.local/share/flatpak");

    test::FakeTool failing(fixture.path("failing"), test::reply("", 1, "error: no"));
    places.flatpakTool = failing.path();
    flatpaks.clear();
    for (const auto& app : LinuxApps::list(places))
        if (app.kind == AppKind::flatpak) flatpaks.push_back(app.name);
    EXPECT_EQ(flatpaks, (Strings{"Notes"}));
}

TEST(LinuxAppsProgram, ReadsTheProgramOfAnExecLine) {
    const std::vector<std::pair<std::string, std::string>> cases{
        {"/opt/app/bin/app %U", "/opt/app/bin/app"},
        {"\"/home/u/My Apps/tool\" --flag", "/home/u/My Apps/tool"},
        {"env GDK_BACKEND=x11 LANG=C /home/u/bin/tool %f", "/home/u/bin/tool"},
        {"\"/home/u/a \\\"b\\\"\"", "/home/u/a \"b\""},
        {"  code --new-window", "code"},
        {"", ""},
        {"env", ""},
    };
    for (const auto& [exec, expected] : cases) EXPECT_EQ(LinuxApps::program(exec), expected) << exec;
}

TEST(FlatpakAppID, FollowsFlatpaksOwnRules) {
    for (const char* id : {"org.example.Notes", "net._86box._86Box", "com.github.a-b.Tool", "a.b.c"})
        EXPECT_TRUE(FlatpakApps::isAppID(id)) << id;
    for (const char* id : {"", "a.b", "a..b.c", "a.b.", "a.b/c.d", "org.1example.App", "Application ID", "a.b.c d"})
        EXPECT_FALSE(FlatpakApps::isAppID(id)) << id;
    EXPECT_FALSE(FlatpakApps::isAppID("a.b." + std::string(254, 'c')));
}

TEST_F(LinuxAppsTest, AnAppImageIsKnownByItsMagicNotItsName) {
    EXPECT_TRUE(LinuxApps::isAppImage(home + "/Applications/Cursor-1.2.3-x86_64.AppImage"));
    EXPECT_FALSE(LinuxApps::isAppImage(home + "/Applications/fake.AppImage"));  // ELF without AppImage's mark
    EXPECT_FALSE(LinuxApps::isAppImage(home + "/Applications/linked.AppImage")); // a link is never one
    EXPECT_FALSE(LinuxApps::isAppImage(home + "/Applications"));
    EXPECT_FALSE(LinuxApps::isAppImage(home + "/missing"));
}

} // namespace
} // namespace tidra
