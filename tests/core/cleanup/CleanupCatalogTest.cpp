#include "cleanup/CatalogBuilders.h"
#include "cleanup/CleanupCatalog.h"

#include "support/CatalogFixture.h"
#include "support/RunAsNobody.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

namespace tidra {
namespace {

using CleanupCatalog::Builder;
using Paths = std::vector<std::string>;
using PathAction = Builder::PathAction;

Builder::Entry entry(const std::string& id, CleanupCategory category = CleanupCategory::apps) {
    return {id, "Title " + id, category, "Consequence", Safety::safe};
}

std::vector<std::string> ids(const std::vector<CleanupItem>& items) {
    std::vector<std::string> out;
    for (const auto& item : items) out.push_back(item.id);
    return out;
}

TEST(CleanupCatalogTest, EmptyHomeGivesNoItems) {
    test::TempHome home;
    EXPECT_TRUE(CleanupCatalog::items(test::quietEnvironment(home.root())).empty());
}

TEST(CleanupCatalogTest, BuildersRunInFixedOrder) {
    using Fn = void (*)(Builder&);
    const Fn expected[] = {CleanupCatalog::xcode,          CleanupCatalog::android,      CleanupCatalog::javascript,
                           CleanupCatalog::flutter,        CleanupCatalog::developerTools, CleanupCatalog::oldSettings,
                           CleanupCatalog::assistants,     CleanupCatalog::personalData, CleanupCatalog::leftovers,
                           CleanupCatalog::deletedApps,    CleanupCatalog::downloads,    CleanupCatalog::trash,
                           CleanupCatalog::appCaches};
    const auto& order = CleanupCatalog::builderOrder();
    ASSERT_EQ(order.size(), std::size(expected));
    for (std::size_t i = 0; i < order.size(); ++i) {
        const Fn* target = order[i].target<Fn>();
        ASSERT_NE(target, nullptr) << i;
        EXPECT_EQ(*target, expected[i]) << i;
    }
}

TEST(CleanupCatalogTest, SortsByCategoryKeepingBuilderOrderWithin) {
    test::TempHome home;
    home.dir("a");
    const auto addAll = [&](std::vector<std::pair<std::string, CleanupCategory>> rows) {
        return [=, &home](Builder& b) {
            for (const auto& [id, category] : rows) b.add(entry(id, category), PathAction::remove, {home.path("a")});
        };
    };
    const auto items = CleanupCatalog::build(
        test::quietEnvironment(home.root()),
        {addAll({{"flutter.1", CleanupCategory::flutter}, {"tools.1", CleanupCategory::developerTools}}),
         addAll({{"tools.2", CleanupCategory::developerTools},
                 {"docker.scout", CleanupCategory::docker},
                 {"xcode.late", CleanupCategory::xcode},
                 {"flutter.2", CleanupCategory::flutter}})});
    EXPECT_EQ(ids(items), (Paths{"xcode.late", "flutter.1", "flutter.2", "docker.scout", "tools.1", "tools.2"}));
}

TEST(CleanupCatalogTest, AddKeepsExistingCandidatesInOrderAndClaimsThem) {
    test::TempHome home;
    home.dir("b");
    home.symlink("dangling", home.path("nowhere"));
    home.file("a", 3);
    Builder b{test::quietEnvironment(home.root()), {}, {}};
    auto e = entry("x", CleanupCategory::javascript);
    e.minimumBytesToShow = 5'000'000;
    ASSERT_TRUE(
        b.add(e, PathAction::trash, {home.path("b"), home.path("missing"), home.path("dangling"), home.path("a")}));
    const Paths kept{home.path("b"), home.path("dangling"), home.path("a")};
    ASSERT_EQ(b.items.size(), 1u);
    const CleanupItem& item = b.items[0];
    EXPECT_EQ(item, (CleanupItem{"x", "Title x", CleanupCategory::javascript, "Consequence", Safety::safe,
                                 CleanupAction::Trash{kept}, false, 5'000'000, std::nullopt}));
    EXPECT_EQ(b.claimed, kept);

    EXPECT_FALSE(b.add(entry("y"), PathAction::remove, {home.path("missing")}));
    EXPECT_FALSE(b.add(entry("z"), PathAction::remove, {}));
    EXPECT_EQ(b.items.size(), 1u);
    EXPECT_EQ(b.claimed, kept);
}

TEST(CleanupCatalogTest, AddBuildsTheRequestedActionCase) {
    test::TempHome home;
    const Paths paths{home.dir("f")};
    Builder b{test::quietEnvironment(home.root()), {}, {}};
    b.add(entry("remove"), PathAction::remove, paths);
    b.add(entry("empty"), PathAction::removeContents, paths);
    b.add(entry("trash"), PathAction::trash, paths);
    ASSERT_EQ(b.items.size(), 3u);
    EXPECT_EQ(b.items[0].action, CleanupAction(CleanupAction::Delete{paths}));
    EXPECT_EQ(b.items[1].action, CleanupAction(CleanupAction::DeleteContents{paths}));
    EXPECT_EQ(b.items[2].action, CleanupAction(CleanupAction::Trash{paths}));
    EXPECT_EQ(b.claimed, (Paths{paths[0], paths[0], paths[0]}));
}

// Permissions are judged as the user sees them, so the cases run as nobody.
TEST(CleanupCatalogTest, RequiresAdminFollowsTheActionsPermissionTest) {
    test::TempHome home;
    home.dir("mine", 0777);
    home.dir("mine/sub", 0777);
    home.dir("locked", 0755);           // folder nobody cannot write: cannot empty it, or remove it whole
    home.dir("open/locked", 0755);      // removable entry? parent open, but its contents cannot go
    home.chmod("open", 0777);
    home.dir("sealed", 0755);
    home.dir("sealed/writable", 0777);  // writable itself, but its parent keeps it
    home.file("sealed/file", 1);
    struct Row {
        const char* name;
        PathAction action;
        Paths relative;
        bool requiresAdmin;
    };
    const Row rows[] = {
        {"own folder, remove", PathAction::remove, {"mine/sub"}, false},
        {"own folder, empty", PathAction::removeContents, {"mine"}, false},
        {"locked folder, empty", PathAction::removeContents, {"locked"}, true},
        {"writable folder in sealed parent, empty", PathAction::removeContents, {"sealed/writable"}, false},
        {"writable folder in sealed parent, remove", PathAction::remove, {"sealed/writable"}, true},
        {"file in sealed parent, remove", PathAction::remove, {"sealed/file"}, true},
        {"locked folder in open parent, remove", PathAction::remove, {"open/locked"}, true},
        {"one of several not removable", PathAction::remove, {"mine/sub", "sealed/file"}, true},
        {"trash never asks", PathAction::trash, {"locked", "sealed/file"}, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Paths paths;
        for (const auto& r : row.relative) paths.push_back(home.path(r));
        const std::string answer = test::runAsNobody([&] {
            Builder b{test::quietEnvironment(home.root()), {}, {}};
            b.add(entry("x"), row.action, paths);
            if (b.items.size() != 1 || b.items[0].action.paths() != paths) return std::string("bad item");
            return std::string(b.items[0].requiresAdmin ? "admin" : "user");
        });
        EXPECT_EQ(answer, row.requiresAdmin ? "admin" : "user");
    }
}

TEST(CleanupCatalogTest, ClaimTestCoversPathAndEverythingBelowOnly) {
    Builder b{test::quietEnvironment("/h"), {}, {"/h/Library/Caches/Foo", "/h/x/"}};
    struct Row {
        const char* path;
        bool claimed;
    };
    const Row rows[] = {
        {"/h/Library/Caches/Foo", true},     {"/h/Library/Caches/Foo/bar", true},
        {"/h/Library/Caches/Foo/a/b", true}, {"/h/Library/Caches/FooBar", false},
        {"/h/Library/Caches", false},        {"/h/Library/Caches/foo", false},
        {"/h/Library/Caches/Foo/", true},    {"/h/x", false},
        {"/h/x/", true},                     {"/h/x//y", true},
    };
    for (const auto& row : rows) EXPECT_EQ(b.isClaimed(row.path), row.claimed) << row.path;
    EXPECT_FALSE((Builder{test::quietEnvironment("/h"), {}, {}}.isClaimed("/h")));
}

TEST(CleanupCatalogTest, ChildrenAreFullPathsInByteOrder) {
    test::TempHome home;
    home.file("f/b");
    home.dir("f/a");
    home.file("f/.c");
    home.file("f/B");
    home.symlink("f/link", "nowhere");
    const std::string f = home.path("f");
    EXPECT_EQ(Builder::children(f), (Paths{f + "/.c", f + "/B", f + "/a", f + "/b", f + "/link"}));
    EXPECT_EQ(Builder::children(f, [](const std::string& name) { return name.size() == 1; }),
              (Paths{f + "/B", f + "/a", f + "/b"}));
    EXPECT_TRUE(Builder::children(home.path("missing")).empty());
    EXPECT_TRUE(Builder::children(home.path("f/b")).empty());
}

TEST(CleanupCatalogTest, UnlistableFolderHasNoChildren) {
    test::TempHome home;
    home.file("closed/a");
    home.chmod("closed", 0700);
    EXPECT_EQ(test::runAsNobody([&] { return std::to_string(Builder::children(home.path("closed")).size()); }), "0");
}

TEST(CleanupCatalogTest, IsTakenMatchesTheIdentifierFamily) {
    const Paths list{"com.example.tool", "org.other"};
    struct Row {
        const char* id;
        bool taken;
    };
    const Row rows[] = {
        {"com.example.tool", true},      {"com.example.tool.helper", true}, {"com.example.tool.a.b", true},
        {"com.example.toolbox", false},  {"com.example", false},            {"Com.Example.Tool", false},
        {"org.other.x", true},           {"org.others", false},             {"", false},
    };
    for (const auto& row : rows) EXPECT_EQ(CleanupCatalog::isTaken(row.id, list), row.taken) << row.id;
    EXPECT_FALSE(CleanupCatalog::isTaken("com.example.tool", {}));
}

TEST(CleanupCatalogTest, SharedTables) {
    const auto& names = CleanupCatalog::ideNames();
    EXPECT_EQ(names.size(), 14u);
    EXPECT_EQ(names.at("AndroidStudio"), "Android Studio");
    EXPECT_EQ(names.at("IdeaIC"), "IntelliJ IDEA CE");
    EXPECT_EQ(names.at("PyCharmCE"), "PyCharm CE");
    EXPECT_EQ(names.at("Fleet"), "Fleet");
    EXPECT_EQ(CleanupCatalog::installerExtensions(), (std::set<std::string>{"dmg", "pkg", "xip", "iso", "deb", "rpm",
                                                                         "snap", "flatpak", "flatpakref", "run"}));
}

} // namespace
} // namespace tidra
