#include "apps/AppFootprint.h"
#include "apps/AppParts.h"
#include "apps/AppRemover.h"
#include "apps/LinuxApps.h"
#include "cleanup/Cleaner.h"

#include "support/FakeTool.h"
#include "support/FileProbe.h"
#include "support/LinuxAppsHome.h"
#include "support/RunAsNobody.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <map>

namespace tidra {
namespace {

namespace fs = std::filesystem;
using Strings = std::vector<std::string>;
using Failure = CleanReport::Failure;

class LinuxUninstallTest : public ::testing::Test {
protected:
    std::string at(const std::string& relative) const { return home + "/" + relative; }
    PathGuard guard() const { return PathGuard(home, home + "/Applications", ""); }
    InstalledApp app(AppKind kind, const std::string& path) const {
        return {path, "App", "org.example.App", std::nullopt, std::nullopt, false, kind};
    }
    // A flatpak that removes the app's folder only for the ids in `uninstalls`, answering `reason`.
    AppRemover::FlatpakRemove fakeFlatpak(Strings uninstalls, std::optional<std::string> reason = std::nullopt) {
        return [this, uninstalls, reason](const std::string& id, const std::string& installation) {
            flatpakCalls.push_back(id + " in " + installation);
            if (std::find(uninstalls.begin(), uninstalls.end(), id) != uninstalls.end()) fs::remove_all(installation + "/" + id);
            return reason;
        };
    }
    AppRemover::TrashMove trash() {
        return [this](const std::string& path) {
            trashed.push_back(path);
            fs::remove_all(path);
            return sys::Outcome::done();
        };
    }

