#include "support/CatalogFixture.h"

#include "cleanup/ModelWeights.h"

#include "support/MountNamespace.h"
#include "support/RunAsNobody.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

namespace tidra {
namespace {

using Paths = std::vector<std::string>;

const std::string caches = "Library/Caches";

TEST(AppCacheItemsTest, EachAppCacheTitledWithTheAppsNameThenTheLogs) {
    test::TempHome home;
    for (const char* name : {"com.apple.Safari", ".hidden", "Com.Apple.Thing", "org.tool", "Big"})
        home.dir(caches + "/" + name);
    home.file("Library/Logs/app.log", 10);
    test::FakeMachine machine;
    machine.names = {{"org.tool", "Tool Pro"}};
    const auto items = test::runStep(CleanupCatalog::appCaches, machine.environment(home.root())).items;
    EXPECT_EQ(test::idsOf(items), (Paths{"cache.Big", "cache.Com.Apple.Thing", "cache.org.tool", "logs"}));
    ASSERT_EQ(items.size(), 4u);
    EXPECT_EQ(items[0].title, "Big cache");
    EXPECT_EQ(items[2], (CleanupItem{"cache.org.tool", "Tool Pro cache", CleanupCategory::apps,
                                     "The app rebuilds it as needed.", Safety::safe,
                                     CleanupAction::Delete{{home.path(caches + "/org.tool")}}, false, 5'000'000,
                                     std::nullopt}));
    EXPECT_EQ(items[3], (CleanupItem{"logs", "Logs", CleanupCategory::apps, "None. These are diagnostic logs.",
                                     Safety::safe, CleanupAction::DeleteContents{{home.path("Library/Logs")}}, false,
                                     1, std::nullopt}));
}

// A folder holding a claimed path is never offered whole: its bytes would count twice, and a
// safe item would delete what another leaves for review.
TEST(AppCacheItemsTest, ClaimedPathsAreNeverCoveredTwice) {
    struct Row {
        const char* name;
        Paths present;  // below Library/Caches
        Paths claimed;  // below Library/Caches
        Paths expected; // below Library/Caches; empty: no item
    };
    const Row rows[] = {
        {"claimed itself", {"P/a"}, {"P"}, {}},
        {"inside a claimed folder", {"P/a"}, {""}, {}},
        {"one claimed entry", {"P/a", "P/b", "P/c"}, {"P/b"}, {"P/a", "P/c"}},
        {"claimed two levels down", {"P/a/b", "P/a/c", "P/z"}, {"P/a/b"}, {"P/a/c", "P/z"}},
        {"nothing but the claimed entry", {"P/a"}, {"P/a"}, {}},
        {"look-alike claimed sibling", {"P/a", "PP/x"}, {"PP"}, {"P"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        test::TempHome home;
        for (const auto& p : row.present) home.dir(caches + "/" + p);
        Paths claimed, expected;
        for (const auto& c : row.claimed) claimed.push_back(c.empty() ? home.path(caches) : home.path(caches + "/" + c));
        for (const auto& e : row.expected) expected.push_back(home.path(caches + "/" + e));
        const auto b = test::runStep(CleanupCatalog::appCaches, test::FakeMachine{}.environment(home.root()), claimed);
        std::vector<const CleanupItem*> cacheP;
        for (const auto& item : b.items)
            if (item.id == "cache.P") cacheP.push_back(&item);
        if (expected.empty()) {
            EXPECT_TRUE(cacheP.empty());
            continue;
        }
        ASSERT_EQ(cacheP.size(), 1u);
        EXPECT_EQ(cacheP[0]->action, CleanupAction(CleanupAction::Delete{expected}));
    }
}

TEST(AppCacheItemsTest, LogsLeaveClaimedEntriesToTheirItems) {
    test::TempHome home;
    home.file("Library/Logs/app.log", 10);
    home.dir("Library/Logs/com.gone.tool");
    home.dir("Library/Logs/Vendor/kept");
    home.dir("Library/Logs/Vendor/claimed");
    const auto env = test::FakeMachine{}.environment(home.root());
    const auto b = test::runStep(CleanupCatalog::appCaches, env,
                                    {home.path("Library/Logs/com.gone.tool"), home.path("Library/Logs/Vendor/claimed")});
    ASSERT_EQ(b.items.size(), 1u);
    EXPECT_EQ(b.items[0], (CleanupItem{"logs", "Logs", CleanupCategory::apps, "None. These are diagnostic logs.",
                                       Safety::safe,
                                       CleanupAction::Delete{{home.path("Library/Logs/Vendor/kept"),
                                                              home.path("Library/Logs/app.log")}},
                                       false, 1, std::nullopt}));
    EXPECT_TRUE(test::runStep(CleanupCatalog::appCaches, env, {home.path("Library/Logs")}).items.empty());
}

TEST(AppCacheItemsTest, FoldersTheUserCannotRemoveNeedAdmin) {
    test::TempHome home;
    home.dir(caches + "/root-owned/inner", 0755);
    home.dir("Library/Logs", 0755);
    const auto env = test::FakeMachine{}.environment(home.root());
    const std::string answer = test::runAsNobody([&] {
        std::string out;
        for (const auto& item : test::runStep(CleanupCatalog::appCaches, env).items)
            out += item.id + (item.requiresAdmin ? ":admin " : ":user ");
        return out;
    });
    EXPECT_EQ(answer, "cache.root-owned:admin logs:admin ");
}

// ~/.cache is the same kind of folder on this platform: an app's caches in both places, or in
// its Flatpak or snap folder, are one item; models and live indexes are no caches.
TEST(AppCacheItemsTest, LinuxCachesJoinTheDesignedOnes) {
    test::TempHome home;
    for (const char* folder : {"Library/Caches/tool", ".cache/tool", ".cache/huggingface/hub", ".cache/tracker3/files",
                               ".cache/.hidden", ".var/app/tool/cache", "snap/other/common/.cache"})
        home.dir(folder);
    const auto items = test::runStep(CleanupCatalog::appCaches, test::quietEnvironment(home.root())).items;
    EXPECT_EQ(test::idsOf(items), (Paths{"cache.other", "cache.tool"}));
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0].action.paths(), Paths{home.path("snap/other/common/.cache")});
    EXPECT_EQ(items[1].action.paths(),
              (Paths{home.path("Library/Caches/tool"), home.path(".cache/tool"), home.path(".var/app/tool/cache")}));
}

// A cache holding model checkpoints, found by content at any depth, is reviewed with the
// download's cost as its consequence; a cache of other data stays a safe default.
TEST(AppCacheItemsTest, CachesHoldingModelWeightsAreReviewed) {
    test::TempHome home;
    home.file(".cache/whisper/medium.pt", 10'000);
    home.file(".cache/diffusers/models--x/snapshots/abc/unet/model.SafeTensors", 10'000);
    home.file(".cache/pip/http/a/b/c/d", 10'000);
    home.file(".cache/pip/http/shader.bin", 10'000);
    const auto items = test::runStep(CleanupCatalog::appCaches, test::quietEnvironment(home.root())).items;
    EXPECT_EQ(test::idsOf(items), (Paths{"cache.diffusers", "cache.pip", "cache.whisper"}));
    ASSERT_EQ(items.size(), 3u);
    for (const auto* item : {&items[0], &items[2]}) {
        EXPECT_EQ(item->safety, Safety::review) << item->id;
        EXPECT_EQ(item->consequence, "Models download again the next time a program loads them, which can take hours.");
    }
    EXPECT_EQ(items[1].safety, Safety::safe);
    EXPECT_EQ(items[1].consequence, "The app rebuilds it as needed.");
}

TEST(AppCacheItemsTest, WeightsFilesByNameAndLargeBinBySize) {
    const struct {
        const char* name;
        std::int64_t bytes;
        bool weights;
    } cases[] = {{"model.pt", 0, true},           {"model.PTH", 0, true},       {"last.ckpt", 0, true},
                 {"x.safetensors", 0, true},      {"llama.gguf", 0, true},      {"enc.onnx", 0, true},
                 {"pytorch_model.bin", 50'000'000, true}, {"shader.bin", 49'999'999, false},
                 {"notes.txt", 900'000'000, false}, {"pt", 0, false}};
    for (const auto& c : cases) EXPECT_EQ(ModelWeights::isWeightsFile(c.name, c.bytes), c.weights) << c.name;
}

// An Electron app's Chromium caches in its ~/.config folder join its other caches; its
// settings and storage beside them are never offered, nor a claimed cache.
TEST(AppCacheItemsTest, ElectronCachesInTheConfigFolder) {
    test::TempHome home;
    for (const char* folder : {".config/Slack/Cache/Cache_Data", ".config/Slack/Code Cache/js", ".config/Slack/GPUCache",
                               ".config/Slack/Local Storage", ".cache/Slack", ".config/Editor/GPUCache",
                               ".config/.hidden/Cache", ".config/claimed/Cache", ".config/plain/settings"})
        home.dir(folder);
    home.text(".config/Slack/Preferences", "{}");
    const auto built = test::runStep(CleanupCatalog::appCaches, test::quietEnvironment(home.root()),
                                     {home.path(".config/claimed/Cache")});
    EXPECT_EQ(test::idsOf(built.items), (Paths{"cache.Editor", "cache.Slack"}));
    ASSERT_EQ(built.items.size(), 2u);
    EXPECT_EQ(built.items[0].action.paths(), Paths{home.path(".config/Editor/GPUCache")});
    EXPECT_EQ(built.items[1].action.paths(),
              (Paths{home.path(".cache/Slack"), home.path(".config/Slack/Cache"), home.path(".config/Slack/Code Cache"),
                     home.path(".config/Slack/GPUCache")}));
    EXPECT_EQ(built.items[1].safety, Safety::safe);
}

// A mount under ~/.cache (the document portal's "doc", gvfs) is another file system: nothing
// of it is offered.
TEST(AppCacheItemsTest, MountPointsUnderTheCacheFolderAreNeverOffered) {
    test::TempHome home;
    home.dir(".cache/doc");
    home.dir(".cache/real");
    const auto answer = test::runInMountNamespace([&] {
        if (!test::mountTmpfs(home.path(".cache/doc"))) return std::string("<no tmpfs>");
        home.file(".cache/doc/by-app/file", 10);
        std::string ids;
        for (const auto& item : test::runStep(CleanupCatalog::appCaches, test::quietEnvironment(home.root())).items)
            ids += item.id + " ";
        return ids;
    });
    if (!answer || *answer == "<no tmpfs>") GTEST_SKIP() << test::kNoMountNamespace;
    EXPECT_EQ(*answer, "cache.real ");
}

} // namespace
} // namespace tidra
