#include "performance/StartupItems.h"

#include "support/FakeTool.h"
#include "support/RunAsNobody.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <unistd.h>

namespace tidra {

// Found by gtest through the argument's namespace.
void PrintTo(const StartupItem& item, std::ostream* out) {
    *out << "{" << item.label << ", " << scopeText(item.scope) << ", " << item.program.value_or("-") << ", "
         << item.startsAutomatically << ", " << item.programMissing << ", " << item.plistPath << "}";
}

namespace {

using Scope = StartupItem::Scope;

std::string service(const std::string& description, const std::string& command) {
    std::string text = "[Unit]\n";
    if (!description.empty()) text += "Description=" + description + "\n";
    return text + "[Service]\nType=simple\nExecStart=" + command + "\n\n[Install]\nWantedBy=default.target\n";
}

// A home with autostart entries and systemd services in every scope, the system folders inside
// it: an enabled user service whose program is gone, one whose program exists, a disabled one
// and an enabled template instance; for all users a shared leftover; system-wide a service
// enabled twice and one that is not enabled.
struct StartupFixture {
    test::TempHome home;
    std::string autostart = home.dir(".config/autostart");
    std::string units = home.dir(".config/systemd/user");
    std::string gone = home.path("gone/tool");
    StartupItems::Machine machine{.autostart = home.dir("system/autostart"),
                                  .userUnits = home.dir("system/user"),
                                  .systemUnits = home.dir("system/system"),
                                  .searchPath = "relative:" + home.dir("bin") + "::" + home.path("nobin"),
                                  .systemctl = home.path("systemctl"),
                                  .trash = {},
                                  .ownHome = home.root(),
                                  .dpkgDatabase = home.path("dpkg")};

    StartupFixture() {
        home.text(".config/autostart/x.desktop", "[Desktop Entry]\nName=X App\nExec=env A=1 " + gone + " %U\nHidden=true\n");
        home.text(".config/autostart/y.desktop", "[Desktop Entry]\nExec=present-cmd --tray\n");
        home.text(".config/autostart/z.desktop", "[Desktop Entry]\nExec=tidra-no-such-command\n");
        home.file("bin/present-cmd");

        home.text(".config/systemd/user/gone.service", service("Sync agent", "-" + gone + " --daemon"));
        home.text(".config/systemd/user/present.service", service("", "/bin/sh -c true"));
        home.text(".config/systemd/user/disabled.service", service("Old helper", gone));
        home.text(".config/systemd/user/sync@.service", service("Sync %i", "node sync.js"));
        home.text(".config/systemd/user/notes.txt", "ignored");
        home.dir(".config/systemd/user/folder.service");
        home.symlink(".config/systemd/user/default.target.wants/gone.service", units + "/gone.service");
        home.symlink(".config/systemd/user/default.target.wants/present.service", "../present.service");
        home.symlink(".config/systemd/user/timers.target.wants/sync@home.service", units + "/sync@.service");

        home.text("system/autostart/s.desktop",
                  "[Desktop Entry]\nName=Shared\nExec=/bin/true\nX-GNOME-Autostart-enabled=false\n");
        home.text("system/user/shared.service", service("Shared agent", gone));
        home.text("packages/daemon.service", service("Print daemon", "/bin/true"));
        home.symlink("system/system/multi-user.target.wants/daemon.service", home.path("packages/daemon.service"));
        home.symlink("system/system/printer.target.wants/daemon.service", home.path("packages/daemon.service"));
        home.text("system/system/local.service", service("Not enabled", "/bin/true"));
    }
};

TEST(StartupItemsTest, ListsEveryScopeInFileNameOrder) {
    StartupFixture f;
    const std::string enabledDaemon = f.machine.systemUnits + "/multi-user.target.wants/daemon.service";
    const std::vector<StartupItem> expected = {
        {"X App", Scope::user, f.gone, false, true, f.autostart + "/x.desktop"},
        {"y", Scope::user, "present-cmd", true, false, f.autostart + "/y.desktop"},
        {"z", Scope::user, "tidra-no-such-command", true, true, f.autostart + "/z.desktop"},
        {"Old helper", Scope::user, f.gone, false, true, f.units + "/disabled.service"},
        {"Sync agent", Scope::user, f.gone, true, true, f.units + "/gone.service"},
        {"present", Scope::user, "/bin/sh", true, false, f.units + "/present.service"},
        // systemd finds a bare name in folders of its own: never a leftover. A template has no
        // instance to fill "%i" in with, so its name stands.
        {"sync@", Scope::user, "node", true, false, f.units + "/sync@.service"},
        {"Shared", Scope::allUsers, "/bin/true", false, false, f.machine.autostart + "/s.desktop"},
        {"Shared agent", Scope::allUsers, f.gone, false, true, f.machine.userUnits + "/shared.service"},
        {"Print daemon", Scope::system, "/bin/true", true, false, enabledDaemon},
    };
    const auto items = StartupItems::list(f.home.root(), f.machine);
    EXPECT_EQ(items, expected);
    std::vector<bool> leftovers;
    for (const auto& item : items) leftovers.push_back(item.isLeftover());
    EXPECT_EQ(leftovers, (std::vector<bool>{true, false, true, true, true, false, false, false, false, false}));
}

// A program behind a folder we may not enter is not known to be gone, so it is no leftover.
TEST(StartupItemsTest, AProgramThatCannotBeLookedAtIsNotMissing) {
    test::TempHome home;
    home.file("locked/tool");
    home.chmod("locked", 0700);
    home.text(".config/systemd/user/locked.service", service("", home.path("locked/tool")));
    home.text(".config/systemd/user/gone.service", service("", home.path("locked-not/tool")));
    const std::string flags = test::runAsNobody([&] {
        std::string out;
        for (const auto& item : StartupItems::list(home.root(), {.autostart = "", .userUnits = "", .systemUnits = ""}))
            out += item.label + "=" + std::to_string(item.programMissing) + " ";
        return out;
    });
    EXPECT_EQ(flags, "gone=1 locked=0 ");
}

TEST(StartupItemsTest, ScopesHaveTheirTexts) {
    const std::vector<Scope> scopes(allScopes().begin(), allScopes().end());
    EXPECT_EQ(scopes, (std::vector<Scope>{Scope::user, Scope::allUsers, Scope::system}));
    for (const auto scope : scopes) EXPECT_EQ(scopeFromText(scopeText(scope)), scope);
    EXPECT_EQ(scopeText(Scope::system), "System-wide service");
    EXPECT_EQ(scopeFromText("your account"), std::nullopt);
}

TEST(StartupItemsTest, NoUserFoldersLeavesTheSystemOnes) {
    StartupFixture f;
    const auto items = StartupItems::list(f.home.path("elsewhere"), f.machine);
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(items.front().label, "Shared");
    EXPECT_EQ(items.back().scope, Scope::system);
}

struct Removal : StartupFixture {
    test::FakeTool systemctl{machine.systemctl, {}};
    std::vector<std::string> trashed;