    test::LinuxAppsHome fixture;
    std::string home = fixture.homePath();
    Strings flatpakCalls;
    Strings trashed;
};

TEST_F(LinuxUninstallTest, EachKindLeavesItsOwnWayAndTheSystemsAppsNever) {
    const std::string notes = at(".local/share/flatpak/app/org.example.Notes");
    const std::string image = at("Applications/Cursor-1.2.3-x86_64.AppImage");
    const std::string system = fixture.path("system/applications/org.gnome.TextEditor.desktop");
    const std::string inkscape = fixture.path("var-flatpak/app/org.inkscape.Inkscape");
    const AppRemover remover(guard(), trash(), {}, fakeFlatpak({"org.example.Notes"}));
    const auto report = remover.uninstall({
        app(AppKind::appImage, image),
        app(AppKind::flatpak, notes),
        app(AppKind::systemPackage, system),
        app(AppKind::systemFlatpak, inkscape),
        app(AppKind::snap, fixture.path("system/applications/snappy_snappy.desktop")),
        app(AppKind::appImage, at("Applications/linked.AppImage")),
        app(AppKind::program, at(".ssh/id_ed25519")),
        app(AppKind::program, "/usr/bin/gnome-text-editor"),
        app(AppKind::flatpak, at(".var/app/org.example.Notes")),
        app(AppKind::flatpak, at("Applications")),
    });
    EXPECT_EQ(report.removed, 2);
    EXPECT_EQ(report.failures, (std::vector<Failure>{
        {system, "Installed by the system's package manager. Remove it there."},
        {inkscape, "Installed with Flatpak for every user. Remove it with Flatpak."},
        {fixture.path("system/applications/snappy_snappy.desktop"), "Installed as a Snap. Remove it with snap."},
        {at("Applications/linked.AppImage"), "not a single file, or a symbolic link"},
        {at(".ssh/id_ed25519"), "protected folder .ssh"},
        {"/usr/bin/gnome-text-editor", "outside the home folder"},
        {at(".var/app/org.example.Notes"), "not a Flatpak of your own"},
        {at("Applications"), "top-level folder in the home folder"},
    }));
    EXPECT_EQ(trashed, Strings{image});
    EXPECT_EQ(flatpakCalls, Strings{"org.example.Notes in " + at(".local/share/flatpak/app")});
    EXPECT_FALSE(test::exists(notes));
    EXPECT_TRUE(test::exists(system));
    EXPECT_TRUE(test::exists(inkscape));
}

TEST_F(LinuxUninstallTest, AnUnpackedProgramLeavesAsItsWholeFolder) {
    fixture.temp.file("home/opt/toolbox/lib/libtool.so", 50 << 10);
    fixture.temp.symlink("home/opt/linked", at("opt/toolbox"));
    const std::string program = at("opt/toolbox/bin/toolbox");
    InstalledApp whole = app(AppKind::program, program), viaLink = whole, top = whole;
    whole.folder = at("opt/toolbox");
    viaLink.folder = at("opt/linked");
    top.folder = at("opt");
    const auto report = AppRemover(guard(), trash(), {}, {}).uninstall({viaLink, top, whole});
    EXPECT_EQ(report.removed, 1);
    EXPECT_EQ(report.failures, (std::vector<Failure>{{program, "not a folder, or a symbolic link"},
                                                     {program, "top-level folder in the home folder"}}));
    EXPECT_EQ(trashed, Strings{at("opt/toolbox")});
}

TEST_F(LinuxUninstallTest, AFlatpakCountsAsGoneOnlyWhenItsFolderIs) {
    const std::string notes = at(".local/share/flatpak/app/org.example.Notes");
    const InstalledApp flatpak = app(AppKind::flatpak, notes);
    EXPECT_EQ(AppRemover(guard(), trash(), {}, fakeFlatpak({}, "error: app is running")).uninstall({flatpak}),
              (CleanReport{0, {{notes, "error: app is running"}}}));
    EXPECT_EQ(AppRemover(guard(), trash(), {}, fakeFlatpak({})).uninstall({flatpak}),
              (CleanReport{0, {{notes, "flatpak did not uninstall it"}}}));
    EXPECT_EQ(AppRemover(guard(), trash(), {}, fakeFlatpak({"org.example.Notes"}, "warning")).uninstall({flatpak}),
              (CleanReport{1, {}}));
    // Uninstalled already, by another Tidra: flatpak is not asked and nothing counts as removed.
    flatpakCalls.clear();
    EXPECT_EQ(AppRemover(guard(), trash(), {}, fakeFlatpak({"org.example.Notes"})).uninstall({flatpak}),
              (CleanReport{0, {{notes, "not there any more"}}}));
    EXPECT_TRUE(flatpakCalls.empty());
}

TEST_F(LinuxUninstallTest, FlatpakIsAskedForTheUsersInstallationOnly) {
    test::FakeTool tool(fixture.path("flatpak"), test::reply("", 0));
    EXPECT_EQ(AppRemover::flatpakUninstall("org.example.Notes", at(".local/share/flatpak/app"), tool.path()), std::nullopt);
    EXPECT_EQ(tool.arguments(), (Strings{"uninstall", "--user", "--noninteractive", "org.example.Notes"}));
    EXPECT_EQ(tool.environment().at("FLATPAK_USER_DIR"), at(".local/share/flatpak"));

    test::FakeTool failing(fixture.path("failing"), test::reply("", 1, "  error: No such ref\n"));
    test::FakeTool silent(fixture.path("silent"), test::reply("", 7));
    EXPECT_EQ(AppRemover::flatpakUninstall("a.b.c", "/x", failing.path()), "error: No such ref");
    EXPECT_EQ(AppRemover::flatpakUninstall("a.b.c", "/x", silent.path()), "exit code 7");
    EXPECT_EQ(AppRemover::flatpakUninstall("a.b.c", "/x", fixture.path("missing")), "flatpak could not be started");
}

TEST_F(LinuxUninstallTest, FootprintsAreFoundAtTheXdgPlacesButNeverInSharedOrSecretOnes) {
    fixture.temp.file("home/.local/state/Cursor/log", 10);
    fixture.temp.file("home/.local/share/org.example.Notes.extra/x", 10);
    EXPECT_EQ(AppFootprint::paths("cursor", std::string("Cursor"), home, false, {}),
              (Strings{at(".cache/cursor"), at(".config/Cursor"), at(".local/state/Cursor")}));
    EXPECT_EQ(AppFootprint::paths("org.example.Notes", std::string("Notes"), home, false, {}),
              (Strings{at(".config/org.example.Notes"), at(".local/share/org.example.Notes.extra"),
                       at(".var/app/org.example.Notes")}));
    for (const char* name : {"keyrings", "Applications", "autostart", "flatpak"})
        EXPECT_EQ(AppFootprint::paths("x", std::string(name), home, false, {}), Strings{}) << name;
}

// Every entry below `root` (links not followed): its kind, mode and content or target.
std::map<std::string, std::string> tree(const std::string& root) {
    std::map<std::string, std::string> entries;
    for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator(); ++it) {
        const std::string path = it->path().string();
        struct stat st {};
        ::lstat(path.c_str(), &st);
        std::string value = std::to_string(st.st_mode) + ":";
        if (S_ISLNK(st.st_mode)) value += fs::read_symlink(path).string();
        else if (S_ISREG(st.st_mode)) value += std::to_string(std::hash<std::string>{}(test::readFile(path)));
        entries[path.substr(root.size())] = value;
    }
    return entries;
}

TEST_F(LinuxUninstallTest, ALiveUninstallAsTheUserLeavesEverythingElseAsItWas) {
    fixture.temp.text("flatpak", "#!/bin/sh\n[ \"$1\" = uninstall ] && rm -rf \"$FLATPAK_USER_DIR/app/$4\"\n"
                                 "[ \"$1\" = list ] && exit 1\nexit 0\n");
    fixture.temp.chmod("flatpak", 0755);
    // The home becomes nobody's, as a user's own home is.
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(home.c_str(), 65534, 65534), 0);
        for (const auto& entry : fs::recursive_directory_iterator(home))
            ASSERT_EQ(::lchown(entry.path().c_str(), 65534, 65534), 0);
    }
    auto places = fixture.places();
    places.flatpakTool = fixture.path("flatpak");
    const auto before = tree(fixture.root());

    const std::string answer = test::runAsNobody([&] {
        std::vector<InstalledApp> chosen;
        for (const auto& app : LinuxApps::list(places))
            if (app.name == "Cursor" || app.name == "Notes" || app.name == "Text Editor") chosen.push_back(app);
        const PathGuard guardian(home, home + "/Applications", "");
        const auto flatpak = [&](const std::string& id, const std::string& installation) {
            return AppRemover::flatpakUninstall(id, installation, places.flatpakTool);
        };
        auto report = AppRemover(guardian, {}, {}, flatpak).uninstall(chosen);
        for (const auto& app : chosen) {
            if (app.needsPassword) continue;
            auto leftovers = AppFootprint::paths(app.bundleID, app.name, home, true, {});
            leftovers.insert(leftovers.end(), app.launchers.begin(), app.launchers.end());
            const auto moved = Cleaner(guardian).perform(CleanupAction::Trash{leftovers});
            report.removed += moved.removed;
            report.failures.insert(report.failures.end(), moved.failures.begin(), moved.failures.end());
        }
        std::string out = std::to_string(report.removed);
        for (const auto& failure : report.failures) out += "|" + failure.reason;
        return out;
    });
    EXPECT_EQ(answer, "8|Installed by the system's package manager. Remove it there.");

    auto expected = before;
    const std::string h = "/home/";
    for (const char* gone : {"Applications/Cursor-1.2.3-x86_64.AppImage", ".local/share/applications/cursor.desktop",
                             ".config/autostart/cursor.desktop", ".config/Cursor", ".cache/cursor",
                             ".local/share/flatpak/app/org.example.Notes", ".var/app/org.example.Notes",
                             ".config/org.example.Notes"})
        std::erase_if(expected, [&](const auto& entry) {
            return entry.first == h + gone || entry.first.starts_with(h + gone + "/");
        });
    auto after = tree(fixture.root());
    std::erase_if(after, [&](const auto& entry) { return entry.first.starts_with(h + ".local/share/Trash"); });
    EXPECT_EQ(after, expected);
    EXPECT_TRUE(test::exists(at(".local/share/Trash/files/Cursor-1.2.3-x86_64.AppImage")));
}

