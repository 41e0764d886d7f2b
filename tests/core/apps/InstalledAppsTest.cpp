#include "apps/InstalledApps.h"

#include "support/RunAsNobody.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>
#include <plist/plist.h>

namespace tidra {
namespace {

using Strings = std::vector<std::string>;

plist_t info(const char* bundleID, const char* version = nullptr) {
    plist_t root = plist_new_dict();
    if (bundleID) plist_dict_set_item(root, "CFBundleIdentifier", plist_new_string(bundleID));
    if (version) plist_dict_set_item(root, "CFBundleShortVersionString", plist_new_string(version));
    return root;
}

void makeApp(test::TempHome& home, const std::string& bundle, const char* id, const char* version = nullptr,
             bool binary = false) {
    home.plist(bundle + "/Contents/Info.plist", info(id, version), binary);
}

Strings names(const std::vector<InstalledApp>& apps) {
    Strings out;
    for (const auto& app : apps) out.push_back(app.name);
    return out;
}

Strings paths(const std::vector<InstalledApp>& apps) {
    Strings out;
    for (const auto& app : apps) out.push_back(app.path);
    return out;
}

const auto never = [](const std::string&) { return std::optional<std::chrono::system_clock::time_point>(); };

// One fixture holding every shape of bundle the search must and must not find.
struct Applications {
    test::TempHome home;
    std::string folder = home.dir("Applications");
    Applications() {
        makeApp(home, "Applications/My Tool.app", "com.example.tool", "2.1");
        makeApp(home, "Applications/Utilities/Console.app", "com.example.console", nullptr, true);
        makeApp(home, "Applications/Utilities/Deeper/Hidden.app", "com.example.deeper");
        makeApp(home, "Applications/Host.app", "com.example.host");
        makeApp(home, "Applications/Host.app/Contents/Helpers/Inner.app", "com.example.inner");
        makeApp(home, "Applications/Shouting.APP", "com.example.shouting");
        makeApp(home, "Applications/.Secret.app", "com.example.secret");
        makeApp(home, "Applications/.vendor/Quiet.app", "com.example.quiet");
        makeApp(home, "Elsewhere/Linked.app", "com.example.linked");
        home.symlink("Applications/Linked.app", home.path("Elsewhere/Linked.app"));
        home.symlink("Applications/LinkedVendor", home.path("Elsewhere"));
        home.file("Applications/File.app", 10);
        makeApp(home, "Applications/NoID.app", nullptr, "1.0");
        makeApp(home, "Applications/EmptyID.app", "");
        home.text("Applications/Broken.app/Contents/Info.plist", "not a property list");
        home.dir("Applications/NoPlist.app");
    }
};

TEST(InstalledAppsTest, FindsBundlesAtTopAndOneLevelDownOnly) {
    Applications f;
    const auto apps = InstalledApps::list({f.folder}, {}, never);
    EXPECT_EQ(paths(apps), (Strings{f.folder + "/Utilities/Console.app", f.folder + "/Host.app",
                                    f.folder + "/My Tool.app"}));
}

TEST(InstalledAppsTest, DescribesEachApp) {
    Applications f;
    const auto apps = InstalledApps::list({f.folder}, {}, never);
    const InstalledApp expectedTool{f.folder + "/My Tool.app", "My Tool", "com.example.tool", "2.1", std::nullopt, false};
    const InstalledApp expectedConsole{f.folder + "/Utilities/Console.app", "Console", "com.example.console",
                                       std::nullopt, std::nullopt, false};
    ASSERT_EQ(apps.size(), 3u);
    EXPECT_EQ(apps[0], expectedConsole);
    EXPECT_EQ(apps[2], expectedTool);
    EXPECT_EQ(apps[2].id(), apps[2].path);
}

TEST(InstalledAppsTest, BundleIDsInFoundOrderWithDuplicates) {
    Applications f;
    test::TempHome other;
    makeApp(other, "Apps/Same.app", "com.example.tool");
    makeApp(other, "Apps/Blank.app", "");
    EXPECT_EQ(InstalledApps::bundleIDs({f.folder, other.path("Apps"), other.path("missing")}),
              (Strings{"", "com.example.host", "com.example.tool", "com.example.console", "", "com.example.tool"}));
}

TEST(InstalledAppsTest, ExclusionIsExact) {
    Applications f;
    EXPECT_EQ(names(InstalledApps::list({f.folder}, {"com.example.tool", "com.example.host"}, never)),
              (Strings{"Console"}));
    EXPECT_EQ(names(InstalledApps::list({f.folder}, {"COM.EXAMPLE.TOOL"}, never)),
              (Strings{"Console", "Host", "My Tool"}));
}

TEST(InstalledAppsTest, NaturalNameOrderIsStable) {
    test::TempHome home;
    const std::string a = home.dir("A"), b = home.dir("B");
    makeApp(home, "A/App 10.app", "x.ten");
    makeApp(home, "A/app 2.app", "x.two");
    makeApp(home, "A/App 1.app", "x.one");
    makeApp(home, "A/Zed.app", "x.zed");
    makeApp(home, "A/alpha.app", "x.alpha");
    makeApp(home, "B/ALPHA.app", "x.ALPHA");
    makeApp(home, "B/App 1.app", "x.one.again");
    const auto apps = InstalledApps::list({b, a}, {}, never);
    EXPECT_EQ(paths(apps), (Strings{b + "/ALPHA.app", a + "/alpha.app", b + "/App 1.app", a + "/App 1.app",
                                    a + "/app 2.app", a + "/App 10.app", a + "/Zed.app"}));
}

TEST(InstalledAppsTest, LastOpenedAskedOncePerListedApp) {
    Applications f;
    Strings asked;
    const auto when = std::chrono::system_clock::time_point(std::chrono::seconds(1'700'000'000));
    const auto apps = InstalledApps::list({f.folder}, {}, [&](const std::string& path) {
        asked.push_back(path);
        return std::optional(when);
    });
    EXPECT_EQ(asked, (Strings{f.folder + "/Host.app", f.folder + "/My Tool.app", f.folder + "/Utilities/Console.app"}));
    for (const auto& app : apps) EXPECT_EQ(app.lastOpened, when);
    for (const auto& app : InstalledApps::list({f.folder})) EXPECT_EQ(app.lastOpened, std::nullopt);
}

TEST(InstalledAppsTest, NeedsPasswordWhenTheUserCannotWriteTheBundle) {
    test::TempHome home;
    makeApp(home, "Apps/Root.app", "x.root");
    makeApp(home, "Apps/Open.app", "x.open");
    home.chmod("Apps/Root.app", 0755);
    home.chmod("Apps/Open.app", 0777);
    const std::string answer = test::runAsNobody([&] {
        std::string out;
        for (const auto& app : InstalledApps::list({home.path("Apps")}, {}, never))
            out += app.name + "=" + (app.needsPassword ? "password" : "free") + ";";
        return out;
    });
    EXPECT_EQ(answer, "Open=free;Root=password;");
}

TEST(InstalledAppsTest, MissingOrUnreadableFoldersGiveNothing) {
    test::TempHome home;
    makeApp(home, "Closed/Hidden.app", "x.hidden");
    home.chmod("Closed", 0700);
    EXPECT_TRUE(InstalledApps::list({home.path("missing")}, {}, never).empty());
    EXPECT_EQ(test::runAsNobody([&] { return std::to_string(InstalledApps::bundleIDs({home.path("Closed")}).size()); }),
              "0");
}

} // namespace
} // namespace tidra
