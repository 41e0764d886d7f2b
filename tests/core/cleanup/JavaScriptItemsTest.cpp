#include "cleanup/CatalogBuilders.h"
#include "cleanup/JavaScriptItems.h"

#include "support/CatalogFixture.h"
#include "support/RunAsNobody.h"
#include "support/MountNamespace.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace tidra {
namespace {

using Paths = std::vector<std::string>;

TEST(JavaScriptItemsTest, NpmCacheFolderFromConfigFiles) {
    struct Row {
        const char* name;
        std::optional<std::string> user;   // ~/.npmrc; nothing: no file
        std::vector<std::string> globals;  // global files in order
        std::optional<std::string> expected; // "$H" stands for the home folder
    };
    const Row rows[] = {
        {"no files", std::nullopt, {}, std::nullopt},
        {"tilde and slash", "cache=~/caches/npm\n", {}, "$H/caches/npm"},
        {"blanks, double quotes, ${HOME}", "cache = \"${HOME}/npm-cache\"\n", {}, "$H/npm-cache"},
        {"unmatched quotes of both kinds", "cache='\"${HOME}/q\n", {}, "$H/q"},
        {"every ${HOME} replaced", "cache=${HOME}/a${HOME}\n", {}, "$H/a$H"},
        {"value outside home stops the search", "cache=/var/npm\n", {"cache=~/g\n"}, std::nullopt},
        {"relative value refused", "cache=caches/npm\n", {}, std::nullopt},
        {"lone tilde is the home itself, refused", "cache=~\n", {"cache=~/g\n"}, std::nullopt},
        {"tilde with a user name left as written", "cache=~bob/npm\n", {}, std::nullopt},
        {"user file without cache line lets global decide", "registry=x\n", {"", "cache=~/second\n"}, "$H/second"},
        {"user file wins over globals", "cache=~/user\n", {"cache=~/global\n"}, "$H/user"},
        {"first global with a line decides", std::nullopt, {"cache=~/one\n", "cache=~/two\n"}, "$H/one"},
        {"empty value skipped", "cache=\ncache=~/later\n", {}, "$H/later"},
        {"blank value decides and is refused", "cache = \t\ncache=~/later\n", {"cache=~/g\n"}, std::nullopt},
        {"near keys do not match", "cache-min=1\nCache=~/x\n;cache=~/y\n", {"cache=~/z\n"}, "$H/z"},
        {"later text stays part of the value", "cache=~/c # note\n", {}, "$H/c # note"},
        {"non-UTF-8 user file passed over", "cache=~/\xC0\x80\n", {"cache=~/g\n"}, "$H/g"},
        {"CR separated lines", "a=1\rcache=~/cr\r", {}, "$H/cr"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        test::TempHome home;
        if (row.user) home.text(".npmrc", *row.user);
        Paths globals;
        for (std::size_t i = 0; i < row.globals.size(); ++i)
            globals.push_back(home.text("etc/npmrc" + std::to_string(i), row.globals[i]));
        globals.push_back(home.path("etc/missing"));
        std::optional<std::string> expected = row.expected;
        if (expected)
            for (auto at = expected->find("$H"); at != std::string::npos; at = expected->find("$H", at))
                expected->replace(at, 2, home.root());
        EXPECT_EQ(CleanupCatalog::npmCacheFolder(home.root(), globals), expected);
    }
}

TEST(JavaScriptItemsTest, AllItemsInOrder) {
    test::TempHome home;
    for (const char* dir : {".npm/_cacache", ".npm/_logs", "caches/npm/_npx", "Library/Caches/Yarn",
                            ".cache/puppeteer", "Library/Caches/ms-playwright", "Library/Caches/typescript"})
        home.dir(dir);
    home.text(".npmrc", "cache=~/caches/npm\n");
    const auto items = test::runStep(CleanupCatalog::javascript, test::quietEnvironment(home.root())).items;

    const auto p = [&](const std::string& relative) { return home.path(relative); };
    const auto item = [](const char* id, const char* title, const char* consequence, CleanupAction action) {
        return CleanupItem{id, title, CleanupCategory::javascript, consequence, Safety::safe, std::move(action),
                           false, 1, std::nullopt};
    };
    const std::vector<CleanupItem> expected{
        item("npm.cache", "npm cache", "Packages download again on the next install.",
             CleanupAction::Delete{{p(".npm/_cacache"), p(".npm/_logs"), p("caches/npm/_npx")}}),
        item("yarn.cache", "Yarn cache", "Packages download again on the next install.",
             CleanupAction::Delete{{p("Library/Caches/Yarn")}}),
        item("puppeteer.browsers", "Puppeteer browser downloads",
             "Each project needs \"npx puppeteer browsers install\" before it next runs.",
             CleanupAction::DeleteContents{{p(".cache/puppeteer")}}),
        item("playwright.browsers", "Playwright browser downloads",
             "Each project needs \"npx playwright install\" before it next runs.",
             CleanupAction::Delete{{p("Library/Caches/ms-playwright")}}),
        item("node.buildCaches", "Node build caches", "Rebuilt on demand.",
             CleanupAction::Delete{{p("Library/Caches/typescript")}}),
    };
    EXPECT_EQ(items, expected);
}

TEST(JavaScriptItemsTest, BunAndNvmDownloads) {
    test::TempHome home;
    home.dir(".bun/install/cache/pkg");
    home.dir(".bun/bin");
    home.dir(".nvm/.cache/bin/node-v20");
    home.dir(".nvm/versions/node/v20/bin");
    auto env = test::quietEnvironment(home.root());
    env.searchPath = {home.path(".bun/bin"), home.path(".nvm/versions/node/v20/bin")};
    const auto items = test::runStep(CleanupCatalog::javascript, env).items;
    const std::vector<CleanupItem> expected{
        {"bun.cache", "Bun cache", CleanupCategory::javascript, "Packages download again on the next install.",
         Safety::safe, CleanupAction::Delete{{home.path(".bun/install/cache")}}, false, 1, std::nullopt},
        {"nvm.cache", "nvm downloads", CleanupCategory::javascript,
         "Node.js versions download again the next time nvm installs one.", Safety::safe,
         CleanupAction::Delete{{home.path(".nvm/.cache")}}, false, 1, std::nullopt},
    };
    EXPECT_EQ(items, expected);
}

TEST(JavaScriptItemsTest, ConfiguredCacheEqualToDefaultAddsNothing) {
    test::TempHome home;
    home.dir(".npm/_npx");
    home.text(".npmrc", "cache=${HOME}/.npm\n");
    const auto items = test::runStep(CleanupCatalog::javascript, test::quietEnvironment(home.root())).items;
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0].action.paths(), Paths{home.path(".npm/_npx")});
}

