#include "cleanup/CatalogBuilders.h"
#include "cleanup/OldSettingsItems.h"

#include "support/CatalogFixture.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

namespace tidra {
namespace {

using Paths = std::vector<std::string>;
using CleanupCatalog::IdeVersion;

const std::string jetbrains = "Library/Application Support/JetBrains/";
const std::string google = "Library/Application Support/Google/";

TEST(OldSettingsItemsTest, IdeVersionSplitsNames) {
    struct Row {
        std::string name;
        std::optional<IdeVersion> expected;
    };
    const Row rows[] = {
        {"IntelliJIdea2024.1", IdeVersion{"IntelliJIdea", {2024, 1}}},
        {"PyCharmCE2023.3-backup", IdeVersion{"PyCharmCE", {2023, 3}}},
        {"GoLand2024.2.1", IdeVersion{"GoLand", {2024, 2, 1}}},
        {"GoLand2024.1.2 beta", IdeVersion{"GoLand", {2024, 1}}},
        {"Rider2024..1.", IdeVersion{"Rider", {2024, 1}}},
        {"Fleet1.+2.-3", IdeVersion{"Fleet", {1, 2, -3}}},
        {"Fleet1.+-2", IdeVersion{"Fleet", {1}}},
        {"CLion9223372036854775807.99999999999999999999", IdeVersion{"CLion", {9223372036854775807}}},
        // A non-ASCII number starts the version but does not parse as one.
        {"WebStorm\xD9\xA2" "024.3", IdeVersion{"WebStorm", {3}}},
        {"Odd\xFF" "2024.1", IdeVersion{"Odd\xFF", {2024, 1}}},
        {"2024.1", std::nullopt},
        {"consentOptions", std::nullopt},
        {"-backup", std::nullopt},
        {"", std::nullopt},
        {"DataGrip2024x", std::nullopt},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(CleanupCatalog::ideVersion(row.name), row.expected);
    }
}

TEST(OldSettingsItemsTest, OffersAllButTheNewestLiveVersion) {
    struct Row {
        const char* name;
        Paths folders; // under the JetBrains settings folder
        Paths expected; // ids without "ide."
    };
    const Row rows[] = {
        {"old live and backups", {"IntelliJIdea2023.3", "IntelliJIdea2024.1", "IntelliJIdea2024.1-backup"},
         {"IntelliJIdea2023.3", "IntelliJIdea2024.1-backup"}},
        {"only backups", {"Rider2023.1-backup", "Rider2024.1-backup"}, {"Rider2023.1-backup", "Rider2024.1-backup"}},
        {"separate products", {"PyCharm2024.1", "PyCharmCE2023.2"}, {}},
        {"numbers, not text", {"WebStorm2023.10", "WebStorm2023.9"}, {"WebStorm2023.9"}},
        {"longer is newer", {"GoLand2024.2", "GoLand2024.2.1"}, {"GoLand2024.2"}},
        {"unknown products", {"AndroidStudioPreview2024.2", "AndroidStudioPreview2023.1", "consentOptions"}, {}},
        // Listed in byte order whatever the file system returns.
        {"in name order", {"CLion2022.1", "CLion2021.3", "CLion2023.1", "CLion2021.2"},
         {"CLion2021.2", "CLion2021.3", "CLion2022.1"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        test::TempHome home;
        for (const auto& folder : row.folders) home.dir(jetbrains + folder);
        Paths ids;
        for (const auto& id : row.expected) ids.push_back("ide." + id);
        EXPECT_EQ(test::idsOf(test::runStep(CleanupCatalog::oldSettings, test::quietEnvironment(home.root())).items),
                  ids);
    }
}

TEST(OldSettingsItemsTest, ItemCarriesSettingsAndLogs) {
    test::TempHome home;
    home.dir(google + "AndroidStudio2023.3");
    home.dir(google + "AndroidStudio2024.1");
    home.dir("Library/Logs/Google/AndroidStudio2023.3");
    home.dir(jetbrains + "IntelliJIdea2023.3-backup");
    home.dir(jetbrains + "IntelliJIdea2024.1");
    const auto b = test::runStep(CleanupCatalog::oldSettings, test::quietEnvironment(home.root()));
    const char* consequence =
        "Left behind by an update; the newer version copied what it needed. If you still run this version, it "
        "starts fresh.";
    const std::vector<CleanupItem> expected{
        {"ide.AndroidStudio2023.3", "Android Studio 2023.3 settings and logs", CleanupCategory::developerTools,
         consequence, Safety::review,
         CleanupAction::Delete{
             {home.path(google + "AndroidStudio2023.3"), home.path("Library/Logs/Google/AndroidStudio2023.3")}},
         false, 1'000'000, std::nullopt},
        {"ide.IntelliJIdea2023.3-backup", "IntelliJ IDEA 2023.3 backup settings and logs",
         CleanupCategory::developerTools, consequence, Safety::review,
         CleanupAction::Delete{{home.path(jetbrains + "IntelliJIdea2023.3-backup")}}, false, 1'000'000,
         std::nullopt},
    };
    EXPECT_EQ(b.items, expected);
    EXPECT_EQ(b.claimed, (Paths{home.path(google + "AndroidStudio2023.3"),
                                home.path("Library/Logs/Google/AndroidStudio2023.3"),
                                home.path(jetbrains + "IntelliJIdea2023.3-backup")}));
}

TEST(OldSettingsItemsTest, SameFolderUnderBothVendorsGivesOneItem) {
    test::TempHome home;
    for (const auto& vendor : {google, jetbrains}) {
        home.dir(vendor + "AndroidStudio2023.3");
        home.dir(vendor + "AndroidStudio2024.1");
    }
    const auto items = test::runStep(CleanupCatalog::oldSettings, test::quietEnvironment(home.root())).items;
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0].action.paths(), Paths{home.path(google + "AndroidStudio2023.3")});
}

} // namespace
} // namespace tidra
