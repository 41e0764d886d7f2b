#include "CatalogFixture.h"

#include "support/TempHome.h"

#include <gtest/gtest.h>

namespace tidra {
namespace {

TEST(DownloadItemsTest, InstallersOneByOneInNameOrder) {
    test::TempHome home;
    home.file("Downloads/Tool.dmg", 5);
    home.file("Downloads/Setup.PKG", 5);
    home.file("Downloads/notes.txt", 5);
    home.file("Downloads/.iso");
    home.file("Downloads/disk.iso.part");
    home.dir("Downloads/Bundle.pkg");
    home.file("Downloads/Xcode.xip");
    const auto items = test::runBuilder(CleanupCatalog::downloads, test::FakeMachine{}.environment(home.root())).items;
    EXPECT_EQ(test::idsOf(items), (std::vector<std::string>{"download.Bundle.pkg", "download.Setup.PKG",
                                                             "download.Tool.dmg", "download.Xcode.xip"}));
    ASSERT_FALSE(items.empty());
    EXPECT_EQ(items[1], (CleanupItem{"download.Setup.PKG", "Setup.PKG", CleanupCategory::downloads,
                                     "Moved to the Trash, so you can still put it back.", Safety::review,
                                     CleanupAction::Trash{{home.path("Downloads/Setup.PKG")}}, false, 20'000'000,
                                     std::nullopt}));
}

} // namespace
} // namespace tidra
