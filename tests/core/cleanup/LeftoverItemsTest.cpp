#include "CatalogFixture.h"

#include "support/TempHome.h"

#include <gtest/gtest.h>

namespace tidra {
namespace {

using Paths = std::vector<std::string>;

TEST(LeftoverItemsTest, EditorsThatAreGoneOfferTheirFolders) {
    test::TempHome home;
    for (const char* folder : {".cursor", ".trae", "Library/Application Support/Trae", ".vscode",
                               "Library/Application Support/Code", "Library/Application Support/Windsurf"})
        home.dir(folder);
    test::FakeMachine machine;
    machine.installed = {"trae"}; // by its command
    const auto items = test::runBuilder(CleanupCatalog::leftovers, machine.environment(home.root())).items;
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(items[0], (CleanupItem{"leftover.Cursor", "Cursor extensions and settings", CleanupCategory::leftovers,
                                     "Cursor is not installed. Reinstalling it later starts with a clean slate.",
                                     Safety::review, CleanupAction::Delete{{home.path(".cursor")}}, false, 1,
                                     std::nullopt}));
    EXPECT_EQ(items[1].id, "leftover.Windsurf");
    EXPECT_EQ(items[1].action.paths(), Paths{home.path("Library/Application Support/Windsurf")});
    EXPECT_EQ(items[2].id, "leftover.Visual Studio Code");
    EXPECT_EQ(items[2].title, "Visual Studio Code extensions and settings");
    EXPECT_EQ(items[2].action.paths(), (Paths{home.path(".vscode"), home.path("Library/Application Support/Code")}));
}

TEST(LeftoverItemsTest, AsksByNameCommandAndIdentifier) {
    test::TempHome home;
    home.dir(".vscode");
    home.dir(".cursor");
    std::vector<std::pair<Paths, Paths>> questions;
    auto env = test::FakeMachine{}.environment(home.root());
    env.isAppInstalled = [&](const Paths& names, const Paths& ids) {
        questions.emplace_back(names, ids);
        return ids == Paths{"com.microsoft.VSCode"};
    };
    const auto items = test::runBuilder(CleanupCatalog::leftovers, env).items;
    EXPECT_EQ(test::idsOf(items), Paths{"leftover.Cursor"});
    EXPECT_EQ(questions, (std::vector<std::pair<Paths, Paths>>{
                             {{"Cursor", "cursor"}, {"com.todesktop.230313mzl4w4u92"}},
                             {{"Trae", "trae"}, {"com.trae.app"}},
                             {{"Windsurf", "windsurf"}, {"com.exafunction.windsurf"}},
                             {{"Visual Studio Code", "code"}, {"com.microsoft.VSCode"}},
                         }));
}

} // namespace
} // namespace tidra
