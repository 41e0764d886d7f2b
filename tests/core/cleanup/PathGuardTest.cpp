#include "cleanup/PathGuard.h"

#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>

namespace tidra {
namespace {

using namespace std::string_literals;

// The temporary root may itself sit behind a link; expectations use resolved forms.
std::string real(const std::string& path) {
    char buffer[PATH_MAX];
    return ::realpath(path.c_str(), buffer) ? buffer : "";
}

// A fixture machine: the home folder at <root>/home, the system Applications folder at
// <root>/Applications and a tree outside both at <root>/outside.
class PathGuardTest : public ::testing::Test {
protected:
    PathGuardTest() {
        for (const char* folder : {"home/Projects", "home/Documents", "home/Library/Caches", "home/.ssh",
                                   "outside/sub", "outside/Library/Caches"})
            fs.dir(folder);
        fs.file("home/notes.txt");
        fs.file("outside/Library/Caches/z");
    }

    std::string home(const std::string& relative) const { return fs.path("home/" + relative); }
    PathGuard guard() const { return PathGuard(fs.path("home"), fs.path("Applications"), "/nonexistent/tidra"); }

    test::TempHome fs;
};

TEST_F(PathGuardTest, DeleteAndTrashRules) {
    enum Check { del, trash };
    struct Row {
        Check check;
        std::string path;  // relative to the home folder unless absolute
        std::string reason;  // empty: allowed
    };
    const std::string outside = "outside the home folder";
    const std::string topLevel = "top-level folder in the home folder";
    const Row rows[] = {
        {del, fs.path("home"), outside},
        {del, fs.path("homeb/x"), outside},
        {del, fs.path("outside/sub"), outside},
        {del, ".cursor", ""},
        {del, ".cargo", topLevel},
        {del, "Library", topLevel},
        {del, "Documents", topLevel},
        {del, "Library/Developer", "would remove Library/Developer/Xcode itself"},
        {del, "Library/Caches", "would remove Library/Caches itself"},
        {del, "Library/Caches/com.x", ""},
        {del, "Library/Caches/com.x/", ""},
        {del, "Library/Caches/./com.x", ""},
        {del, "Library/Caches/..", topLevel},
        {del, "Library/Caches/com.x/../../Mail", "protected folder Library/Mail"},
        {del, "Documents/old", "protected folder Documents"},
        {del, "x/../.ssh/config", "protected folder .ssh"},
        {del, "x/../.ssh", topLevel},
        {del, "Library/Keychains/login", "protected folder Library/Keychains"},
        {del, ".local/share/keyrings/login.keyring", "protected folder .local/share/keyrings"},
        {del, ".local/share", "protected folder .local/share/keyrings"},
        {del, ".local/share/Trash", "would remove .local/share/Trash itself"},
        {del, ".local/share/Trash/files/old", ""},
        {del, "Library/Preferences/x.plist", "protected folder Library/Preferences"},
        {trash, "notes.txt", ""},
        {trash, "Projects", topLevel},
        {trash, "Documents", topLevel},
        {trash, "Documents/old", ""},
        {trash, "Library/Mail", "would remove Library/Mail itself"},
        {trash, "Library/Caches", "would remove Library/Caches itself"},
        {trash, "Library/Caches/com.x", ""},
        {trash, "Library/Foo", ""},
        {trash, "Pictures", "would remove Pictures itself"},
        {trash, ".ssh/id", "protected folder .ssh"},
        {trash, ".local/share/Trash", "would remove .local/share/Trash itself"},
        {trash, fs.path("outside/sub"), outside},
        // The kernel would stop at the NUL: the keyring folder itself, the folder above x.
        {del, ".local/share/keyrings\0"s, "holds a NUL byte"},
        {del, "Library/Caches/x/..\0"s, "holds a NUL byte"},
        {trash, ".ssh\0/id"s, "holds a NUL byte"},
        {del, "", "not an absolute path"},
        {trash, "", "not an absolute path"},
    };
    const PathGuard g = guard();
    for (const auto& row : rows) {
        std::string path = row.path.starts_with("/") ? row.path : home(row.path);
        if (row.path.empty()) path.clear();
        SCOPED_TRACE((row.check == del ? "delete " : "trash ") + path);
        const auto verdict = row.check == del ? g.checkDelete(path) : g.checkTrash(path);
        EXPECT_EQ(verdict.isAllowed(), row.reason.empty());
        EXPECT_EQ(verdict.reason(), row.reason);
    }
    EXPECT_EQ(g.checkDelete("Library/Caches/x").reason(), "not an absolute path");
}

TEST_F(PathGuardTest, NormalizeResolvesAsTheKernelDoes) {
    fs.symlink("home/a", fs.path("outside/sub"));
    fs.symlink("home/Library/Caches/link", fs.path("outside/sub"));
    const std::string h = fs.path("home");
    const std::string o = fs.path("outside");
    const std::string realHome = real(h);
    const std::string realOutside = real(o);
    const std::pair<std::string, std::string> rows[] = {
        {"", ""},
        {"relative/x", ""},
        {"/", "/"},
        {h + "/a/../Library/Caches/z", realOutside + "/Library/Caches/z"},
        {h + "/a/x", realOutside + "/sub/x"},
        {h + "/missing/../Projects/x", realHome + "/Projects/x"},
        {h + "/missing/deeper/../y", realHome + "/missing/y"},
        {h + "/Library/Caches/link", realHome + "/Library/Caches/link"},
        {h + "/Library/Caches/link/", realHome + "/Library/Caches/link"},
        {h + "//Projects///x/.", realHome + "/Projects/x"},
        {h + "/Projects/..", realHome},
    };
    for (const auto& [path, expected] : rows) EXPECT_EQ(PathGuard::normalize(path), expected) << path;
}

TEST_F(PathGuardTest, LinksAboveAPathAreJudgedWhereTheyLead) {
    fs.symlink("home/a", fs.path("outside/sub"));
    fs.symlink("home/Library/Caches/keys", home(".ssh"));
    fs.symlink("home/Library/Caches/out", fs.path("outside"));
    const PathGuard g = guard();
    EXPECT_EQ(g.checkDelete(home("a/../Library/Caches/z")).reason(), "outside the home folder");
    EXPECT_EQ(g.checkDelete(home("Library/Caches/keys/config")).reason(), "protected folder .ssh");
    EXPECT_EQ(g.checkDelete(home("Library/Caches/out/sub")).reason(), "outside the home folder");
    // The link itself is judged where it stands.
    EXPECT_TRUE(g.checkDelete(home("Library/Caches/keys")).isAllowed());
    EXPECT_TRUE(g.checkDelete(home("Library/Caches/out")).isAllowed());
}

TEST_F(PathGuardTest, HomeReachedThroughALinkIsResolved) {
    fs.symlink("linkedHome", fs.path("home"));
    const PathGuard g(fs.path("linkedHome"), fs.path("Applications"), "");
    EXPECT_EQ(g.home(), real(fs.path("home")));
    EXPECT_TRUE(g.checkDelete(fs.path("linkedHome/Library/Caches/x")).isAllowed());
    EXPECT_TRUE(g.checkDelete(home("Library/Caches/x")).isAllowed());
    EXPECT_EQ(g.checkDelete(fs.path("linkedHome/Documents/x")).reason(), "protected folder Documents");
}

TEST_F(PathGuardTest, UnusableHomeRefusesEverything) {
    for (const std::string bad : {"", "relative/home", "/", "/.", "//"}) {
        const PathGuard g(bad, fs.path("Applications"), "");
        EXPECT_EQ(g.home(), "") << bad;
        for (const auto& path : {std::string("/x/y"), home("Library/Caches/x"), std::string("/Applications/A.app")}) {
            EXPECT_EQ(g.checkDelete(path).reason(), "no usable home folder") << bad << " " << path;
            EXPECT_EQ(g.checkTrash(path).reason(), "no usable home folder") << bad << " " << path;
            EXPECT_EQ(g.checkTrashApp(path).reason(), "no usable home folder") << bad << " " << path;
        }
    }
}

TEST_F(PathGuardTest, TrashAppRules) {
    for (const char* app : {"Applications/Utilities/Foo.app", "Applications/Foo.app", "Applications/Foo.app/Contents/Bar.app",
                            "Applications/a/b/Foo.app", "home/Applications/Tidra.app", "home/Other/Foo.app"})
        fs.file(std::string(app) + "/Contents/Info.plist");
    fs.dir("home/Applications/Bare.app");
    fs.file("home/Applications/Foo.txt");
    fs.symlink("Applications/Link.app", fs.path("Applications/Foo.app"));
    const PathGuard g(fs.path("home"), fs.path("Applications"), home("Applications/Tidra.app/Contents/MacOS/tidra"));
    const std::pair<std::string, std::string> rows[] = {
        {"Applications/Utilities/Foo.app", ""},
        {"Applications/Foo.app", ""},
        {"Applications/Foo.app/Contents/Bar.app", "inside another folder or app"},
        {"Applications/a/b/Foo.app", "inside another folder or app"},
        {"Applications/Link.app", "not a folder, or a symbolic link"},
        {"Applications/Gone.app", "not a folder, or a symbolic link"},
        {"home/Applications/Bare.app", "not an app bundle"},
        {"home/Applications/Foo.txt", "not an app"},
        {"home/Other/Foo.app", "not in an Applications folder"},
        {"home/Applications/Tidra.app", "Tidra itself"},
        {"Applications/../home/Applications/Tidra.app", "Tidra itself"},
        // Would move the Applications folder itself.
        {"Applications/Utilities/..\0.app"s, "holds a NUL byte"},
    };
    for (const auto& [relative, reason] : rows) {
        const auto verdict = g.checkTrashApp(fs.path(relative));
        EXPECT_EQ(verdict.isAllowed(), reason.empty()) << relative;
        EXPECT_EQ(verdict.reason(), reason) << relative;
    }
}

TEST_F(PathGuardTest, RunningExecutableIsThisTest) {
    EXPECT_TRUE(PathGuard::runningExecutable().ends_with("/test_cleanup"));
}

} // namespace
} // namespace tidra
