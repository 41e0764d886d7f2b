#include "performance/StartupItems.h"

#include "support/FakeTool.h"
#include "support/RunAsNobody.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>
#include <plist/plist.h>
#include <unistd.h>

namespace tidra {

// Found by gtest through the argument's namespace.
void PrintTo(const StartupItem& item, std::ostream* out) {
    *out << "{" << item.label << ", " << scopeText(item.scope) << ", " << item.program.value_or("-") << ", "
         << item.startsAutomatically << ", " << item.programMissing << ", " << item.plistPath << "}";
}

namespace {

using Scope = StartupItem::Scope;

plist_t dict(std::initializer_list<std::pair<const char*, plist_t>> members) {
    plist_t root = plist_new_dict();
    for (const auto& [key, value] : members) plist_dict_set_item(root, key, value);
    return root;
}

plist_t array(std::initializer_list<plist_t> elements) {
    plist_t root = plist_new_array();
    for (plist_t element : elements) plist_array_append_item(root, element);
    return root;
}

plist_t str(const std::string& text) { return plist_new_string(text.c_str()); }

// A home with launchd jobs and autostart entries in every scope, and system folders inside it.
struct StartupFixture {
    test::TempHome home;
    std::string agents = home.dir("Library/LaunchAgents");
    std::string autostart = home.dir(".config/autostart");
    std::string gone = home.path("gone/tool");
    StartupItems::Machine machine{.launchAgents = home.dir("system/LaunchAgents"),
                                  .launchDaemons = home.path("system/LaunchDaemons"),
                                  .autostart = home.dir("system/autostart"),
                                  .searchPath = "relative:" + home.dir("bin") + "::" + home.path("nobin"),
                                  .launchctl = home.path("launchctl"),
                                  .trash = {}};