    Removal() {
        machine.trash = [this](const std::string& path, const std::string& homeFolder) -> std::optional<std::string> {
            EXPECT_EQ(homeFolder, home.root());
            trashed.push_back(path);
            return std::nullopt;
        };
    }
    StartupItem item(const std::string& path) {
        for (const auto& item : StartupItems::list(home.root(), machine))
            if (item.plistPath == path) return item;
        ADD_FAILURE() << "no item " << path;
        return {};
    }
    std::optional<std::string> remove(const StartupItem& item) {
        return StartupItems::removeLeftover(item, home.root(), machine);
    }
};

TEST(StartupItemsTest, RemovesALeftoverServiceAfterDisablingIt) {
    Removal r;
    const std::string path = r.units + "/gone.service";
    EXPECT_EQ(r.remove(r.item(path)), std::nullopt);
    EXPECT_EQ(r.systemctl.calls(),
              (std::vector<std::vector<std::string>>{{"--user", "disable", "--now", "--", "gone.service"}}));
    EXPECT_EQ(r.trashed, (std::vector<std::string>{path, r.units + "/default.target.wants/gone.service"}));

    // A disabled one has no link left to move.
    EXPECT_EQ(r.remove(r.item(r.units + "/disabled.service")), std::nullopt);
    EXPECT_EQ(r.trashed.back(), r.units + "/disabled.service");
    EXPECT_EQ(r.systemctl.calls().size(), 2u);

    // Autostart entries have nothing to disable.
    EXPECT_EQ(r.remove(r.item(r.autostart + "/z.desktop")), std::nullopt);
    EXPECT_EQ(r.systemctl.calls().size(), 2u);
    EXPECT_EQ(r.trashed.back(), r.autostart + "/z.desktop");
}

// A unit named like an option stays a name; what systemctl refuses is said, and nothing moves.
TEST(StartupItemsTest, ReportsWhatSystemctlRefused) {
    Removal r;
    r.home.text(".config/systemd/user/-Hx.service", service("", r.gone));
    test::FakeTool refusing(r.machine.systemctl, test::reply("", 1, "Failed to connect to bus\n"));
    EXPECT_EQ(r.remove(r.item(r.units + "/-Hx.service")), "systemctl did not stop and disable it: Failed to connect to bus");
    EXPECT_EQ(refusing.calls(), (std::vector<std::vector<std::string>>{{"--user", "disable", "--now", "--", "-Hx.service"}}));
    test::FakeTool silent(r.machine.systemctl, test::reply("", 3));
    EXPECT_EQ(r.remove(r.item(r.units + "/gone.service")), "systemctl did not stop and disable it: exit code 3");
    EXPECT_TRUE(r.trashed.empty());
}

// Another home's units run in no session of ours: its files move, systemctl is never asked.
TEST(StartupItemsTest, AnotherHomesLeftoverMovesWithoutSystemctl) {
    Removal r;
    r.machine.ownHome = r.home.path("somebody-else");
    r.home.dir("somebody-else");
    EXPECT_EQ(r.remove(r.item(r.units + "/gone.service")), std::nullopt);
    EXPECT_TRUE(r.systemctl.calls().empty());
    EXPECT_EQ(r.trashed, (std::vector<std::string>{r.units + "/gone.service", r.units + "/default.target.wants/gone.service"}));
}

// The system-wide list shows what was chosen: not the base system's units, not systemd's own;
// a template's instance is named by its instance.
TEST(StartupItemsTest, SystemWideListLeavesTheBaseSystemOut) {
    StartupFixture f;
    const std::string packages = f.home.path("packages");
    f.home.text("packages/getty@.service", service("Getty on %I", "/sbin/agetty"));
    f.home.text("packages/e2scrub_reap.service", service("Remove Stale Online ext4 Metadata Check Snapshots", "/bin/true"));
    f.home.text("packages/systemd-timesyncd.service", service("Network Time Synchronization", "/bin/true"));
    f.home.text("packages/docker.service", service("Docker Application Container Engine", "/bin/true"));
    f.home.text("packages/worker@.service", service("Worker %i (%p) %%", "/bin/true"));
    f.home.text("packages/odd@.service", service("Odd %H", "/bin/true"));
    for (const char* unit : {"getty@tty1", "e2scrub_reap", "systemd-timesyncd", "docker", "worker@a-b", "odd@x"})
        f.home.symlink(std::string("system/system/multi-user.target.wants/") + unit + ".service",
                       packages + "/" + std::string(unit).substr(0, std::string(unit).find('@') + 1) +
                           (std::string(unit).find('@') == std::string::npos ? unit : "") + ".service");
    f.home.text("system/system/getty@.service", service("Admin's getty %i", "/bin/true"));
    f.home.symlink("system/system/getty.target.wants/getty@tty9.service", f.machine.systemUnits + "/getty@.service");
    f.home.symlink("system/system/getty.target.wants/getty@tty8.service", "../getty@.service");
    f.home.text("dpkg/status", "Package: systemd\nStatus: install ok installed\nPriority: important\n\n"
                               "Package: e2fsprogs\nStatus: install ok installed\nPriority: required\n\n"
                               "Package: docker.io\nStatus: install ok installed\nPriority: optional\n\n"
                               "Package: gone\nStatus: deinstall ok config-files\nPriority: required\n");
    f.home.text("dpkg/info/systemd:amd64.list", "/lib/systemd/system/getty@.service\n/usr/share/doc/odd@.service\n");
    f.home.text("dpkg/info/e2fsprogs.list", "/lib/systemd/system/e2scrub_reap.service\n");
    f.home.text("dpkg/info/docker.io.list", "/lib/systemd/system/docker.service\n");
    f.home.text("dpkg/info/gone.list", "/lib/systemd/system/worker@.service\n");
    std::vector<std::string> labels;
    for (const auto& item : StartupItems::list(f.home.root(), f.machine))
        if (item.scope == Scope::system) labels.push_back(item.label);
    EXPECT_EQ(labels, (std::vector<std::string>{"Print daemon", "Docker Application Container Engine",
                                                "Admin's getty tty8", "Admin's getty tty9", "odd@x",
                                                "Worker a-b (worker) %"}));
}

TEST(StartupItemsTest, PassesTheTrashReasonOn) {
    Removal r;
    r.machine.trash = [](const std::string&, const std::string&) { return std::optional<std::string>("disk on fire"); };
    EXPECT_EQ(r.remove(r.item(r.units + "/gone.service")), "disk on fire");
}

TEST(StartupItemsTest, RefusesWhatIsNotAnOwnLeftover) {
    Removal r;
    const std::string refusal = "Only leftovers among your own startup items can be removed.";
    r.home.text("elsewhere/gone.service", service("", r.gone));
    r.home.text("outside/target.service", service("", r.gone));
    r.home.symlink(".config/systemd/user/link.service", r.home.path("outside/target.service"));
    // A folder beside the unit folder whose name begins with its name is still elsewhere.
    r.home.text(".config/systemd/user.old/target.service", service("", r.gone));
    r.home.symlink(".config/systemd/user/sibling.service", r.home.path(".config/systemd/user.old/target.service"));
    r.home.text(".config/systemd/user/broken.service.txt", "");
    const StartupItem leftover = r.item(r.units + "/gone.service");
    const auto at = [&](const std::string& path) {
        StartupItem item = leftover;
        item.plistPath = path;
        return item;
    };
    StartupItem allUsers = r.item(r.machine.userUnits + "/shared.service");
    StartupItem present = leftover;
    present.programMissing = false;
    const struct {
        const char* what;
        StartupItem item;
        std::string message;
    } cases[] = {
        {"for all users", allUsers, refusal},
        {"for all users, relabelled as the user's", [&] { auto i = allUsers; i.scope = Scope::user; return i; }(), refusal},
        {"program present", present, refusal},
        {"outside the folder", at(r.home.path("elsewhere/gone.service")), refusal},
        {"the wants link", at(r.units + "/default.target.wants/gone.service"), refusal},
        {"dot-dot component", at(r.units + "/../user/gone.service"), refusal},
        {"dot component", at(r.units + "/./gone.service"), refusal},
        {"the folder itself", at(r.units + "/.."), refusal},
        {"wrong ending", at(r.units + "/notes.txt"), refusal},
        {"service in the autostart folder", at(r.autostart + "/gone.service"), refusal},
        {"link out of the folder", at(r.units + "/link.service"), refusal},
        {"link into a sibling folder", at(r.units + "/sibling.service"), refusal},
        {"file gone", at(r.units + "/vanished.service"), "The startup file can no longer be read."},
        {"a folder", at(r.units + "/folder.service"), "The startup file can no longer be read."},
        {"program in the file exists", at(r.units + "/present.service"),
         "Its program is there again, so it is no longer a leftover."},
    };
    for (const auto& c : cases) EXPECT_EQ(r.remove(c.item), c.message) << c.what;
    EXPECT_TRUE(r.systemctl.calls().empty());
    EXPECT_TRUE(r.trashed.empty());
}

TEST(StartupItemsTest, RefusesWhenTheProgramCameBack) {
    Removal r;
    const StartupItem unit = r.item(r.units + "/gone.service");
    const StartupItem bare = r.item(r.autostart + "/z.desktop");
    r.home.file("gone/tool");
    r.home.file("bin/tidra-no-such-command");
    for (const auto& item : {unit, bare})
        EXPECT_EQ(r.remove(item), "Its program is there again, so it is no longer a leftover.") << item.plistPath;
    EXPECT_TRUE(r.systemctl.calls().empty());
    EXPECT_TRUE(r.trashed.empty());
}

TEST(StartupItemsTest, TrashesALinkWithinTheFolderItself) {
    Removal r;
    r.home.symlink(".config/systemd/user/alias.service", r.units + "/disabled.service");
    EXPECT_EQ(r.remove(r.item(r.units + "/alias.service")), std::nullopt);
    EXPECT_EQ(r.trashed, std::vector<std::string>{r.units + "/alias.service"});
}

TEST(StartupItemsTest, DefaultTrashMovesTheUnitAndItsLinkIntoTheHomeTrash) {
    Removal r;
    r.machine.trash = StartupItems::moveToTrash;
    EXPECT_EQ(r.remove(r.item(r.units + "/gone.service")), std::nullopt);
    EXPECT_NE(access((r.units + "/gone.service").c_str(), F_OK), 0);
    EXPECT_NE(faccessat(AT_FDCWD, (r.units + "/default.target.wants/gone.service").c_str(), F_OK, AT_SYMLINK_NOFOLLOW), 0);
    EXPECT_EQ(access(r.home.path(".local/share/Trash/files/gone.service").c_str(), F_OK), 0);
    EXPECT_NE(StartupItems::moveToTrash(r.units + "/gone.service", r.home.root()), std::nullopt);
}

} // namespace
} // namespace tidra
