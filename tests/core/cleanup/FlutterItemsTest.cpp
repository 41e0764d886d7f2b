#include "cleanup/CatalogBuilders.h"
#include "cleanup/FlutterItems.h"

#include "support/CatalogFixture.h"
#include "support/MountNamespace.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace tidra {
namespace {

using Paths = std::vector<std::string>;

const char* const otherSdkText = "Projects or editors that point at this SDK need another one.";

void makeSdk(test::TempHome& home, const std::string& relative, const std::string& version) {
    home.file(relative + "/bin/flutter");
    home.text(relative + "/version", version);
}

std::vector<CleanupItem> runFlutter(const std::string& home) {
    return test::runStep(CleanupCatalog::flutter, test::quietEnvironment(home)).items;
}

TEST(FlutterItemsTest, FixedItemsAndSdksInOrder) {
    test::TempHome home;
    home.dir(".dartServer");
    home.dir(".pub-cache/git");
    home.dir(".shorebird/bin/cache");
    makeSdk(home, "dev/flutter", "3.7.0");
    makeSdk(home, "development/flutter", "3.22.1\n");
    makeSdk(home, "fvm/versions/3.19.0", "3.19.0\n");
    home.dir("fvm/versions/3.24.0-broken");

    const auto p = [&](const std::string& relative) { return home.path(relative); };
    const auto item = [](std::string id, std::string title, const char* consequence, Safety safety,
                         std::string path) {
        return CleanupItem{std::move(id), std::move(title), CleanupCategory::flutter, consequence, safety,
                           CleanupAction::Delete{{std::move(path)}}, false, 1, std::nullopt};
    };
    const std::vector<CleanupItem> expected{
        item("dart.analysis", "Dart analysis cache", "The first analysis after reopening a project is slower.",
             Safety::safe, p(".dartServer")),
        item("pub.cache", "Pub package cache",
             "Every project needs \"flutter pub get\" again, and globally activated tools may need reactivating.",
             Safety::review, p(".pub-cache/git")),
        item("shorebird.cache", "Shorebird's copies of Flutter",
             "Shorebird downloads the one it needs again on its next run, a few minutes for each.", Safety::review,
             p(".shorebird/bin/cache")),
        item("flutter.sdk.~/fvm/versions/3.19.0", "Flutter 3.19.0 SDK in ~/fvm/versions/3.19.0",
             "fvm installs it again with \"fvm install 3.19.0\" if a project asks for it.", Safety::review,
             p("fvm/versions/3.19.0")),
        item("flutter.sdk.~/development/flutter", "Flutter 3.22.1 SDK in ~/development/flutter", otherSdkText,
             Safety::review, p("development/flutter")),
        item("flutter.sdk.~/dev/flutter", "Flutter 3.7.0 SDK in ~/dev/flutter", otherSdkText, Safety::review,
             p("dev/flutter")),
    };
    EXPECT_EQ(runFlutter(home.root()), expected);
}

// An SDK programs run from is in use: PATH naming its bin folder, or a folder on PATH holding
// a link to its flutter, keeps it off the list; another SDK is still offered.
TEST(FlutterItemsTest, AnSdkOnPathIsNeverOffered) {
    test::TempHome home;
    makeSdk(home, "development/flutter", "3.22.1");
    makeSdk(home, "dev/flutter", "3.7.0");
    makeSdk(home, "fvm/versions/3.19.0", "3.19.0");
    home.symlink("bin/flutter", home.path("fvm/versions/3.19.0/bin/flutter"));
    auto env = test::quietEnvironment(home.root());
    env.searchPath = {home.path("nothing-here"), home.path("development/flutter/bin"), home.path("bin")};
    const auto built = test::runStep(CleanupCatalog::flutter, env);
    EXPECT_EQ(test::idsOf(built.items), std::vector<std::string>{"flutter.sdk.~/dev/flutter"});
    // Claimed, so no later builder offers any of it.
    EXPECT_TRUE(built.isClaimed(home.path("development/flutter/bin")));
}

TEST(FlutterItemsTest, FvmDefaultVersionIsNeverOffered) {
    struct Row {
        const char* name;
        std::optional<std::string> defaultLink; // "$V" stands for the versions folder
        Paths expected;
    };
    const Row rows[] = {
        {"no default link", std::nullopt, {"3.16.0", "3.19.0"}},
        {"absolute link", "$V/3.19.0", {"3.16.0"}},
        {"relative link", "versions/3.16.0", {"3.19.0"}},
        {"trailing slash", "versions/3.19.0/", {"3.16.0"}},
        {"link to a version not installed", "versions/2.0.0", {"3.16.0", "3.19.0"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        test::TempHome home;
        makeSdk(home, "fvm/versions/3.16.0", "3.16.0");
        makeSdk(home, "fvm/versions/3.19.0", "3.19.0");
        if (row.defaultLink) {
            std::string target = *row.defaultLink;
            if (target.starts_with("$V")) target.replace(0, 2, home.path("fvm/versions"));
            home.symlink("fvm/default", target);
        }
        Paths ids;
        for (const auto& version : row.expected) ids.push_back("flutter.sdk.~/fvm/versions/" + version);
        EXPECT_EQ(test::idsOf(runFlutter(home.root())), ids);
    }
}

TEST(FlutterItemsTest, VersionFromFiles) {
    struct Row {
        const char* name;
        std::optional<std::string> versionFile;
        std::optional<std::string> json;
        std::optional<std::string> expected;
    };
    const Row rows[] = {
        {"version file trimmed", " 3.22.1 \n\n", "{\"frameworkVersion\":\"9\"}", "3.22.1"},
        {"blank version file falls back to JSON", " \n", "{\"frameworkVersion\":\"3.24.0\"}", "3.24.0"},
        {"missing version file", std::nullopt, "{\"flutterVersion\":\"3.10.0\"}", "3.10.0"},
        {"number member passed over", std::nullopt, "{\"frameworkVersion\":3,\"flutterVersion\":\"3.1\"}", "3.1"},
        {"neither member", std::nullopt, "{\"channel\":\"stable\"}", std::nullopt},
        {"not JSON", std::nullopt, "{frameworkVersion", std::nullopt},
        {"not an object", std::nullopt, "[\"3.0\"]", std::nullopt},
        {"no files", std::nullopt, std::nullopt, std::nullopt},
        {"version file not UTF-8", "3.0\xFF", "{\"frameworkVersion\":\" 3.2 \"}", " 3.2 "},
        {"invalid UTF-8 inside JSON", std::nullopt, "{\"frameworkVersion\":\"3\xFF\"}", std::nullopt},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        test::TempHome home;
        const std::string sdk = home.dir("sdk");
        if (row.versionFile) home.text("sdk/version", *row.versionFile);
        if (row.json) home.text("sdk/bin/cache/flutter.version.json", *row.json);
        EXPECT_EQ(CleanupCatalog::flutterVersion(sdk), row.expected);
    }
}

TEST(FlutterItemsTest, UnknownVersionInTitleAndFvmText) {
    test::TempHome home;
    home.file("fvm/versions/beta/bin/flutter");
    const auto items = runFlutter(home.root());
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0].title, "Flutter unknown version SDK in ~/fvm/versions/beta");
    EXPECT_EQ(items[0].consequence, "fvm installs it again with \"fvm install unknown version\" if a project asks for it.");
}

// Which text an SDK gets depends on where it was found, not on what the home path holds.
TEST(FlutterItemsTest, FixedSdkInFvmLookingHomeKeepsItsText) {
    test::TempHome root;
    const std::string home = root.dir("fvm/versions/me");
    makeSdk(root, "fvm/versions/me/dev/flutter", "3.0.0");
    const auto items = runFlutter(home);
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0].consequence, otherSdkText);
}

// With the home folder at /dev, its path recurs in ~/dev/flutter: only the leading one is "~".
TEST(FlutterItemsTest, ShownPathReplacesOnlyTheLeadingHome) {
    const auto answer = test::runInMountNamespace([] {
        if (!test::mountTmpfs("/dev")) return std::string("<no tmpfs>");
        std::filesystem::create_directories("/dev/dev/flutter/bin");
        std::ofstream("/dev/dev/flutter/bin/flutter") << "";
        const auto items = runFlutter("/dev");
        return items.size() == 1 ? items[0].id + "|" + items[0].title : std::string("items: ") +
                                                                            std::to_string(items.size());
    });
    if (!answer || *answer == "<no tmpfs>")
        GTEST_SKIP() << "cannot mount a scratch /dev here (needs a private mount namespace)";
    EXPECT_EQ(*answer, "flutter.sdk.~/dev/flutter|Flutter unknown version SDK in ~/dev/flutter");
}

} // namespace
} // namespace tidra