    StartupFixture() {
        home.plist("Library/LaunchAgents/b.plist", dict({{"Label", str("com.b")}, {"Program", str(gone)}}));
        home.plist("Library/LaunchAgents/a.plist",
                   dict({{"Label", str("com.a")},
                         {"ProgramArguments", array({str("/bin/sh"), str("-c")})},
                         {"RunAtLoad", plist_new_bool(1)}}),
                   true);
        home.plist("Library/LaunchAgents/c.plist", dict({{"ProgramArguments", array({})}}));
        home.plist("Library/LaunchAgents/d.plist",
                   dict({{"Label", plist_new_uint(7)},
                         {"Program", str("bare-tool")},
                         {"KeepAlive", dict({{"SuccessfulExit", plist_new_bool(0)}})}}));
        home.plist("Library/LaunchAgents/e.plist",
                   dict({{"Label", str("com.e")},
                         {"ProgramArguments", array({str("/x"), plist_new_uint(3)})},
                         {"KeepAlive", plist_new_bool(0)}}));
        home.plist("Library/LaunchAgents/array.plist", array({str("x")}));
        home.text("Library/LaunchAgents/broken.plist", "not a property list");
        home.text("Library/LaunchAgents/notes.txt", "ignored");
        home.plist("Library/LaunchAgents/B.plist.bak", dict({{"Label", str("ignored")}}));

        home.text(".config/autostart/x.desktop", "[Desktop Entry]\nName=X App\nExec=env A=1 " + gone + " %U\nHidden=true\n");
        home.text(".config/autostart/y.desktop", "[Desktop Entry]\nExec=present-cmd --tray\n");
        home.text(".config/autostart/z.desktop", "[Desktop Entry]\nExec=tidra-no-such-command\n");
        home.file("bin/present-cmd");

        home.plist("system/LaunchAgents/b.plist", dict({{"Label", str("com.b")}, {"Program", str(gone)}}));
        home.text("system/autostart/s.desktop",
                  "[Desktop Entry]\nName=Shared\nExec=/bin/true\nX-GNOME-Autostart-enabled=false\n");
    }
};

TEST(StartupItemsTest, ListsEveryScopeInFileNameOrder) {
    StartupFixture f;
    const std::vector<StartupItem> expected = {
        {"com.a", Scope::user, "/bin/sh", true, false, f.agents + "/a.plist"},
        {"com.b", Scope::user, f.gone, false, true, f.agents + "/b.plist"},
        {"c", Scope::user, std::nullopt, false, false, f.agents + "/c.plist"},
        {"d", Scope::user, "bare-tool", true, false, f.agents + "/d.plist"},
        {"com.e", Scope::user, std::nullopt, false, false, f.agents + "/e.plist"},
        {"X App", Scope::user, f.gone, false, true, f.autostart + "/x.desktop"},
        {"y", Scope::user, "present-cmd", true, false, f.autostart + "/y.desktop"},
        {"z", Scope::user, "tidra-no-such-command", true, true, f.autostart + "/z.desktop"},
        {"com.b", Scope::allUsers, f.gone, false, true, f.machine.launchAgents + "/b.plist"},
        {"Shared", Scope::allUsers, "/bin/true", false, false, f.machine.autostart + "/s.desktop"},
    };
    const auto items = StartupItems::list(f.home.root(), f.machine);
    EXPECT_EQ(items, expected);
    std::vector<bool> leftovers;
    for (const auto& item : items) leftovers.push_back(item.isLeftover());
    EXPECT_EQ(leftovers, (std::vector<bool>{false, true, false, false, false, true, false, true, false, false}));
}

// A program behind a folder we may not enter is not known to be gone, so it is no leftover.
TEST(StartupItemsTest, AProgramThatCannotBeLookedAtIsNotMissing) {
    test::TempHome home;
    home.file("locked/tool");
    home.chmod("locked", 0700);
    home.plist("Library/LaunchAgents/locked.plist", dict({{"Program", str(home.path("locked/tool"))}}));
    home.plist("Library/LaunchAgents/gone.plist", dict({{"Program", str(home.path("locked-not/tool"))}}));
    const std::string flags = test::runAsNobody([&] {
        std::string out;
        for (const auto& item : StartupItems::list(home.root(), {.launchAgents = "", .launchDaemons = "", .autostart = ""}))
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
    f.home.plist("system/LaunchDaemons/daemon.plist", dict({{"Program", str("/bin/true")}}));
    const auto items = StartupItems::list(f.home.path("elsewhere"), f.machine);
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(items.back().scope, Scope::system);
    EXPECT_EQ(items.back().label, "daemon");
}

struct Removal : StartupFixture {
    test::FakeTool launchctl{machine.launchctl, {}};
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

TEST(StartupItemsTest, RemovesALeftoverAfterAskingLaunchdToUnloadIt) {
    Removal r;
    const std::string path = r.agents + "/b.plist";
    EXPECT_EQ(r.remove(r.item(path)), std::nullopt);
    EXPECT_EQ(r.launchctl.calls(),
              (std::vector<std::vector<std::string>>{{"bootout", "gui/" + std::to_string(getuid()), path}}));
    EXPECT_EQ(r.trashed, std::vector<std::string>{path});

    // Autostart entries have nothing to unload.
    EXPECT_EQ(r.remove(r.item(r.autostart + "/z.desktop")), std::nullopt);
    EXPECT_EQ(r.launchctl.calls().size(), 1u);
    EXPECT_EQ(r.trashed.back(), r.autostart + "/z.desktop");
}

TEST(StartupItemsTest, PassesTheTrashReasonOn) {
    Removal r;
    r.machine.trash = [](const std::string&, const std::string&) { return std::optional<std::string>("disk on fire"); };
    EXPECT_EQ(r.remove(r.item(r.agents + "/b.plist")), "disk on fire");
}

TEST(StartupItemsTest, RefusesWhatIsNotAnOwnLeftover) {
    Removal r;
    const std::string refusal = "Only leftovers in your own Login Items can be removed.";
    r.home.plist("elsewhere/b.plist", dict({{"Program", str(r.gone)}}));
    r.home.plist("outside/target.plist", dict({{"Program", str(r.gone)}}));
    r.home.symlink("Library/LaunchAgents/link.plist", r.home.path("outside/target.plist"));
    const StartupItem leftover = r.item(r.agents + "/b.plist");
    const auto at = [&](const std::string& path) {
        StartupItem item = leftover;
        item.plistPath = path;
        return item;
    };
    StartupItem allUsers = r.item(r.machine.launchAgents + "/b.plist");
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
        {"outside the folder", at(r.home.path("elsewhere/b.plist")), refusal},
        {"dot-dot component", at(r.agents + "/../LaunchAgents/b.plist"), refusal},
        {"dot component", at(r.agents + "/./b.plist"), refusal},
        {"the folder itself", at(r.agents + "/.."), refusal},
        {"wrong ending", at(r.agents + "/notes.txt"), refusal},
        {"plist in the autostart folder", at(r.autostart + "/b.plist"), refusal},
        {"link out of the folder", at(r.agents + "/link.plist"), refusal},
        {"file gone", at(r.agents + "/vanished.plist"), "The startup file can no longer be read."},
        {"not a dictionary", at(r.agents + "/broken.plist"), "The startup file can no longer be read."},
        {"program in the file exists", at(r.agents + "/a.plist"), "Its program is there again, so it is no longer a leftover."},
    };
    for (const auto& c : cases) EXPECT_EQ(r.remove(c.item), c.message) << c.what;
    EXPECT_TRUE(r.launchctl.calls().empty());
    EXPECT_TRUE(r.trashed.empty());
}

TEST(StartupItemsTest, RefusesWhenTheProgramCameBack) {
    Removal r;
    const StartupItem launchd = r.item(r.agents + "/b.plist");
    const StartupItem bare = r.item(r.autostart + "/z.desktop");
    r.home.file("gone/tool");
    r.home.file("bin/tidra-no-such-command");
    for (const auto& item : {launchd, bare})
        EXPECT_EQ(r.remove(item), "Its program is there again, so it is no longer a leftover.") << item.plistPath;
    EXPECT_TRUE(r.launchctl.calls().empty());
    EXPECT_TRUE(r.trashed.empty());
}

TEST(StartupItemsTest, TrashesALinkWithinTheFolderItself) {
    Removal r;
    r.home.symlink("Library/LaunchAgents/alias.plist", r.agents + "/b.plist");
    EXPECT_EQ(r.remove(r.item(r.agents + "/alias.plist")), std::nullopt);
    EXPECT_EQ(r.trashed, std::vector<std::string>{r.agents + "/alias.plist"});
}

TEST(StartupItemsTest, DefaultTrashMovesTheFileIntoTheHomeTrash) {
    Removal r;
    r.machine.trash = StartupItems::moveToTrash;
    EXPECT_EQ(r.remove(r.item(r.agents + "/b.plist")), std::nullopt);
    EXPECT_NE(access((r.agents + "/b.plist").c_str(), F_OK), 0);
    EXPECT_EQ(access(r.home.path(".local/share/Trash/files/b.plist").c_str(), F_OK), 0);
    EXPECT_NE(StartupItems::moveToTrash(r.agents + "/b.plist", r.home.root()), std::nullopt);
}

} // namespace
} // namespace tidra
