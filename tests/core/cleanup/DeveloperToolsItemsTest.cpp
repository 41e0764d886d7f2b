#include "cleanup/CatalogBuilders.h"

#include "support/CatalogFixture.h"
#include "support/RunAsNobody.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

namespace tidra {
namespace {

using Paths = std::vector<std::string>;

TEST(DeveloperToolsItemsTest, AllSevenInOrder) {
    test::TempHome home;
    for (const char* dir : {"Library/Caches/Homebrew", "Library/Caches/JetBrains", "Library/Caches/pip",
                            "Library/Caches/go-build", ".cargo/registry/cache", ".local/share/kraftkit/runtime/oci",
                            ".docker/scout"})
        home.dir(dir);
    const auto p = [&](const std::string& relative) { return home.path(relative); };
    const auto tools = CleanupCategory::developerTools;
    const std::vector<CleanupItem> expected{
        {"homebrew.cache", "Homebrew downloads", tools,
         "None. Homebrew keeps them only so a reinstall can skip the download.", Safety::safe,
         CleanupAction::Delete{{p("Library/Caches/Homebrew")}}, false, 1, std::nullopt},
        {"jetbrains.caches", "JetBrains IDE caches", tools, "The IDE re-indexes each project the next time you open it.",
         Safety::safe, CleanupAction::DeleteContents{{p("Library/Caches/JetBrains")}}, false, 1, std::nullopt},
        {"pip.cache", "pip cache", tools, "Packages download again on the next install.", Safety::safe,
         CleanupAction::Delete{{p("Library/Caches/pip")}}, false, 1, std::nullopt},
        {"go.buildCache", "Go build cache", tools, "The next Go build compiles everything again.", Safety::safe,
         CleanupAction::Delete{{p("Library/Caches/go-build")}}, false, 1, std::nullopt},
        {"cargo.cache", "Cargo download cache", tools, "Crates download again when a build needs them.", Safety::safe,
         CleanupAction::Delete{{p(".cargo/registry/cache")}}, false, 1, std::nullopt},
        {"kraftkit.packages", "KraftKit unikernel images", tools,
         "kraft downloads the images it needs again on the next build.", Safety::review,
         CleanupAction::DeleteContents{{p(".local/share/kraftkit/runtime/oci")}}, false, 1, std::nullopt},
        {"docker.scout", "Docker Scout cache", CleanupCategory::docker,
         "Rebuilt the next time Docker Scout analyses an image.", Safety::safe,
         CleanupAction::Delete{{p(".docker/scout")}}, false, 1, std::nullopt},
    };
    EXPECT_EQ(test::runStep(CleanupCatalog::developerTools, test::quietEnvironment(home.root())).items, expected);
}

// The named tools at their Linux places. Model weights and project environments cost hours to
// get back, so they are never selected by default, and the app caches leave them alone.
TEST(DeveloperToolsItemsTest, LinuxPlacesOfTheNamedTools) {
    test::TempHome home;
    for (const char* dir : {".cargo/registry/index/github", ".cargo/registry/src/x", ".cargo/git/db/y",
                            ".cargo/git/checkouts/z", ".cargo/bin", "go/pkg/mod/cache/download", ".m2/repository/org",
                            ".cache/torch/hub/checkpoints", ".cache/pypoetry/virtualenvs/app-py3.11",
                            ".cache/pypoetry/cache/repositories"})
        home.dir(dir);
    const auto p = [&](const std::string& relative) { return home.path(relative); };
    auto env = test::quietEnvironment(home.root());
    env.searchPath = {p(".cargo/bin"), p("go/bin")};
    const auto built = test::runStep(CleanupCatalog::developerTools, env);
    EXPECT_EQ(test::idsOf(built.items), (Paths{"cargo.cache", "go.moduleCache", "maven.repository", "torch.models",
                                               "poetry.virtualenvs"}));
    ASSERT_EQ(built.items.size(), 5u);
    EXPECT_EQ(built.items[0].action.paths(), (Paths{p(".cargo/registry/index"), p(".cargo/registry/src"),
                                                    p(".cargo/git/db"), p(".cargo/git/checkouts")}));
    EXPECT_EQ(built.items[1].action.paths(), Paths{p("go/pkg/mod")});
    EXPECT_EQ(built.items[1].safety, Safety::safe);
    for (std::size_t i = 2; i < 5; ++i) EXPECT_EQ(built.items[i].safety, Safety::review) << built.items[i].id;
    EXPECT_EQ(built.items[3].consequence, "Models download again the next time a program loads them, which can take hours.");
    EXPECT_EQ(built.items[4].consequence, "Each project needs \"poetry install\" again before it runs.");

    const auto all = CleanupCatalog::build(env, {CleanupCatalog::developerTools, CleanupCatalog::appCaches});
    EXPECT_EQ(test::idsOf(all), (Paths{"cargo.cache", "go.moduleCache", "maven.repository", "torch.models",
                                       "poetry.virtualenvs", "cache.pypoetry"}));
    EXPECT_EQ(all.back().action.paths(), Paths{p(".cache/pypoetry/cache")});
}

TEST(DeveloperToolsItemsTest, DockerScoutSortsAheadOfTools) {
    test::TempHome home;
    home.dir("Library/Caches/pip");
    home.dir(".docker/scout");
    const auto env = test::quietEnvironment(home.root());
    EXPECT_EQ(test::idsOf(test::runStep(CleanupCatalog::developerTools, env).items),
              (Paths{"pip.cache", "docker.scout"}));
    EXPECT_EQ(test::idsOf(CleanupCatalog::build(env, {CleanupCatalog::developerTools})),
              (Paths{"docker.scout", "pip.cache"}));
}

// Emptying needs only a writable folder, removing a writable parent.
TEST(DeveloperToolsItemsTest, AdminFollowsTheActionsOwnTest) {
    test::TempHome home;
    home.dir("Library/Caches", 0755);
    home.dir("Library/Caches/JetBrains", 0777);
    home.dir("Library/Caches/pip", 0777);
    home.dir(".cargo/registry", 0777);
    home.dir(".cargo/registry/cache", 0777);
    home.dir(".local/share/kraftkit/runtime", 0777);
    home.dir(".local/share/kraftkit/runtime/oci", 0755);
    const std::string answer = test::runAsNobody([&] {
        std::string out;
        for (const auto& item : test::runStep(CleanupCatalog::developerTools, test::quietEnvironment(home.root())).items)
            out += item.id + (item.requiresAdmin ? ":admin " : ":user ");
        return out;
    });
    EXPECT_EQ(answer, "jetbrains.caches:user pip.cache:admin cargo.cache:user kraftkit.packages:admin ");
}

} // namespace
} // namespace tidra
