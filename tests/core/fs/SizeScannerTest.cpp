#include "fs/SizeScanner.h"

#include "support/MountNamespace.h"
#include "support/RunAsNobody.h"
#include "support/TempHome.h"
#include "support/FileProbe.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <tbb/task_arena.h>

#include <atomic>

namespace tidra {
namespace {

using test::TempHome;
using Clock = std::chrono::system_clock;
using Paths = std::vector<std::string>;

using test::allocated;

Clock::time_point at(std::int64_t seconds) { return Clock::time_point(std::chrono::seconds(seconds)); }

// Every expectation holds for a measure on one thread and one fanned out over the pool.
class SizeScannerTest : public testing::TestWithParam<int> {
protected:
    SizeResult measure(const Paths& paths, const std::function<bool()>& isCancelled = [] { return false; }) {
        SizeResult result;
        tbb::task_arena arena(GetParam());
        arena.execute([&] { result = SizeScanner::measure(paths, isCancelled); });
        return result;
    }
};

INSTANTIATE_TEST_SUITE_P(Threads, SizeScannerTest, testing::Values(1, 8),
                         [](const auto& info) { return info.param == 1 ? "OneThread" : "Pool"; });

TEST_P(SizeScannerTest, NothingToMeasureGivesTheEmptyResult) {
    TempHome home;
    EXPECT_EQ(measure({}), SizeResult());
    EXPECT_EQ(measure({home.path("missing")}), SizeResult());
    home.dir("empty/inner");
    EXPECT_EQ(measure({home.path("empty")}), SizeResult());
}

TEST_P(SizeScannerTest, CountsFilesOnceAndLinksAndSpecialsAsBytesOnly) {
    TempHome home;
    const auto a = home.file("tree/a", 10'000);
    const auto b = home.file("tree/sub/b", 70'000);
    home.hardlink("tree/sub/b-again", "tree/sub/b");
    const auto link = home.symlink("tree/link", std::string(200, 'x'));  // long enough to take a block
    ASSERT_EQ(::mkfifo(home.path("tree/pipe").c_str(), 0644), 0);
    home.symlink("tree/to-outside", home.file("outside", 50'000));
    home.setModified("tree/a", at(2'000'000));
    home.setModified("tree/sub/b", at(1'000'000));
    home.setModified("tree/link", at(3'000'000));  // a link's date does not count

    SizeResult expected;
    expected.bytes = allocated(a) + allocated(b) + allocated(link) + allocated(home.path("tree/to-outside"));
    expected.files = 2;
    expected.newestModification = at(2'000'000);
    EXPECT_EQ(measure({home.path("tree")}), expected);
}

TEST_P(SizeScannerTest, PathsThatAreNoFolderCountAsOneFileEach) {
    TempHome home;
    const auto file = home.file("file", 5'000);
    const auto link = home.symlink("link", "file");
    home.setModified("file", at(1'500'000));
    const auto linkModified = Clock::time_point(std::chrono::seconds([&] {
        struct stat st{};
        ::lstat(link.c_str(), &st);
        return st.st_mtime;
    }()));

    SizeResult expected;
    expected.bytes = allocated(file) + allocated(link);
    expected.files = 2;
    expected.newestModification = std::max(at(1'500'000), linkModified);
    EXPECT_EQ(measure({file, link}), expected);
}

// Removing the paths frees a hard-linked file only when all its links go with them.
TEST_P(SizeScannerTest, HardLinkedFileCountsOnceAndOnlyWithAllItsLinks) {
    TempHome home;
    const auto original = home.file("one/data", 40'000);
    home.hardlink("two/data", "one/data");
    home.hardlink("one/again", "one/data");
    const std::int64_t bytes = allocated(original);

    struct Case {
        const char* name;
        Paths paths;
        std::int64_t freed;
        std::int64_t shared;
    };
    const Case cases[] = {
        {"every link in two folders", {home.path("one"), home.path("two")}, bytes, 0},
        {"folder and the file itself", {home.path("two/data"), home.path("one")}, bytes, 0},
        {"a third link outside", {home.path("one")}, 0, bytes},
        {"the same path twice, one link outside", {home.path("one"), home.path("one")}, 0, bytes},
        {"one link of three", {home.path("two")}, 0, bytes},
    };
    for (const auto& c : cases) {
        const SizeResult result = measure(c.paths);
        EXPECT_EQ(result.bytes, c.freed) << c.name;
        EXPECT_EQ(result.sharedBytes, c.shared) << c.name;
        EXPECT_EQ(result.files, 1) << c.name;
    }
}

TEST_P(SizeScannerTest, EqualInodeNumbersOnTwoVolumesAreTwoFiles) {
    TempHome home;
    home.dir("first");
    home.dir("second");
    const auto answer = test::runInMountNamespace([&] {
        if (!test::mountTmpfs(home.path("first")) || !test::mountTmpfs(home.path("second")))
            return std::string("<mount failed>");
        // Fresh tmpfs volumes number their inodes alike, so the two files share an inode number.
        home.file("first/data", 8'192);
        home.hardlink("first/link", "first/data");
        home.file("second/data", 16'384);
        home.hardlink("second/link", "second/data");
        struct stat one{}, two{};
        ::lstat(home.path("first/data").c_str(), &one);
        ::lstat(home.path("second/data").c_str(), &two);
        const SizeResult result = measure({home.path("first"), home.path("second")});
        const std::int64_t expected = allocated(home.path("first/data")) + allocated(home.path("second/data"));
        return std::string(result.files == 2 && result.bytes == expected ? "counted twice" : "miscounted") +
               (one.st_ino == two.st_ino ? "" : " (inode numbers differ on this kernel)");
    });
    if (!answer || *answer == "<mount failed>") GTEST_SKIP() << "cannot mount a tmpfs in a private mount namespace";
    EXPECT_TRUE(answer->starts_with("counted twice")) << *answer;
}

TEST_P(SizeScannerTest, MountedVolumeBelowThePathIsLeftOut) {
    TempHome home;
    const auto file = home.file("tree/file", 4'096);
    home.dir("tree/mnt");
    const auto answer = test::runInMountNamespace([&] {
        if (!test::mountTmpfs(home.path("tree/mnt"))) return std::string("<mount failed>");
        home.file("tree/mnt/big", 1'000'000);
        const SizeResult result = measure({home.path("tree")});
        return std::to_string(result.files) + " " + std::to_string(result.bytes) + " " +
               std::to_string(result.unreadableDirectories);
    });
    if (!answer || *answer == "<mount failed>") GTEST_SKIP() << "cannot mount a tmpfs in a private mount namespace";
    EXPECT_EQ(*answer, "1 " + std::to_string(allocated(file)) + " 0");
}

TEST_P(SizeScannerTest, UnreadableFoldersAreCountedAndTheRestMeasured) {
    TempHome home;
    const auto file = home.file("tree/open/file", 4'096);
    home.file("tree/locked/hidden", 100'000);
    home.file("tree/locked2/hidden", 100'000);
    home.chmod("tree/locked", 0000);
    home.chmod("tree/locked2", 0000);
    const std::string answer = test::runAsNobody([&] {
        const SizeResult result = measure({home.path("tree")});
        return std::to_string(result.files) + " " + std::to_string(result.bytes) + " " +
               std::to_string(result.unreadableDirectories);
    });
    EXPECT_EQ(answer, "1 " + std::to_string(allocated(file)) + " 2");
}

// 300 folders, each with one file: 256 of them are reached before the first question.
void makeFolders(TempHome& home, const std::string& base, int count) {
    for (int i = 0; i < count; ++i) home.file(base + "/d" + std::to_string(i / 20) + "/e" + std::to_string(i) + "/f", 1);
}

TEST_P(SizeScannerTest, CancellationIsAskedAtEvery256thFolder) {
    TempHome home;
    makeFolders(home, "tree", 300);  // 300 leaf folders, 15 middle ones and the root: 316
    std::atomic<int> asked = 0;
    const SizeResult whole = measure({home.path("tree")}, [&] {
        ++asked;
        return false;
    });
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(whole.files, 300);
}

TEST_P(SizeScannerTest, CancelledMeasureReturnsWhatWasCountedAndSkipsLaterPaths) {
    TempHome home;
    makeFolders(home, "tree", 300);
    const auto later = home.file("later", 4'096);
    std::atomic<int> asked = 0;
    const SizeResult partial = measure({home.path("tree"), later}, [&] {
        ++asked;
        return true;
    });
    EXPECT_EQ(asked, 1);
    EXPECT_GT(partial.files, 0);
    EXPECT_LT(partial.files, 300);
    EXPECT_EQ(partial.bytes, partial.files * allocated(home.path("tree/d0/e0/f")));
    EXPECT_EQ(measure({later}).files, 1);
}

TEST_P(SizeScannerTest, FannedOutMeasureEqualsTheSequentialOne) {
    TempHome home;
    for (int i = 0; i < 400; ++i) {
        const std::string folder = "tree/p" + std::to_string(i % 7) + "/q" + std::to_string(i % 23) + "/r" + std::to_string(i);
        home.file(folder + "/f", 100 * i);
        if (i % 5 == 0) home.hardlink("tree/links/l" + std::to_string(i), folder + "/f");
        home.setModified(folder + "/f", at(1'000'000 + i));
    }
    SizeResult sequential;
    tbb::task_arena one(1);
    one.execute([&] { sequential = SizeScanner::measure({home.path("tree")}, [] { return false; }); });
    EXPECT_EQ(sequential.files, 400);
    EXPECT_EQ(sequential.newestModification, at(1'000'399));
    for (int run = 0; run < 5; ++run) EXPECT_EQ(measure({home.path("tree")}), sequential);
}

} // namespace
} // namespace tidra
