#include "support/CatalogFixture.h"

#include "support/RunAsNobody.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

namespace tidra {
namespace {

const std::string trashFolder = ".local/share/Trash";

std::string trashItem(const CleanupEnvironment& env) {
    const auto items = test::runStep(CleanupCatalog::trash, env).items;
    if (items.empty()) return "none";
    std::string out = items[0].requiresAdmin ? "admin" : "user";
    for (const auto& path : items[0].action.paths()) out.append(" ").append(path, env.home.size() + 1);
    return out;
}

TEST(TrashItemsTest, EmptiesFilesAndRecordsOfTheHomeTrash) {
    test::TempHome home;
    const auto env = test::FakeMachine{}.environment(home.root());
    EXPECT_EQ(trashItem(env), "none");
    home.file(trashFolder + "/files/old.txt", 10);
    EXPECT_EQ(trashItem(env), "user " + trashFolder + "/files");
    home.text(trashFolder + "/info/old.txt.trashinfo", "[Trash Info]\n");
    const auto items = test::runStep(CleanupCatalog::trash, env).items;
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0], (CleanupItem{"trash", "Everything in the Trash", CleanupCategory::trash,
                                     "Erased for good. It can no longer be put back.", Safety::review,
                                     CleanupAction::DeleteContents{{home.path(trashFolder + "/files"),
                                                                    home.path(trashFolder + "/info")}},
                                     false, 1, std::nullopt}));
}

TEST(TrashItemsTest, UnlistableTrashOrHomeGivesNoItem) {
    test::TempHome home;
    home.dir(trashFolder + "/files", 0755);
    home.dir(trashFolder + "/info", 0755);
    const auto env = test::FakeMachine{}.environment(home.root());
    // Listable but not the user's to empty.
    EXPECT_EQ(test::runAsNobody([&] { return trashItem(env); }),
              "admin " + trashFolder + "/files " + trashFolder + "/info");
    home.chmod(trashFolder, 0711);
    EXPECT_EQ(test::runAsNobody([&] { return trashItem(env); }), "none");
    home.chmod(trashFolder, 0755);
    home.chmod("", 0711);
    EXPECT_EQ(test::runAsNobody([&] { return trashItem(env); }), "none");
}

} // namespace
} // namespace tidra
