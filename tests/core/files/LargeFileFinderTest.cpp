#include "files/LargeFileFinder.h"

#include "support/DeepTree.h"
#include "support/MountNamespace.h"
#include "support/RunAsNobody.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <climits>
#include <map>
#include <mutex>

namespace tidra {
namespace {

using test::TempHome;

constexpr std::int64_t block = 4096;

std::vector<std::string> found(const TempHome& home, std::int64_t minimumBytes, std::int64_t limit = 1000,
                               const std::set<std::string>& excluding = {}) {
    std::vector<std::string> paths;
    for (const auto& file : LargeFileFinder::find(home.root(), minimumBytes, limit, excluding))
        paths.push_back(file.path.substr(home.root().size() + 1));
    return paths;
}

TEST(LargeFileFinder, RanksBySizeThenPathWithHardLinksOnce) {
    TempHome home;
    home.file("a/b/c/d/deep.bin", 5 * block);
    home.file("loose.bin", 4 * block);
    home.file("first/level.bin", 3 * block);
    home.file("x/y/twin-b.bin", 2 * block);
    home.file("x/y/twin-a.bin", 2 * block);
    home.file("p/q/linked.bin", 6 * block);
    home.hardlink("z/z/a-link.bin", "p/q/linked.bin");
    home.file("small.bin", 1);
    EXPECT_EQ(found(home, 2 * block), (std::vector<std::string>{"p/q/linked.bin", "a/b/c/d/deep.bin", "loose.bin",
                                                                 "first/level.bin", "x/y/twin-a.bin", "x/y/twin-b.bin"}));
    EXPECT_EQ(found(home, 2 * block, 2), (std::vector<std::string>{"p/q/linked.bin", "a/b/c/d/deep.bin"}));
    EXPECT_TRUE(found(home, 2 * block, 0).empty());
    EXPECT_EQ(found(home, 5 * block), (std::vector<std::string>{"p/q/linked.bin", "a/b/c/d/deep.bin"}));
    EXPECT_EQ(found(home, 5 * block + 1), std::vector<std::string>{"p/q/linked.bin"});
}

// Folders that cannot be read, above the split and inside a walk, and a path too long to open,
// are each reported once; what can be read is still found.
TEST(LargeFileFinder, ReportsEachFolderItCouldNotRead) {
    TempHome home;
    home.file("open/a/seen.bin", 2 * block);
    home.file("locked/hidden.bin", 2 * block);
    home.file("open/b/locked/hidden.bin", 2 * block);
    home.chmod("locked", 0);
    home.chmod("open/b/locked", 0);
    const auto deepest = test::makeDeepTree(home.dir("open/c"), 2100);
    const auto answer = test::runAsNobody([&] {
        std::mutex mutex;
        std::vector<std::string> unreadable;
        const auto files = LargeFileFinder::find(home.root(), block, 1000, {}, nullptr, nullptr,
                                                 [&](const std::string& folder) {
                                                     const std::lock_guard lock(mutex);
                                                     unreadable.push_back(folder.size() >= PATH_MAX ? "too-long"
                                                                                  : folder.substr(home.root().size() + 1));
                                                 });
        std::sort(unreadable.begin(), unreadable.end());
        std::string out = std::to_string(files.size());
        for (const auto& folder : unreadable) out += " " + folder;
        return out;
    });
    test::removeDeepTree(home.path("open/c"));
    EXPECT_GT(deepest.size(), 4096u);
    EXPECT_EQ(answer, "1 locked open/b/locked too-long");
}

TEST(LargeFileFinder, FillsSizeAndWholeSecondDate) {
    TempHome home;
    home.file("a/b/f.bin", 3 * block);
    home.setModified("a/b/f.bin", std::chrono::system_clock::from_time_t(1'600'000'000) + std::chrono::milliseconds(700));
    const auto files = LargeFileFinder::find(home.root(), 1, 10);
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(files[0].bytes, 3 * block);
    EXPECT_EQ(files[0].modified, std::chrono::system_clock::from_time_t(1'600'000'000));
    EXPECT_EQ(files[0].name(), "f.bin");
    EXPECT_EQ(files[0].folder(), home.path("a/b"));
}

// A file with a second name frees nothing when one is moved, whether the other lies in the
// search or outside it; found both beside the root and deep in a walk.
TEST(LargeFileFinder, MarksFilesWithOtherLinks) {
    TempHome home;
    TempHome outside;
    home.file("lone.bin", 2 * block);
    home.file("top.bin", 2 * block);
    home.file("a/b/deep.bin", 2 * block);
    home.file("a/b/lone.bin", 2 * block);
    ASSERT_EQ(::link(home.path("top.bin").c_str(), outside.path("top-link.bin").c_str()), 0);
    home.hardlink("c/deep-link.bin", "a/b/deep.bin");
    std::map<std::string, bool> marked;
    for (const auto& file : LargeFileFinder::find(home.root(), 1, 10))
        marked[file.path.substr(home.root().size() + 1)] = file.otherLinks;
    EXPECT_EQ(marked, (std::map<std::string, bool>{
                          {"a/b/deep.bin", true}, {"a/b/lone.bin", false}, {"lone.bin", false}, {"top.bin", true}}));
}

TEST(LargeFileFinder, SkipsToolFoldersTrashesAndExcludedFolders) {
    TempHome home;
    for (const auto& path : {"node_modules/x.bin", "proj/node_modules/x.bin", "proj/a/b/node_modules/x.bin",
                             ".git/objects/pack.bin", "repo/deep/.git/pack.bin", ".Trash/old.bin", "a/b/.Trash/old.bin",
                             ".local/share/Trash/files/old.bin", "Library/Containers/app/data.bin",
                             "x/y/z/Containers/app/data.bin"})
        home.file(path, block);
    home.file("Library/Containers.bin", block);
    home.file(".local/share/kept.bin", block);
    const std::set<std::string> excluding{home.path("Library/Containers"), home.path("x/y/z/Containers")};
    EXPECT_EQ(found(home, 1, 1000, excluding),
              (std::vector<std::string>{".local/share/kept.bin", "Library/Containers.bin"}));
}

TEST(LargeFileFinder, ExcludedFileIsStillFound) {
    TempHome home;
    home.file("a/b/c/file.bin", block);
    EXPECT_EQ(found(home, 1, 10, {home.path("a/b/c/file.bin")}), std::vector<std::string>{"a/b/c/file.bin"});
}

TEST(LargeFileFinder, RootsThatAreNoFoldersGiveNothing) {
    TempHome home;
    home.file("plain.bin", block);
    home.symlink("link", home.root());
    EXPECT_TRUE(LargeFileFinder::find(home.path("plain.bin"), 1, 10).empty());
    EXPECT_TRUE(LargeFileFinder::find(home.path("missing"), 1, 10).empty());
    EXPECT_TRUE(LargeFileFinder::find(home.path("link"), 1, 10).empty());
}

TEST(LargeFileFinder, CancellationStopsOnlyAfterAFullBatch) {
    TempHome home;
    for (int i = 0; i < 50; ++i) home.file("a/small/f" + std::to_string(i), 0);
    home.file("a/small/last.bin", block);
    std::atomic<std::int64_t> lastTotal = 0;
    const auto files = LargeFileFinder::find(
        home.root(), 1, 10, {}, [&](std::int64_t total) { lastTotal = std::max(lastTotal.load(), total); },
        [] { return true; });
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(files[0].name(), "last.bin");
    EXPECT_EQ(lastTotal.load(), 51);
}

TEST(LargeFileFinder, CancellationEndsABigWalkEarly) {
    TempHome home;
    // One work folder (a/b) whose first subfolder alone fills a batch.
    for (int d = 0; d < 2; ++d)
        for (int i = 0; i < 4200; ++i) home.file("a/b/d" + std::to_string(d) + "/f" + std::to_string(i), 0);
    std::atomic<std::int64_t> lastTotal = 0;
    LargeFileFinder::find(home.root(), 1, 10, {}, [&](std::int64_t total) { lastTotal = total; },
                          [] { return true; });
    EXPECT_EQ(lastTotal.load(), 4200);
}

TEST(LargeFileFinder, SplitsTwoLevelsDown) {
    TempHome home;
    home.file("top.bin", 1);
    home.file("one/mid.bin", 1);
    home.file("one/two/low.bin", 1);
    home.dir("one/node_modules/x");
    home.dir("other/leaf");
    const auto work = LargeFileFinder::subtrees(home.root(), 2, {home.path("other/leaf")});
    EXPECT_EQ(work.folders, std::vector<std::string>{home.path("one/two")});
    std::set<std::string> files(work.files.begin(), work.files.end());
    EXPECT_EQ(files, (std::set<std::string>{home.path("top.bin"), home.path("one/mid.bin")}));
}

TEST(LargeFileFinder, StaysOnTheRootsVolume) {
    TempHome home;
    home.file("a/b/here.bin", block);
    home.dir("a/mnt");
    home.dir("deep/er/mnt");
    const auto answer = test::runInMountNamespace([&] {
        if (!test::mountTmpfs(home.path("a/mnt")) || !test::mountTmpfs(home.path("deep/er/mnt")))
            return std::string("<mount failed>");
        home.file("a/mnt/there.bin", block);
        home.file("deep/er/mnt/there.bin", block);
        std::string names;
        for (const auto& file : LargeFileFinder::find(home.root(), 1, 10)) names += file.name() + " ";
        return names;
    });
    if (!answer || *answer == "<mount failed>") GTEST_SKIP() << "cannot mount a tmpfs in a private mount namespace";
    EXPECT_EQ(*answer, "here.bin ");
}

} // namespace
} // namespace tidra