// As a person would, through the whole road (list, parts with the sheet's default ticks,
// uninstall, leftovers to the Trash), as an unprivileged user: a program unpacked in ~/opt
// with a link in ~/.local/bin, nvim.appimage beside the system's nvim, and an old Tidra
// AppImage. Only the apps' own parts leave; the settings found by name alone stay, as the
// sheet says by leaving them unticked.
TEST_F(LinuxUninstallTest, ALiveUninstallTakesAllOfEachAppAndNothingElse) {
    fixture.temp.text("home/opt/mytool/bin/mytool", "#!/bin/sh\n");
    fixture.temp.chmod("home/opt/mytool/bin/mytool", 0755);
    fixture.temp.file("home/opt/mytool/lib/libmytool.so", 50 << 10);
    fixture.temp.text("home/.local/share/applications/mytool.desktop",
                      "[Desktop Entry]\nType=Application\nName=MyTool\nExec=" + at("opt/mytool/bin/mytool") + "\n");
    fixture.temp.symlink("home/.local/bin/mytool", at("opt/mytool/bin/mytool"));
    fixture.temp.file("home/.config/MyTool/settings.json", 100);
    fixture.temp.file("home/.cache/MyTool/index", 100);
    fs::remove(at(".local/share/applications/nvim.desktop"));
    fixture.temp.file("home/.config/nvim/init.lua", 100);
    fixture.temp.file("home/.cache/nvim/luac", 100);
    fixture.temp.text("usr/bin/nvim", "#!/bin/sh\n");
    fixture.temp.chmod("usr/bin/nvim", 0755);
    fixture.temp.text("home/Downloads/Tidra-0.9.AppImage", test::appImageHead() + "old");
    fixture.temp.chmod("home/Downloads/Tidra-0.9.AppImage", 0755);
    fixture.temp.file("home/.config/Tidra/Tidra.conf", 100);
    fixture.temp.file("home/.local/share/Tidra/history.json", 100);
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(home.c_str(), 65534, 65534), 0);
        for (const auto& entry : fs::recursive_directory_iterator(home))
            ASSERT_EQ(::lchown(entry.path().c_str(), 65534, 65534), 0);
    }
    const auto places = fixture.places();
    const Strings commands{fixture.path("usr/bin"), at(".local/bin"), at("bin")};
    const auto before = tree(fixture.root());

    const std::string answer = test::runAsNobody([&] {
        const auto listed = LinuxApps::list(places);
        std::vector<InstalledApp> chosen;
        for (const auto& app : listed)
            if (app.name == "MyTool" || app.name == "nvim" || app.name == "Tidra") chosen.push_back(app);
        // The sheet shows the parts before anything moves.
        std::vector<Strings> ticked(chosen.size());
        for (std::size_t i = 0; i < chosen.size(); ++i)
            for (const auto& path : AppParts::of(chosen[i], listed, home, true, commands))
                if (!AppFootprint::isSettingsFoundByName(path, chosen[i].bundleID, home)) ticked[i].push_back(path);
        const PathGuard guardian(home, home + "/Applications", "");
        auto report = AppRemover(guardian).uninstall(chosen);
        for (const auto& parts : ticked) {
            const auto moved = Cleaner(guardian).perform(CleanupAction::Trash{parts});
            report.removed += moved.removed;
            report.failures.insert(report.failures.end(), moved.failures.begin(), moved.failures.end());
        }
        std::string out = std::to_string(chosen.size()) + " apps, " + std::to_string(report.removed) + " moved";
        for (const auto& failure : report.failures) out += "|" + failure.path + ": " + failure.reason;
        return out;
    });
    EXPECT_EQ(answer, "3 apps, 7 moved");

    auto expected = before;
    const std::string h = "/home/";
    for (const char* gone : {"opt/mytool", ".local/share/applications/mytool.desktop", ".local/bin/mytool",
                             ".cache/MyTool", "Apps/nvim.appimage", ".local/bin/nvim", "Downloads/Tidra-0.9.AppImage"})
        std::erase_if(expected, [&](const auto& entry) {
            return entry.first == h + gone || entry.first.starts_with(h + gone + "/");
        });
    auto after = tree(fixture.root());
    std::erase_if(after, [&](const auto& entry) { return entry.first.starts_with(h + ".local/share/Trash"); });
    EXPECT_EQ(after, expected);
    EXPECT_TRUE(test::exists(at(".local/share/Trash/files/mytool/lib/libmytool.so")));
}

} // namespace
} // namespace tidra
