#include "CatalogFixture.h"

#include "support/RunAsNobody.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>
#include <plist/plist.h>

#include <cstdlib>
#include <ctime>

namespace tidra {
namespace {

using Paths = std::vector<std::string>;

const std::string backups = "Library/Application Support/MobileSync/Backup";
const std::string mail = "Library/Containers/com.apple.mail/Data/Library/Mail Downloads";

// Dates in titles are local; the tests pin the zone.
class UtcZone {
public:
    UtcZone() {
        if (const char* old = std::getenv("TZ")) old_ = old;
        ::setenv("TZ", "UTC", 1);
        ::tzset();
    }
    ~UtcZone() {
        if (old_) ::setenv("TZ", old_->c_str(), 1);
        else ::unsetenv("TZ");
        ::tzset();
    }

private:
    std::optional<std::string> old_;
};

plist_t info(std::optional<plist_t> name, std::optional<plist_t> date) {
    plist_t root = plist_new_dict();
    if (name) plist_dict_set_item(root, "Device Name", *name);
    if (date) plist_dict_set_item(root, "Last Backup Date", *date);
    return root;
}

// 2024-03-03 12:00:00 UTC, as seconds since 2001-01-01, the property lists' epoch.
constexpr int32_t march3rd = 731160000;

TEST(PersonalDataItemsTest, BackupTitlesFromTheirInfoAndTheMailItem) {
    UtcZone utc;
    test::TempHome home;
    home.plist(backups + "/a1/Info.plist", info(plist_new_string("Anna's iPhone"), plist_new_date(march3rd, 0)), true);
    home.plist(backups + "/b2/Info.plist", info(plist_new_string("iPad"), std::nullopt));
    home.dir(backups + "/c3");
    home.plist(backups + "/d4/Info.plist", info(plist_new_uint(7), plist_new_string("yesterday")));
    home.plist(backups + "/e5/Info.plist", plist_new_array());
    home.file(backups + "/stray.txt", 3);
    home.dir(mail);
    const auto items = test::runBuilder(CleanupCatalog::personalData, test::FakeMachine{}.environment(home.root())).items;

    const std::pair<const char*, const char*> backupRows[] = {
        {"a1", "Backup of Anna's iPhone from Mar 3, 2024"},
        {"b2", "Backup of iPad"},
        {"c3", "Backup of a device"},
        {"d4", "Backup of a device"},
        {"e5", "Backup of a device"},
        {"stray.txt", "Backup of a device"},
    };
    ASSERT_EQ(items.size(), std::size(backupRows) + 1);
    for (std::size_t i = 0; i < std::size(backupRows); ++i) {
        const auto& [folder, title] = backupRows[i];
        EXPECT_EQ(items[i], (CleanupItem{std::string("backup.") + folder, title, CleanupCategory::personalData,
                                         "Erased for good. You can no longer restore the device from it.",
                                         Safety::review, CleanupAction::Delete{{home.path(backups + "/" + folder)}},
                                         false, 1, std::nullopt}));
    }
    EXPECT_EQ(items.back(), (CleanupItem{"mail.downloads", "Mail attachments you opened", CleanupCategory::personalData,
                                         "Copies made when you opened attachments; the originals stay in your mail.",
                                         Safety::review, CleanupAction::DeleteContents{{home.path(mail)}}, false, 1,
                                         std::nullopt}));
}

TEST(PersonalDataItemsTest, NothingWithoutFolders) {
    test::TempHome home;
    EXPECT_TRUE(test::runBuilder(CleanupCatalog::personalData, test::FakeMachine{}.environment(home.root())).items.empty());
}

TEST(PersonalDataItemsTest, RightsDecideAdminAndFullAccessDecidesAll) {
    test::TempHome home;
    home.dir(backups + "/root-owned");
    home.dir(mail, 0755);
    const auto env = test::FakeMachine{}.environment(home.root());
    const auto answer = [&] {
        const auto items = test::runBuilder(CleanupCatalog::personalData, env).items;
        std::string out;
        for (const auto& item : items) out += item.id + (item.requiresAdmin ? ":admin " : ":user ");
        return out;
    };
    EXPECT_EQ(test::runAsNobody(answer), "backup.root-owned:admin mail.downloads:admin ");
    // A home that cannot be listed means no full disk access: nothing at all.
    home.chmod("", 0711);
    EXPECT_EQ(test::runAsNobody(answer), "");
}

} // namespace
} // namespace tidra
