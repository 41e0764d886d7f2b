#include "cleanup/AndroidItems.h"
#include "cleanup/CatalogBuilders.h"

#include "support/CatalogFixture.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

namespace tidra {
namespace {

using Paths = std::vector<std::string>;

const char* const imagePresent = "Deletes the emulator and everything stored on it.";
const char* const imageMissing =
    "Deletes the emulator and its data. Its system image is no longer installed, so it cannot start as it is.";

TEST(AndroidItemsTest, GradleStudioAndEmulatorsInOrder) {
    test::TempHome home;
    home.dir(".gradle/daemon");
    home.dir(".gradle/caches");
    home.dir("Library/Caches/Google/AndroidStudio2024.1");
    home.dir("Library/Caches/Google/AndroidStudio2023.3");
    home.dir("Library/Caches/Google/androidstudio9");
    home.dir("Library/Caches/Google/Chrome");
    home.dir(".android/avd/Pixel_7_API_34.avd");
    home.text(".android/avd/Pixel_7_API_34.ini", "path=x\n");
    home.text(".android/avd/Old.avd/config.ini", "image.sysdir.1=system-images/android-19/\n");
    home.file(".android/avd/Plain.avd");
    home.dir(".android/avd/Upper.AVD");
    const auto items = test::runStep(CleanupCatalog::android, test::quietEnvironment(home.root())).items;

    const auto p = [&](const std::string& relative) { return home.path(relative); };
    const std::vector<CleanupItem> expected{
        {"gradle.caches", "Gradle caches and downloaded Gradle versions", CleanupCategory::android,
         "The next Gradle build downloads its dependencies again.", Safety::safe,
         CleanupAction::Delete{{p(".gradle/caches"), p(".gradle/daemon")}}, false, 1, std::nullopt},
        {"android.studioCaches", "Android Studio caches", CleanupCategory::android,
         "Android Studio re-indexes each project the next time you open it.", Safety::safe,
         CleanupAction::Delete{
             {p("Library/Caches/Google/AndroidStudio2023.3"), p("Library/Caches/Google/AndroidStudio2024.1")}},
         false, 1, std::nullopt},
        {"android.avd.Old", "Emulator: Old", CleanupCategory::android, imageMissing, Safety::review,
         CleanupAction::Delete{{p(".android/avd/Old.avd")}}, false, 1, std::nullopt},
        {"android.avd.Pixel_7_API_34", "Emulator: Pixel 7 API 34", CleanupCategory::android, imagePresent,
         Safety::review,
         CleanupAction::Delete{{p(".android/avd/Pixel_7_API_34.avd"), p(".android/avd/Pixel_7_API_34.ini")}}, false,
         1, std::nullopt},
        {"android.avd.Plain", "Emulator: Plain", CleanupCategory::android, imagePresent, Safety::review,
         CleanupAction::Delete{{p(".android/avd/Plain.avd")}}, false, 1, std::nullopt},
    };
    EXPECT_EQ(items, expected);
}

// An emulator whose lock files show it running stays "Your call" and says so.
TEST(AndroidItemsTest, ARunningEmulatorSaysSo) {
    test::TempHome home;
    home.dir(".android/avd/Idle.avd");
    home.text(".android/avd/Qemu.avd/hardware-qemu.ini.lock", "");
    home.text(".android/avd/Second.avd/multiinstance.lock", "4242");
    const auto items = test::runStep(CleanupCatalog::android, test::quietEnvironment(home.root())).items;
    ASSERT_EQ(test::idsOf(items), (std::vector<std::string>{"android.avd.Idle", "android.avd.Qemu", "android.avd.Second"}));
    for (const auto& item : items) EXPECT_EQ(item.safety, Safety::review) << item.id;
    EXPECT_EQ(items[0].consequence, imagePresent);
    for (const auto* running : {&items[1], &items[2]})
        EXPECT_EQ(running->consequence,
                  "It is running now: close it first. Deletes the emulator and everything stored on it.");
}

TEST(AndroidItemsTest, NothingPresentGivesNoItems) {
    test::TempHome home;
    home.dir(".android");
    home.dir("Library/Caches/Google");
    EXPECT_TRUE(test::runStep(CleanupCatalog::android, test::quietEnvironment(home.root())).items.empty());
}

TEST(AndroidItemsTest, SystemImageFromConfig) {
    struct Row {
        const char* name;
        std::optional<std::string> config; // nothing: no config.ini
        bool expected;
        bool withSdk = true; // false: neither SDK folder exists
    };
    const Row rows[] = {
        {"no config", std::nullopt, true},
        {"image installed, blanks around =", "hw.lcd=1\nimage.sysdir.1 = system-images/present/ \n", true},
        {"image gone", "image.sysdir.1=system-images/gone/\n", false},
        {"image in the Linux SDK folder", "image.sysdir.1=system-images/linux/\n", true},
        {"link to nothing counts as gone", "image.sysdir.1=system-images/dangling\n", false},
        {"only the second image", "image.sysdir.2=system-images/gone/\n", true},
        {"empty value", "image.sysdir.1=\n", true},
        {"blank value names the SDK folder itself", "image.sysdir.1 =  \t\n", true},
        {"blank value decides, no SDK", "image.sysdir.1 = \n", false, false},
        {"first line decides", "image.sysdir.1=system-images/gone/\nimage.sysdir.1=system-images/present/\n", false},
        {"first line decides, present first", "image.sysdir.1=system-images/present\nimage.sysdir.1=x/gone\n", true},
        {"key differs in case", "Image.Sysdir.1=system-images/gone/\n", true},
        {"leading = passed over", "==image.sysdir.1=system-images/gone/\n", false},
        {"CR LF lines", "a=b\r\nimage.sysdir.1=system-images/gone/\r\n", false},
        {"U+2028 between lines", "a=b\xE2\x80\xA8image.sysdir.1=system-images/gone/", false},
        {"U+0085 and form feed", "a=b\xC2\x85\fimage.sysdir.1=system-images/gone/", false},
        {"no-break space trimmed", "image.sysdir.1=\xC2\xA0system-images/present\xE3\x80\x80\n", true},
        {"not UTF-8 reads as unreadable", "image.sysdir.1=system-images/gone/\xFF\n", true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        test::TempHome home;
        if (row.withSdk) {
            home.dir("Library/Android/sdk/system-images/present");
            home.symlink("Library/Android/sdk/system-images/dangling", home.path("nowhere"));
            home.dir("Android/Sdk/system-images/linux");
        }
        const std::string avd = home.dir(".android/avd/E.avd");
        if (row.config) home.text(".android/avd/E.avd/config.ini", *row.config);
        EXPECT_EQ(CleanupCatalog::avdSystemImageExists(avd, home.root()), row.expected);
    }
}

} // namespace
} // namespace tidra
