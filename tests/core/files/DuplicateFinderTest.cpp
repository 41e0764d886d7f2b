#include "files/DuplicateFinder.h"

#include "files/UserFiles.h"

#include "support/DeepTree.h"
#include "support/MountNamespace.h"
#include "support/RunAsNobody.h"
#include "support/FileProbe.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>
#include <malloc.h>
#include <openssl/evp.h>
#include <poll.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <tbb/parallel_for.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <climits>
#include <map>
#include <mutex>
#include <set>

namespace tidra {
namespace {

using test::TempHome;

std::string sha256(const std::string& data) {
    unsigned char bytes[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    EVP_Digest(data.data(), data.size(), bytes, &length, EVP_sha256(), nullptr);
    std::string hex;
    char two[3];
    for (unsigned int i = 0; i < length; ++i) {
        std::snprintf(two, sizeof two, "%02x", bytes[i]);
        hex += two;
    }
    return hex;
}

// `size` bytes whose head and tail are fixed and whose middle carries `marker`.
std::string content(std::size_t size, char marker) {
    std::string data(size, 'h');
    data[size / 2] = marker;
    return data;
}

// Groups as sorted relative paths, for comparisons that ignore keeper order.
std::vector<std::vector<std::string>> shapes(const std::vector<DuplicateGroup>& groups, const TempHome& home) {
    std::vector<std::vector<std::string>> out;
    for (const auto& group : groups) {
        std::vector<std::string> paths;
        for (const auto& file : group.files) paths.push_back(file.path.substr(home.root().size() + 1));
        std::sort(paths.begin(), paths.end());
        out.push_back(paths);
    }
    std::sort(out.begin(), out.end());
    return out;
}

std::vector<DuplicateGroup> findIn(const TempHome& home, std::int64_t minimumBytes = 1,
                                   const DuplicateFinder::Progress& progress = nullptr,
                                   const DuplicateFinder::IsCancelled& isCancelled = nullptr,
                                   const CloneKeyProvider& cloneKeys = sharedDataKey) {
    return DuplicateFinder::find({home.root()}, minimumBytes, home.root(), progress, isCancelled, cloneKeys);
}

TEST(DuplicateFinder, GroupsIdenticalFilesOnlyAcrossHeadTailCollisions) {
    TempHome home;
    home.text("small/a", std::string(100'000, 'x'));
    home.text("small/b", std::string(100'000, 'x'));
    home.text("small/other", std::string(100'000, 'y'));
    // Equal heads and tails, different middles: a head-and-tail match that the whole read undoes.
    home.text("big/m1", content(1'000'000, '1'));
    home.text("big/m2", content(1'000'000, '2'));
    home.text("big/same1", content(1'000'001, 's'));
    home.text("big/same2", content(1'000'001, 's'));
    home.text("big/same3", content(1'000'001, 's'));
    home.text("big/differs", content(1'000'001, 'd'));
    const auto groups = findIn(home);
    EXPECT_EQ(shapes(groups, home), (std::vector<std::vector<std::string>>{{"big/same1", "big/same2", "big/same3"},
                                                                          {"small/a", "small/b"}}));
    for (const auto& group : groups) {
        if (group.size == 100'000) EXPECT_EQ(group.hash, sha256(std::string(100'000, 'x')));
        else EXPECT_EQ(group.hash, sha256(content(1'000'001, 's')));
    }
    // Three copies give back twice their space: the biggest set comes first.
    EXPECT_EQ(groups.front().size, 1'000'001);
}

TEST(DuplicateFinder, DigestsHeadAndTailFromTheListedLength) {
    TempHome home;
    std::string data(131'073, 'a');
    data[65'536] = 'M';  // the one byte a head-and-tail digest leaves out
    const auto path = home.text("f", data);
    const auto headTail = data.substr(0, 65'536) + data.substr(131'073 - 65'536);
    EXPECT_EQ(DuplicateFinder::digest(path, 131'073, true), sha256(headTail));
    EXPECT_EQ(DuplicateFinder::digest(path, 131'073, false), sha256(data));
    const auto exact = home.text("g", data.substr(0, 131'072));
    EXPECT_EQ(DuplicateFinder::digest(exact, 131'072, true), sha256(data.substr(0, 131'072)));
    EXPECT_EQ(DuplicateFinder::digest(home.path("missing"), 10, false), std::nullopt);
    EXPECT_EQ(DuplicateFinder::digest(home.root(), 10, false), std::nullopt);
}

TEST(DuplicateFinder, NeverMatchesEmptyFilesHardLinksOrSmallAllocations) {
    TempHome home;
    home.text("empty1", "");
    home.text("empty2", "");
    home.text("linked", "same");
    home.hardlink("link2", "linked");
    home.text("tiny1", "abc");
    home.text("tiny2", "abc");
    EXPECT_EQ(shapes(findIn(home, 0), home), (std::vector<std::vector<std::string>>{{"tiny1", "tiny2"}}));
    EXPECT_TRUE(findIn(home, 1'000'000).empty());
}

// One inode is one file however the search meets it: overlapping folders list it twice, and a
// copy whose data another name outside the search keeps frees nothing when moved.
TEST(DuplicateFinder, OneInodeIsNeverItsOwnDuplicateAndOutsideLinksFreeNothing) {
    TempHome home;
    home.text("Documents/sub/report.pdf", std::string(50'000, 'r'));
    home.text("Documents/sub/solo.bin", std::string(60'000, 's'));
    home.text("Documents/copy.pdf", std::string(50'000, 'r'));
    home.text("Pictures/photo.jpg", std::string(70'000, 'p'));
    home.text("Pictures/photo-copy.jpg", std::string(70'000, 'p'));
    home.hardlink(".backup/photo-copy.jpg", "Pictures/photo-copy.jpg");
    const auto groups = DuplicateFinder::find({home.path("Documents"), home.path("Documents/sub"), home.path("Pictures")},
                                              1, home.root(), nullptr, nullptr, sharedDataKey);
    EXPECT_EQ(shapes(groups, home), (std::vector<std::vector<std::string>>{
                                        {"Documents/copy.pdf", "Documents/sub/report.pdf"},
                                        {"Pictures/photo-copy.jpg", "Pictures/photo.jpg"}}));
    for (const auto& group : groups) {
        if (group.files.front().name().ends_with(".pdf")) continue;
        const std::string linked = home.path("Pictures/photo-copy.jpg");
        const std::string plain = home.path("Pictures/photo.jpg");
        EXPECT_EQ(group.freed({linked}), 0);
        EXPECT_EQ(group.freed({plain}), test::allocated(plain));
    }
}

// The search keeps only names and identities while it reads, and takes each grouped file's
// space, times and links afresh: the files of its groups are the files the listing gives,
// odd bytes in their names and all.
TEST(DuplicateFinder, GroupFilesAreTheListedFilesWhateverTheirNames) {
    TempHome home;
    home.text("Documents/line\nbreak.txt", std::string(5'000, 'a'));
    home.text("Documents/\xff\xfe raw.txt", std::string(5'000, 'a'));
    home.text("Documents/other.txt", std::string(5'000, 'b'));
    home.text("Pictures/\xc3\xbc copy (1).jpg", content(200'000, 'p'));
    home.text("Pictures/sub dir/\xc3\xbc.jpg", content(200'000, 'p'));
    home.hardlink(".backup/kept.jpg", "Pictures/\xc3\xbc copy (1).jpg");
    const std::vector<std::string> roots{home.path("Documents"), home.path("Pictures"), home.path("Documents")};
    const auto groups = DuplicateFinder::find(roots, 1, home.root(), nullptr, nullptr, nullptr);
    EXPECT_EQ(shapes(groups, home), (std::vector<std::vector<std::string>>{
                                        {"Documents/line\nbreak.txt", "Documents/\xff\xfe raw.txt"},
                                        {"Pictures/sub dir/\xc3\xbc.jpg", "Pictures/\xc3\xbc copy (1).jpg"}}));
    std::map<std::string, UserFiles::File> listed;
    for (auto& file : UserFiles::list(roots, 1)) listed[file.path] = file;
    for (const auto& group : groups)
        for (const auto& file : group.files) {
            const auto& want = listed.at(file.path);
            EXPECT_EQ(std::tuple(file.bytes, file.modified, file.created, file.cloneID, file.otherLinks),
                      std::tuple(want.bytes, want.modified, want.created, want.cloneID, want.links > 1))
                << file.path;
        }
}

// Details are read when a group is made: a file gone by then (after the last report of the
// reading) leaves its group, and a group left with one file is none.
TEST(DuplicateFinder, AFileGoneBeforeItsGroupIsMadeLeavesIt) {
    TempHome home;
    for (const auto* name : {"three/a", "three/b", "three/c"}) home.text(name, std::string(1'000, 't'));
    for (const auto* name : {"two/a", "two/b"}) home.text(name, std::string(2'000, 'w'));
    const auto removeWhenRead = [&](const DuplicateFinder::Stage& stage) {
        const auto* confirming = std::get_if<DuplicateFinder::Confirming>(&stage);
        if (!confirming || confirming->bytesDone != confirming->bytesOf) return;
        ::unlink(home.path("three/c").c_str());
        ::unlink(home.path("two/b").c_str());
    };
    EXPECT_EQ(shapes(findIn(home, 1, removeWhenRead), home), (std::vector<std::vector<std::string>>{{"three/a", "three/b"}}));
}

TEST(DuplicateFinder, UnreadableFileDropsOutButCountsAsCompared) {
    TempHome home;
    home.text("a", "identical");
    home.text("b", "identical");
    home.text("c", "different");
    home.chmod("c", 0);
    const auto answer = test::runAsNobody([&] {
        std::mutex mutex;
        std::vector<DuplicateFinder::Stage> stages;
        const auto groups = findIn(home, 1, [&](const DuplicateFinder::Stage& stage) {
            const std::lock_guard lock(mutex);
            stages.push_back(stage);
        });
        const bool lastIsThreeOfThree =
            std::count(stages.begin(), stages.end(), DuplicateFinder::Stage{DuplicateFinder::Comparing{3, 3}}) == 1;
        return std::to_string(groups.size()) + (groups.size() == 1 ? " of " + std::to_string(groups[0].files.size()) : "") +
               (lastIsThreeOfThree ? " 3/3" : " wrong stages");
    });
    EXPECT_EQ(answer, "1 of 2 3/3");
}

// A locked folder and a path too long to open are each reported once; the copies that can be
// read are still matched.
TEST(DuplicateFinder, ReportsEachFolderItCouldNotRead) {
    TempHome home;
    home.text("open/a", "identical");
    home.text("open/b", "identical");
    home.text("open/locked/c", "identical");
    home.chmod("open/locked", 0);
    const auto deepest = test::makeDeepTree(home.dir("deep"), 2100);
    const auto answer = test::runAsNobody([&] {
        std::vector<std::string> unreadable;
        const auto groups = DuplicateFinder::find({home.root()}, 1, home.root(), nullptr, nullptr, sharedDataKey,
                                                  [&](const std::string& folder) {
                                                      unreadable.push_back(folder.size() >= PATH_MAX
                                                                               ? "too-long"
                                                                               : folder.substr(home.root().size() + 1));
                                                  });
        std::sort(unreadable.begin(), unreadable.end());
        std::string out = std::to_string(groups.size()) + " of " +
                          (groups.empty() ? "0" : std::to_string(groups.front().files.size()));
        for (const auto& folder : unreadable) out += " " + folder;
        return out;
    });
    test::removeDeepTree(home.path("deep"));
    EXPECT_GT(deepest.size(), 4096u);
    EXPECT_EQ(answer, "1 of 2 open/locked too-long");
}

TEST(DuplicateFinder, StagesRunLookingComparingConfirming) {
    TempHome home;
    for (int i = 0; i < 20; ++i) home.text("s/f" + std::to_string(i), std::string(1000, char('a' + i % 2)));
    home.text("big/a", content(40'000'000, 'x'));
    home.text("big/b", content(40'000'000, 'x'));
    std::mutex mutex;
    std::vector<DuplicateFinder::Stage> stages;
    findIn(home, 1, [&](const DuplicateFinder::Stage& stage) {
        const std::lock_guard lock(mutex);
        stages.push_back(stage);
    });
    ASSERT_FALSE(stages.empty());
    EXPECT_EQ(stages.front(), DuplicateFinder::Stage{DuplicateFinder::Looking{22}});
    const auto comparing = std::find_if(stages.begin(), stages.end(), [](const auto& s) { return s.index() == 1; });
    const auto confirming = std::find_if(stages.begin(), stages.end(), [](const auto& s) { return s.index() == 2; });
    ASSERT_NE(comparing, stages.end());
    ASSERT_NE(confirming, stages.end());
    EXPECT_LT(comparing, confirming);
    EXPECT_TRUE(std::count(stages.begin(), stages.end(), DuplicateFinder::Stage{DuplicateFinder::Comparing{22, 22}}));
    EXPECT_EQ(stages.back(), (DuplicateFinder::Stage{DuplicateFinder::Confirming{80'020'000, 80'020'000}}));
    // The small files are read whole too. Reading 80 MB shows movement on the way, not only at the end.
    EXPECT_GT(std::count_if(stages.begin(), stages.end(), [](const auto& s) { return s.index() == 2; }), 2);
}

// Counts the closes of files read in one folder, so that a test can wait for a read the
// search does not report.
class ReadWatch {
public:
    // Opens are watched too, only so that two closes of one file are never merged into one
    // event, as inotify merges identical events that follow each other unread.
    explicit ReadWatch(const std::string& folder) : fd_(::inotify_init1(IN_CLOEXEC | IN_NONBLOCK)) {
        ::inotify_add_watch(fd_, folder.c_str(), IN_OPEN | IN_CLOSE_NOWRITE);
    }
    ~ReadWatch() { ::close(fd_); }
    ReadWatch(const ReadWatch&) = delete;
    ReadWatch& operator=(const ReadWatch&) = delete;

    // Waits until `count` files of the folder were closed after reading; false when that did
    // not happen within a minute, which only a hung search explains.
    bool waitFor(int count) {
        alignas(inotify_event) char events[4096];
        for (pollfd ready{fd_, POLLIN, 0}; seen_ < count;) {
            if (::poll(&ready, 1, 60'000) <= 0) return false;
            for (ssize_t got = ::read(fd_, events, sizeof events), at = 0; got > 0 && at < got;) {
                const auto* event = reinterpret_cast<const inotify_event*>(events + at);
                // Events without a name are the folder's own.
                if (event->len > 0 && (event->mask & IN_CLOSE_NOWRITE)) ++seen_;
                at += ssize_t(sizeof(inotify_event) + event->len);
            }
        }
        return true;
    }

private:
    int fd_;
    int seen_ = 0;
};

TEST(DuplicateFinder, CancellationKeepsOnlyCompleteGroups) {
    TempHome home;
    home.text("small/a", "twin");
    home.text("small/b", "twin");
    home.text("big/a", content(20'000'000, 'x'));
    home.text("big/b", content(20'000'000, 'x'));
    EXPECT_TRUE(findIn(home, 1, nullptr, [] { return true; }).empty());
    // Cancelled while reading the big files whole, once the small pair was read whole too (each
    // small file is closed twice: after its first block and after its whole read): the small
    // group stands, the big one is dropped within a chunk rather than after 40 MB. The pair is
    // never read by the thread that waits: the big pair reports its first 16 MiB long before.
    ReadWatch smallReads(home.path("small"));
    std::atomic<bool> cancelled = false, smallPairRead = true;
    std::atomic<std::int64_t> bytesSeen = 0;
    const auto groups = findIn(
        home, 1,
        [&](const DuplicateFinder::Stage& stage) {
            const auto* c = std::get_if<DuplicateFinder::Confirming>(&stage);
            if (!c || cancelled) return;
            bytesSeen = c->bytesDone;
            smallPairRead = smallReads.waitFor(4);
            cancelled = true;
        },
        [&] { return cancelled.load(); });
    ASSERT_TRUE(smallPairRead);
    EXPECT_EQ(shapes(groups, home), (std::vector<std::vector<std::string>>{{"small/a", "small/b"}}));
    EXPECT_LT(bytesSeen.load(), 40'000'000);
}

TEST(DuplicateFinder, ManySameSizeFilesAreComparedWhole) {
    // More files than are read side by side, so the set is digested file by file; the odd one
    // differs only in its middle, past the first block and between head and tail.
    for (const std::size_t size : {100'000, 1'000'001}) {
        TempHome home;
        for (int i = 0; i < 9; ++i) home.text("same" + std::to_string(i), content(size, 's'));
        home.text("odd", content(size, 'o'));
        const auto groups = findIn(home);
        ASSERT_EQ(groups.size(), 1u) << size;
        EXPECT_EQ(groups[0].files.size(), 9u) << size;
        EXPECT_EQ(groups[0].hash, sha256(content(size, 's'))) << size;
        for (const auto& file : groups[0].files) EXPECT_NE(file.name(), "odd") << size;
    }
}

std::int64_t heapInUse() {
    const auto info = ::mallinfo2();
    return std::int64_t(info.uordblks + info.hblkhd);
}

TEST(DuplicateFinder, KeepsNoMemoryOnceItReturns) {
    // In a fresh process, so that no earlier search left its threads' buffers behind; the
    // worker threads are started first, as they live on. The child builds its own files and
    // removes them before it exits, as std::exit skips the destructors of the test's scope.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            bool kept = true;
            {
                TempHome home;
                for (int i = 0; i < 12; ++i)
                    home.text("big/f" + std::to_string(i), content(3'000'000, char('a' + i % 3)));
                tbb::parallel_for(0, 1000, [](int) {});
                const auto before = heapInUse();
                const auto groups = findIn(home);
                // The groups take a few kilobytes; a 1 MiB read buffer kept by any thread would show.
                kept = groups.size() != 3 || heapInUse() - before >= 256 * 1024;
            }
            std::exit(kept ? 1 : 0);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST(DuplicateFinder, CloneKeysMakeCopiesFreeNothing) {
    TempHome home;
    home.text("Documents/clone1", "cloned data");
    home.text("Documents/clone2", "cloned data");
    home.text("Documents/real1", "copied data");
    home.text("Documents/real2", "copied data");
    std::mutex mutex;
    std::set<std::string> asked;
    const auto groups = findIn(home, 1, nullptr, nullptr, [&](const std::string& path) -> std::optional<std::uint64_t> {
        const std::lock_guard lock(mutex);
        asked.insert(path);
        if (path.find("clone") != std::string::npos) return 42;
        return std::nullopt;
    });
    ASSERT_EQ(groups.size(), 2u);
    EXPECT_GT(groups[0].reclaimable(), 0);
    EXPECT_EQ(groups[1].files[0].name(), "clone1");
    EXPECT_EQ(groups[1].reclaimable(), 0);
    EXPECT_EQ(asked.size(), 4u);
}

// On a loop-mounted btrfs volume: a file, its reflink and a real copy. What removing each
// frees, as the default clone keys see it.
std::string reflinkFreed(TempHome& home) {
    if (auto failed = test::mountImage("btrfs", home.path("btrfs.img"), home.path("mnt")); !failed.empty())
        return "<no image> " + failed;
    const std::string data(200'000, 'r');
    home.text("mnt/Documents/original", data);
    home.clone("mnt/Documents/reflink", "mnt/Documents/original");
    home.text("mnt/Pictures/copy", data);
    const auto groups = DuplicateFinder::find({home.path("mnt")}, 1, home.path("mnt"));
    if (groups.size() != 1 || groups[0].files.size() != 3) return "not one group of three";
    const auto& group = groups[0];
    const auto copyBytes = group.files[2].bytes;
    const auto freed = [&](std::set<std::string> names) {
        std::set<std::string> paths;
        for (const auto& name : names) paths.insert(home.path("mnt/" + name));
        return std::to_string(group.freed(paths) / copyBytes);
    };
    return "reflink " + freed({"Documents/reflink"}) + ", original " + freed({"Documents/original"}) +
           ", both " + freed({"Documents/original", "Documents/reflink"}) + ", copy " + freed({"Pictures/copy"}) +
           ", all but the keeper " + std::to_string(group.reclaimable() / copyBytes);
}

TEST(DuplicateFinder, AReflinkFreesNothingWhileItsOriginalStays) {
    TempHome home;
    home.dir("mnt");
    const auto answer = test::runInMountNamespace([&] { return reflinkFreed(home); });
    if (!answer) GTEST_SKIP() << "no mount namespace here: cannot mount a btrfs image";
    if (answer->starts_with("<no image>")) GTEST_SKIP() << "cannot mount a btrfs image: " << *answer;
    // In units of one file's allocated size.
    EXPECT_EQ(*answer, "reflink 0, original 0, both 1, copy 1, all but the keeper 1");
}

TEST(DuplicateFinder, KeeperFirstWithinGroups) {
    TempHome home;
    home.text("Downloads/report.pdf", "same");
    home.text("Documents/report copy.pdf", "same");
    home.text("Documents/report.pdf", "same");
    const auto groups = findIn(home);
    ASSERT_EQ(groups.size(), 1u);
    EXPECT_EQ(groups[0].files[0].path, home.path("Documents/report.pdf"));
    EXPECT_EQ(groups[0].files[2].path, home.path("Downloads/report.pdf"));
}

TEST(DuplicateFinder, DefaultRoots) {
    EXPECT_EQ(DuplicateFinder::defaultRoots("/home/me"),
              (std::vector<std::string>{"/home/me/Desktop", "/home/me/Documents", "/home/me/Downloads",
                                        "/home/me/Pictures", "/home/me/Movies", "/home/me/Videos", "/home/me/Music",
                                        "/home/me/Public"}));
}

} // namespace
} // namespace tidra