TEST(JavaScriptItemsTest, PuppeteerFollowsWritabilityNotDeletability) {
    test::TempHome home;
    home.dir(".cache", 0755);
    home.dir(".cache/puppeteer", 0777);
    const std::string answer = test::runAsNobody([&] {
        const auto items = test::runStep(CleanupCatalog::javascript, test::quietEnvironment(home.root())).items;
        return items.size() == 1 ? std::string(items[0].requiresAdmin ? "admin" : "user") : std::string("none");
    });
    EXPECT_EQ(answer, "user");
}

std::string rootYarnAnswer(const std::string& home, Paths rootYarnCaches) {
    auto env = test::quietEnvironment(home);
    env.rootYarnCaches = std::move(rootYarnCaches);
    const auto items = test::runStep(CleanupCatalog::javascript, env).items;
    if (items.empty()) return "none";
    return items[0].id + (items[0].requiresAdmin ? " admin" : " user");
}

TEST(JavaScriptItemsTest, RootYarnCacheOnlyWhenGivenAndPresent) {
    test::TempHome home, elsewhere;
    const std::string cache = elsewhere.dir("Yarn");
    EXPECT_EQ(rootYarnAnswer(home.root(), {}), "none");
    EXPECT_EQ(rootYarnAnswer(home.root(), {elsewhere.path("missing")}), "none");
    // Not a folder the administrator removal may take: the add step alone decides.
    EXPECT_EQ(rootYarnAnswer(home.root(), {elsewhere.path("missing"), cache}),
              ::geteuid() == 0 ? "yarn.cache.root user" : "yarn.cache.root admin");
}

// The cleaner refuses anything outside the home folder, so the allow-listed cache must go
// through the administrator removal even when the user could delete it.
TEST(JavaScriptItemsTest, AllowListedRootYarnCacheAlwaysNeedsAdmin) {
    const Paths caches{"/usr/local/share/Library/Caches/Yarn", "/usr/local/share/.cache/yarn"};
    test::TempHome home;
    const auto answer = test::runInMountNamespace([&] {
        if (!test::mountTmpfs("/usr/local/share")) return std::string("<no tmpfs>");
        for (const auto& cache : caches) {
            std::filesystem::create_directories(cache);
            std::filesystem::permissions(cache, std::filesystem::perms::all);
        }
        return rootYarnAnswer(home.root(), caches);
    });
    if (!answer || *answer == "<no tmpfs>")
        GTEST_SKIP() << "cannot mount a scratch /usr/local/share here (needs a private mount namespace)";
    EXPECT_EQ(*answer, "yarn.cache.root admin");
}

} // namespace
} // namespace tidra
