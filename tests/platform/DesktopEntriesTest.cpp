#include "platform/DesktopEntries.h"

#include "support/RunAsNobody.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace tidra::sys {
namespace {

using Strings = std::vector<std::string>;

TEST(DesktopEntriesTest, ParseDesktopFile) {
    struct Row {
        const char* text;
        const char* name;
        bool hidden;
    };
    const Row rows[] = {
        {"[Desktop Entry]\nName=Files\nName[de]=Dateien\n", "Files", false},
        {"# c\n[Desktop Entry]\r\n Name = Spaced Out \r\nHidden=true\r\n", "Spaced Out", true},
        {"[Desktop Action new]\nName=New Window\n[Desktop Entry]\nName=Real\n", "Real", false},
        {"[Desktop Entry]\nName=Real\n[Desktop Action x]\nName=Other\nHidden=true\n", "Real", false},
        {"Name=Outside\n", "", false},
        {"[Desktop Entry]\nName=A\\sB\\\\C\n", "A B\\C", false},
        {"[Desktop Entry]\nHidden=True\n", "", false},
        {"", "", false},
    };
    for (const auto& row : rows) {
        const auto fields = parseDesktopFile(row.text);
        EXPECT_EQ(fields.name, row.name) << row.text;
        EXPECT_EQ(fields.hidden, row.hidden) << row.text;
    }
}

TEST(DesktopEntriesTest, ApplicationFoldersFollowXdgVariables) {
    const char* savedHome = std::getenv("XDG_DATA_HOME");
    const char* savedDirs = std::getenv("XDG_DATA_DIRS");
    const std::string oldHome = savedHome ? savedHome : "", oldDirs = savedDirs ? savedDirs : "";
    ::setenv("XDG_DATA_HOME", "/d/home/", 1);
    ::setenv("XDG_DATA_DIRS", "/d/one::/var/lib/flatpak/exports/share", 1);
    EXPECT_EQ(applicationFolders("/h"),
              (Strings{"/d/home/applications", "/d/one/applications", "/var/lib/flatpak/exports/share/applications",
                       "/h/.local/share/flatpak/exports/share/applications"}));
    ::unsetenv("XDG_DATA_HOME");
    ::unsetenv("XDG_DATA_DIRS");
    EXPECT_EQ(applicationFolders("/h"),
              (Strings{"/h/.local/share/applications", "/usr/local/share/applications", "/usr/share/applications",
                       "/h/.local/share/flatpak/exports/share/applications",
                       "/var/lib/flatpak/exports/share/applications"}));
    if (savedHome) ::setenv("XDG_DATA_HOME", oldHome.c_str(), 1);
    if (savedDirs) ::setenv("XDG_DATA_DIRS", oldDirs.c_str(), 1);
}

TEST(DesktopEntriesTest, FirstFolderWinsAndHiddenHides) {
    test::TempHome home;
    home.text("user/org.example.Editor.desktop", "[Desktop Entry]\nName=Editor (user)\n");
    home.text("user/removed.desktop", "[Desktop Entry]\nName=Removed\nHidden=true\n");
    home.text("user/notes.txt", "[Desktop Entry]\nName=Not an entry\n");
    home.symlink("user/dangling.desktop", home.path("nowhere"));
    home.text("system/org.example.Editor.desktop", "[Desktop Entry]\nName=Editor\n");
    home.text("system/removed.desktop", "[Desktop Entry]\nName=Removed\n");
    home.text("system/dangling.desktop", "[Desktop Entry]\nName=Behind the link\n");
    home.text("system/kde/konsole.desktop", "[Desktop Entry]\nName=Konsole\n");
    home.text("flatpak/target/app.desktop", "[Desktop Entry]\nName=Flat\n");
    home.dir("links");
    home.symlink("links/com.flat.App.desktop", home.path("flatpak/target/app.desktop"));
    const auto entries =
        readDesktopEntries({home.path("user"), home.path("missing"), home.path("system"), home.path("links")});
    ASSERT_TRUE(entries);
    EXPECT_EQ(*entries, (std::vector<DesktopEntry>{
                            {"org.example.Editor", "Editor (user)", home.path("user/org.example.Editor.desktop")},
                            {"dangling", "Behind the link", home.path("system/dangling.desktop")},
                            {"kde-konsole", "Konsole", home.path("system/kde/konsole.desktop")},
                            {"com.flat.App", "Flat", home.path("links/com.flat.App.desktop")},
                        }));
}

TEST(DesktopEntriesTest, UnreadableFolderOrEntryMakesTheRegistryUnknown) {
    test::TempHome home;
    home.text("closed/a.desktop", "[Desktop Entry]\nName=A\n");
    home.chmod("closed", 0700);
    home.text("open/secret.desktop", "[Desktop Entry]\nName=S\n");
    home.chmod("open/secret.desktop", 0600);
    home.text("fine/b.desktop", "[Desktop Entry]\nName=B\n");
    const auto answer = [&](const std::string& folder) {
        return test::runAsNobody([&] {
            const auto entries = readDesktopEntries({home.path("fine"), home.path(folder)});
            return entries ? std::to_string(entries->size()) : std::string("unknown");
        });
    };
    EXPECT_EQ(answer("closed"), "unknown");
    EXPECT_EQ(answer("open"), "unknown");
    EXPECT_EQ(answer("missing"), "1");
}

} // namespace
} // namespace tidra::sys
