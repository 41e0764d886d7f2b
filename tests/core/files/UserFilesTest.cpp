#include "files/UserFiles.h"

#include "support/TempHome.h"
#include "support/FileProbe.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

namespace tidra {
namespace {

using test::TempHome;

std::vector<std::string> relativePaths(const std::vector<UserFiles::File>& files, const TempHome& home) {
    std::vector<std::string> paths;
    for (const auto& file : files) paths.push_back(file.path.substr(home.root().size() + 1));
    std::sort(paths.begin(), paths.end());
    return paths;
}

std::vector<std::string> listed(const TempHome& home, const std::vector<std::string>& roots,
                                std::int64_t minimumBytes = 1) {
    std::vector<std::string> absolute;
    for (const auto& root : roots) absolute.push_back(home.path(root));
    return relativePaths(UserFiles::list(absolute, minimumBytes), home);
}

using test::allocated;

TEST(UserFilesList, SkipsWhatIsNotTheUsersOwnDocuments) {
    TempHome home;
    const std::vector<std::string> kept{
        "Documents/letter.txt",         "Documents/plain/target/out.bin", "Documents/rust/Cargo.toml",
        "Documents/gradle/gradlew",     "Documents/gradle/build/kept.txt", "Documents/lone/node/modules.txt",
        "Documents/Report.pdf.app.txt", "Documents/nested/deeper/deepest.txt",
    };
    for (const auto& path : kept) home.file(path, 10);
    for (const auto& path : std::vector<std::string>{
             "Documents/.DS_Store", "Documents/.cache/blob", "Documents/repo/.git/HEAD", "Documents/repo/main.c",
             "Documents/repo/src/lib.c", "Documents/rust/target/debug/app", "Documents/web/package.json",
             "Documents/web/node_modules/x/index.js", "Documents/lone/node_modules/y.js",
             "Documents/ios/Pods/Lib/a.m", "Documents/py/__pycache__/m.pyc", "Documents/py/venv/bin/python",
             "Documents/Photos Library.photoslibrary/db", "Documents/Old.APP/Contents/bin",
             "Documents/Kit.framework/Kit", "Music/Media.localized/song.mp3"})
        home.file(path, 10);
    home.dir("Documents/gitfile");
    home.text("Documents/gitfile/.git", "gitdir: elsewhere");
    home.file("Documents/gitfile/tracked.txt", 10);
    // A lone "gradlew" marks no Gradle build folder; the web folder's own marker is listed.
    std::vector<std::string> expected = kept;
    expected.push_back("Documents/web/package.json");
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(listed(home, {"Documents", "Music"}), expected);
}

TEST(UserFilesList, RootsThatAreNoFoldersOrRepositoriesYieldNothing) {
    TempHome home;
    home.file("real/a.txt", 10);
    home.symlink("link", home.path("real"));
    home.file("plain.txt", 10);
    home.file("repo/a.txt", 10);
    home.dir("repo/.git");
    EXPECT_TRUE(listed(home, {"link", "plain.txt", "repo", "missing"}).empty());
    EXPECT_EQ(listed(home, {"real"}), std::vector<std::string>{"real/a.txt"});
}

TEST(UserFilesList, MinimumIsTheAllocatedSize) {
    TempHome home;
    const auto whole = home.file("whole.bin", 100'000);
    const auto sparse = home.file("sparse.bin", 0);
    ASSERT_EQ(::truncate(sparse.c_str(), 5'000'000), 0);
    const auto size = allocated(whole);
    EXPECT_EQ(listed(home, {""}, size), std::vector<std::string>{"whole.bin"});
    EXPECT_TRUE(listed(home, {""}, size + 1).empty());
}

TEST(UserFilesList, HardLinkedFileListedOnceUnderTheFirstPathMet) {
    TempHome home;
    home.file("a/first.bin", 10);
    home.hardlink("b/second.bin", "a/first.bin");
    const auto files = UserFiles::list({home.path("a"), home.path("b")}, 1);
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(files[0].path, home.path("a/first.bin"));
}

TEST(UserFilesList, FillsSizesIdentityAndTimes) {
    TempHome home;
    const auto path = home.file("doc.txt", 5000);
    home.setModified("doc.txt", std::chrono::system_clock::time_point(std::chrono::nanoseconds(1'600'000'000'123'456'789)));
    struct stat st{};
    ASSERT_EQ(::lstat(path.c_str(), &st), 0);
    const auto files = UserFiles::list({home.root()}, 1);
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(files[0].length, 5000);
    EXPECT_EQ(files[0].bytes, allocated(path));
    EXPECT_EQ(files[0].cloneID, CloneID::ownIdentity(st.st_dev, st.st_ino));
    EXPECT_EQ(files[0].modified.time_since_epoch(), std::chrono::nanoseconds(1'600'000'000'123'456'789));
}

TEST(UserFilesList, AcceptSeesNamesOfFilesThatPassedTheOtherTests) {
    TempHome home;
    home.file("d/keep.jpg", 10);
    home.file("d/drop.txt", 10);
    home.file("d/.hidden.jpg", 10);
    std::vector<std::string> asked;
    const auto files = UserFiles::list({home.root()}, 1, [&](std::string_view name) {
        asked.emplace_back(name);
        return name.ends_with(".jpg");
    });
    std::sort(asked.begin(), asked.end());
    EXPECT_EQ(asked, (std::vector<std::string>{"drop.txt", "keep.jpg"}));
    EXPECT_EQ(relativePaths(files, home), std::vector<std::string>{"d/keep.jpg"});
}

TEST(UserFilesList, ProgressAfterABigFolderAndAtTheEnd) {
    TempHome home;
    for (int i = 0; i < 2500; ++i) home.file("many/f" + std::to_string(i), 0);
    home.file("many/.DS_Store", 0);
    std::vector<std::int64_t> reports;
    UserFiles::list({home.path("many")}, 1'000'000, nullptr, [&](std::int64_t n) { reports.push_back(n); });
    EXPECT_EQ(reports, (std::vector<std::int64_t>{2501, 2501}));
}

TEST(UserFilesList, CancellationEndsOnlyTheCurrentRoot) {
    TempHome home;
    for (const auto& root : {"one", "two"}) {
        home.file(std::string(root) + "/top.txt", 10);
        home.file(std::string(root) + "/sub/below.txt", 10);
    }
    const auto files = UserFiles::list({home.path("one"), home.path("two")}, 1, nullptr, nullptr, [] { return true; });
    EXPECT_EQ(relativePaths(files, home), (std::vector<std::string>{"one/top.txt", "two/top.txt"}));
}

TEST(UserFilesFreed, CountsSharedDataOnceAndKeptDataNever) {
    const CloneID a{1, 7, false}, b{1, 8, false}, sameInodeOtherDevice{2, 7, false};
    struct Case {
        const char* what;
        std::vector<UserFiles::Entry> entries;
        std::set<std::string> removing;
        std::int64_t expected;
    };
    const std::vector<UserFiles::Entry> clones{{"x", 10, a}, {"y", 10, a}, {"z", 10, a}};
    const std::vector<Case> cases{
        {"nothing removed", clones, {}, 0},
        {"all clones removed", clones, {"x", "y", "z"}, 10},
        {"a clone stays", clones, {"x", "y"}, 0},
        {"distinct data", {{"x", 10, a}, {"y", 20, b}}, {"x", "y"}, 30},
        {"unknown path", {{"x", 10, a}, {"y", 20, b}}, {"nope"}, 0},
        {"equal inode on two devices", {{"x", 10, a}, {"y", 20, sameInodeOtherDevice}}, {"y"}, 20},
    };
    for (const auto& c : cases) EXPECT_EQ(UserFiles::freed(c.entries, c.removing), c.expected) << c.what;
}

} // namespace
} // namespace tidra
