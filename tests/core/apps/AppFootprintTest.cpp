#include "apps/AppFootprint.h"

#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace tidra {
namespace {

using Paths = std::vector<std::string>;

Paths under(const test::TempHome& home, const Paths& relative) {
    Paths out;
    for (const auto& r : relative) out.push_back(home.path(r));
    return out;
}

// One home with traces of com.example.tool, a separately installed beta of it, a look-alike
// and other apps' files.
struct FootprintHome {
    test::TempHome home;
    FootprintHome() {
        home.dir("Library/Application Support/Com.Example.Tool");
        home.dir("Library/Application Support/Tool");
        home.dir("Library/Application Support/.com.example.tool");
        home.dir("Library/Caches/com.example.tool.helper");
        home.dir("Library/Caches/TOOL");
        home.file("Library/Preferences/com.example.tool.plist");
        home.file("Library/Preferences/com.example.tool.LSSharedFileList.plist");
        home.file("Library/Preferences/com.example.toolbox.plist");
        home.file("Library/Preferences/com.example.tool.beta.plist");
        home.file("Library/Preferences/ByHost/com.example.tool.0A1B2C.plist");
        home.dir("Library/Saved Application State/com.example.tool.savedState");
        home.file("Library/HTTPStorages/com.example.tool.binarycookies");
        home.dir("Library/HTTPStorages/com.example.tool");
        home.dir("Library/WebKit/com.example.tool");
        home.file("Library/Cookies/com.example.tool.binarycookies");
        home.dir("Library/Logs/com.example.tool");
        home.dir("Library/Logs/tool");
        home.dir("Library/Application Scripts/com.example.tool");
        home.dir("Library/Containers/com.example.tool");
        home.dir("Library/Containers/com.example.tool.beta");
        home.dir("Library/Group Containers/ABCDE12345.com.example.tool");
        home.dir("Library/Group Containers/group.com.example.tool.shared");
        home.dir("Library/Group Containers/abcde12345.com.example.tool");
        home.dir("Library/Group Containers/ABCDE12345.group.com.example.tool");
        home.dir("Library/Caches/com.other.app");
        home.dir(".var/app/com.example.Tool");
        home.dir(".var/app/com.example.toolbox");
    }
};

const Paths identifierMatches{
    ".var/app/com.example.Tool",
    "Library/Application Scripts/com.example.tool",
    "Library/Application Support/Com.Example.Tool",
    "Library/Caches/com.example.tool.helper",
    "Library/Cookies/com.example.tool.binarycookies",
    "Library/HTTPStorages/com.example.tool",
    "Library/HTTPStorages/com.example.tool.binarycookies",
    "Library/Logs/com.example.tool",
    "Library/Preferences/ByHost/com.example.tool.0A1B2C.plist",
    "Library/Preferences/com.example.tool.LSSharedFileList.plist",
    "Library/Preferences/com.example.tool.plist",
    "Library/Saved Application State/com.example.tool.savedState",
    "Library/WebKit/com.example.tool",
};

TEST(AppFootprintTest, IdentifierPassIgnoresCaseCutsEndingsAndSorts) {
    FootprintHome f;
    Paths expected = identifierMatches;
    expected.push_back("Library/Preferences/com.example.tool.beta.plist");
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(AppFootprint::paths("com.example.tool", std::nullopt, f.home.root(), false, {}),
              under(f.home, expected));
}

TEST(AppFootprintTest, NestedInstalledAppKeepsItsOwnFiles) {
    FootprintHome f;
    for (const Paths& others : {Paths{"com.example.tool.beta"}, Paths{"COM.EXAMPLE.TOOL.BETA", "com.example.tool"}}) {
        EXPECT_EQ(AppFootprint::paths("com.example.tool", std::nullopt, f.home.root(), false, others),
                  under(f.home, identifierMatches));
    }
}

TEST(AppFootprintTest, ContainersAndGroupContainersOnlyWhenAsked) {
    FootprintHome f;
    const auto paths = AppFootprint::paths("com.example.tool", std::nullopt, f.home.root(), true, {"com.example.tool.beta"});
    Paths expected = identifierMatches;
    expected.insert(expected.end(), {"Library/Containers/com.example.tool",
                                     "Library/Group Containers/ABCDE12345.com.example.tool",
                                     "Library/Group Containers/ABCDE12345.group.com.example.tool",
                                     "Library/Group Containers/group.com.example.tool.shared"});
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(paths, under(f.home, expected));
}

TEST(AppFootprintTest, NamePassNeedsThreeLettersAndIgnoresCase) {
    FootprintHome f;
    EXPECT_EQ(AppFootprint::paths("org.none.thing", std::string("tOOl"), f.home.root(), false, {}),
              under(f.home, {"Library/Application Support/Tool", "Library/Caches/TOOL", "Library/Logs/tool"}));
    f.home.dir("Library/Caches/Go");
    EXPECT_TRUE(AppFootprint::paths("org.none.thing", std::string("Go"), f.home.root(), false, {}).empty());
    // Characters count, not bytes: two CJK letters, or a letter with a combining accent, are short.
    for (const char* shortName : {"\xE5\xBE\xAE\xE4\xBF\xA1", "Ge\xCC\x81"}) {
        f.home.dir(std::string("Library/Caches/") + shortName);
        EXPECT_TRUE(AppFootprint::paths("org.none.thing", std::string(shortName), f.home.root(), false, {}).empty())
            << shortName;
    }
    f.home.dir("Library/Logs/G\xC3\xA9o");
    EXPECT_EQ(AppFootprint::paths("org.none.thing", std::string("G\xC3\xA9o"), f.home.root(), false, {}),
              under(f.home, {"Library/Logs/G\xC3\xA9o"}));
    // Found by identifier and by name: once.
    f.home.dir("Library/Caches/com.example.tool");
    const auto both = AppFootprint::paths("com.example.tool", std::string("com.example.tool"), f.home.root(), false, {});
    EXPECT_EQ(std::count(both.begin(), both.end(), f.home.path("Library/Caches/com.example.tool")), 1);
}

TEST(AppFootprintTest, ShortIdentifierClaimsNothingByIdentifier) {
    FootprintHome f;
    for (const char* id : {"com", "com.example", "COM.EXAMPLE", "", "com..tool"}) {
        SCOPED_TRACE(id);
        EXPECT_TRUE(AppFootprint::paths(id, std::nullopt, f.home.root(), true, {}).empty());
    }
    // The name pass still runs for them.
    EXPECT_EQ(AppFootprint::paths("com", std::string("tool"), f.home.root(), false, {}).size(), 3u);
}

TEST(AppFootprintTest, MissingLibraryGivesNothing) {
    test::TempHome home;
    EXPECT_TRUE(AppFootprint::paths("com.example.tool", std::string("Tool"), home.root(), true, {}).empty());
}

TEST(AppFootprintTest, LooksLikeBundleID) {
    const std::pair<const char*, bool> rows[] = {
        {"com.example.tool", true},   {"org.example-labs.app2", true}, {"A.b.c", true},
        {"com.example", false},       {"com..tool", false},            {".com.example.tool", false},
        {"com.example.tool.", false}, {"1com.example.tool", false},     {"-com.example.tool", false},
        {"com.example.tool_x", false}, {"com.exämple.tool", false},    {"com.example.to ol", false},
        {"", false},
    };
    for (const auto& [text, expected] : rows) EXPECT_EQ(AppFootprint::looksLikeBundleID(text), expected) << text;
}

TEST(AppFootprintTest, VendorAndGuessedName) {
    EXPECT_EQ(AppFootprint::vendor("Com.Example.Tool"), "com.example");
    EXPECT_EQ(AppFootprint::vendor("Com.Example"), "com.example");
    EXPECT_EQ(AppFootprint::vendor("tool"), "tool");
    EXPECT_EQ(AppFootprint::vendor("..com...example.x"), "com.example");
    const std::pair<const char*, const char*> names[] = {
        {"us.zoom.xos", "Zoom"},
        {"US.Zoom.XOS", "Zoom"},
        {"tool", "tool"},
        {"com.example", "Example"},
        {"com.example.photo-lab", "Photo Lab"},
        {"com.example.PhotoLab", "PhotoLab"},
        {"com.example.app", "Example"},
        {"com.example.Desktop", "Example"},
        {"com.example.tool2", "Tool2"},
        {"com.example.20x", "Example"},
        {"com.example.helper", "Example Helper"},
        {"com.example.tool.extension", "Tool"},
        {"com.microsoft.teams2", "Microsoft Teams"},
    };
    for (const auto& [id, name] : names) EXPECT_EQ(AppFootprint::guessedName(id), name) << id;
}

} // namespace
} // namespace tidra
