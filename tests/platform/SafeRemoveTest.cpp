#include "platform/SafeRemove.h"

#include "support/DeepTree.h"
#include "support/FileProbe.h"
#include "support/MountNamespace.h"
#include "support/RunAsNobody.h"
#include "support/TempHome.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <functional>
#include <map>
#include <thread>

namespace {

// Runs right after unlinkat refuses an entry for being a folder: the moment a racing process
// would swap that folder for a link. unlinkat below stands in for libc's in this test program.
std::function<void(int folder, const char* name)> onFolderFound;
// Runs right after unlinkat removed a file: the moment a racing process would move the folder
// being emptied somewhere else.
std::function<void(const char* name)> onFileRemoved;

} // namespace

extern "C" int unlinkat(int folder, const char* name, int flags) {
    if (::syscall(SYS_unlinkat, folder, name, flags) == 0) {
        if (onFileRemoved && !(flags & AT_REMOVEDIR)) onFileRemoved(name);
        return 0;
    }
    const int error = errno;
    if (error == EISDIR && onFolderFound) onFolderFound(folder, name);
    errno = error;
    return -1;
}

namespace tidra::sys {
namespace {

using Status = Outcome::Status;
using test::exists;

unsigned modeOf(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

TEST(SafeRemoveTest, RemovesEntriesWithoutFollowingLinks) {
    test::TempHome fs;
    fs.file("outside/keep", 10);
    fs.file("t/file", 3);
    fs.symlink("t/toOutside", fs.path("outside"));
    fs.file("t/tree/a/b/c/deep", 100);
    fs.file("t/tree/.hidden");
    fs.symlink("t/tree/a/link", fs.path("outside"));
    fs.symlink("t/tree/dangling", "/nonexistent");
    fs.dir("t/tree/empty");
    fs.file("t/tree/closed/inside");
    fs.chmod("t/tree/closed", 0);
    const std::pair<const char*, Status> rows[] = {
        {"t/file", Status::done},      {"t/toOutside", Status::done},       {"t/tree", Status::done},
        {"t/missing", Status::missing}, {"t/missing/deeper", Status::missing},
    };
    for (const auto& [relative, status] : rows) {
        const Outcome outcome = SafeRemove::remove(fs.path(relative));
        EXPECT_EQ(outcome.status, status) << relative << ": " << outcome.reason;
        EXPECT_FALSE(exists(fs.path(relative))) << relative;
    }
    EXPECT_EQ(test::readFile(fs.path("outside/keep")), std::string(10, 'x'));
}

TEST(SafeRemoveTest, AFolderSwappedForALinkIsNeverFollowed) {
    test::TempHome fs;
    fs.file("outside/keep");
    fs.file("t/tree/sub/x");
    bool swapped = false;
    onFolderFound = [&](int folder, const char* name) {
        if (swapped || std::string(name) != "sub") return;
        swapped = true;
        ::renameat(folder, "sub", folder, "sub.moved");
        ::symlinkat(fs.path("outside").c_str(), folder, "sub");
    };
    const Outcome outcome = SafeRemove::remove(fs.path("t/tree"));
    onFolderFound = nullptr;
    ASSERT_TRUE(swapped);
    EXPECT_EQ(outcome.status, Status::failed);
    EXPECT_TRUE(exists(fs.path("outside/keep")));
    EXPECT_TRUE(test::isLink(fs.path("t/tree/sub")));
}

TEST(SafeRemoveTest, AFolderMovedOutWhileBeingEmptiedStopsTheWayBackUp) {
    test::TempHome fs;
    // The folder above the moved one holds names that the folder it lands in holds too.
    for (const char* name : {"f0", "f1", "f2", "f3", "f4", "f5", "f6", "f7"}) {
        fs.file(std::string("t/tree/a/") + name);
        fs.text(std::string("outside/") + name, "outside");
    }
    fs.file("t/tree/a/b/inside");
    bool moved = false;
    onFileRemoved = [&](const char* name) {
        if (moved || std::string(name) != "inside") return;
        moved = ::rename(fs.path("t/tree/a/b").c_str(), fs.path("outside/b").c_str()) == 0;
    };
    const Outcome outcome = SafeRemove::remove(fs.path("t/tree"));
    onFileRemoved = nullptr;
    ASSERT_TRUE(moved);
    EXPECT_EQ(outcome.status, Status::failed);
    EXPECT_EQ(outcome.reason, "was moved while being removed");
    EXPECT_TRUE(exists(fs.path("outside/b")));
    for (const char* name : {"f0", "f1", "f2", "f3", "f4", "f5", "f6", "f7"})
        EXPECT_EQ(test::readFile(fs.path(std::string("outside/") + name)), "outside") << name;
}

TEST(SafeRemoveTest, RefusesLinksAboveAndPathsWithoutAName) {
    test::TempHome fs;
    fs.file("outside/keep");
    fs.symlink("t/up", fs.path("outside"));
    EXPECT_EQ(SafeRemove::remove(fs.path("t/up/keep")).reason, "a folder above it is a symbolic link");
    // The kernel stops at a NUL: "<dir>/..\0" would empty the folder above <dir>.
    for (const std::string& path : {std::string("/"), std::string("relative/x"), std::string(), fs.path("t/.."),
                                    fs.path("outside/..") + '\0', fs.path("outside/keep") + '\0' + "x"})
        EXPECT_EQ(SafeRemove::remove(path).reason, "not a removable path") << path;
    EXPECT_FALSE(SafeRemove::Folder(fs.path("outside/..") + '\0').ok());
    EXPECT_TRUE(exists(fs.path("outside/keep")));
}

TEST(SafeRemoveTest, DeepTreesNeedNoRecursionAndHaveALimit) {
    test::TempHome fs;
    fs.file("keep");
    const auto answer = test::runInMountNamespace([&] {
        if (!test::mountTmpfs(fs.dir("disk"))) return std::string("no mount");
        std::string out;
        // Removed whole on a small stack; refused past the limit, with what could go gone.
        for (const int levels : {4000, 4200}) {
            test::makeDeepTree(fs.dir("disk/" + std::to_string(levels)), levels);
            fs.file("disk/" + std::to_string(levels) + "/sibling");
            const std::string top = fs.path("disk/" + std::to_string(levels));
            out += test::onSmallStack([&] { return SafeRemove::remove(top).reason; });
            out += exists(top) ? "|1" : "|0";
            out += exists(top + "/sibling") ? "1;" : "0;";
        }
        return out;
    });
    if (!answer) GTEST_SKIP() << test::kNoMountNamespace;
    EXPECT_EQ(*answer, "|00;is nested too deeply|10;");
    EXPECT_TRUE(exists(fs.path("keep")));
}

TEST(SafeRemoveTest, PartialRemovalIsAFailureAndTheRestGoes) {
    test::TempHome fs;
    for (const char* file : {"t/tree/a", "t/tree/locked/stuck", "t/tree/z"}) fs.file(file);
    for (const char* path : {"t", "t/tree", "t/tree/a", "t/tree/z"}) ASSERT_EQ(::chown(fs.path(path).c_str(), 65534, 65534), 0);
    const std::string answer = test::runAsNobody([&] { return SafeRemove::remove(fs.path("t/tree")).reason; });
    EXPECT_EQ(answer, "Permission denied");
    EXPECT_TRUE(exists(fs.path("t/tree/locked/stuck")));
    EXPECT_FALSE(exists(fs.path("t/tree/a")));
    EXPECT_FALSE(exists(fs.path("t/tree/z")));
}

// Go's module cache: every folder and file read-only. Ours inside the tree are opened up and
// go; the folder holding the tree, and a folder of someone else's inside it, stay as they are.
TEST(SafeRemoveTest, ReadOnlyFoldersOfOursInsideTheTreeAreOpenedUp) {
    test::TempHome fs;
    for (const char* file : {"own/mod/a@v1/sub/file.go", "own/mod/a@v1/go.mod", "parent/mod/x/y", "mixed/mod/b/f",
                             "mixed/mod/rootsafe/stuck"})
        fs.file(file);
    for (const char* tree : {"own", "parent", "mixed"}) {
        ASSERT_EQ(::chown(fs.path(tree).c_str(), 65534, 65534), 0);
        for (const auto& entry : std::filesystem::recursive_directory_iterator(fs.path(tree)))
            ASSERT_EQ(::lchown(entry.path().c_str(), 65534, 65534), 0);
    }
    ASSERT_EQ(::chown(fs.path("mixed/mod/rootsafe").c_str(), 0, 0), 0);
    for (const char* folder : {"own/mod", "own/mod/a@v1", "own/mod/a@v1/sub", "parent", "parent/mod/x",
                               "mixed/mod/b", "mixed/mod/rootsafe"})
        fs.chmod(folder, 0555);
    for (const char* file : {"own/mod/a@v1/sub/file.go", "own/mod/a@v1/go.mod"}) fs.chmod(file, 0444);

    const std::string answer = test::runAsNobody([&] {
        std::string out;
        for (const char* tree : {"own/mod", "parent/mod", "mixed/mod"})
            out += std::string(tree) + "=" + SafeRemove::remove(fs.path(tree)).reason + ";";
        return out;
    });
    EXPECT_EQ(answer, "own/mod=;parent/mod=Permission denied;mixed/mod=Permission denied;");
    EXPECT_FALSE(exists(fs.path("own/mod")));
    // The tree's own parent is not opened up: only what lies inside the judged tree.
    EXPECT_TRUE(exists(fs.path("parent/mod/x/y")));
    EXPECT_EQ(modeOf(fs.path("parent")), 0555u);
    EXPECT_TRUE(exists(fs.path("mixed/mod/rootsafe/stuck")));
    EXPECT_EQ(modeOf(fs.path("mixed/mod/rootsafe")), 0555u);
    EXPECT_FALSE(exists(fs.path("mixed/mod/b")));
}

TEST(SafeRemoveTest, NeverEntersAnotherVolume) {
    test::TempHome fs;
    fs.dir("t/tree/mnt");
    fs.file("t/tree/sibling");
    const auto answer = test::runInMountNamespace([&] {
        if (!test::mountTmpfs(fs.path("t/tree/mnt"))) return std::string("no mount");
        fs.file("t/tree/mnt/precious");
        const std::string tree = SafeRemove::remove(fs.path("t/tree")).reason;
        const std::string mountPoint = SafeRemove::remove(fs.path("t/tree/mnt")).reason;
        return tree + "|" + mountPoint + "|" + std::to_string(exists(fs.path("t/tree/mnt/precious"))) +
               std::to_string(exists(fs.path("t/tree/sibling")));
    });
    if (!answer) GTEST_SKIP() << "needs root to mount a tmpfs inside unshare -m";
    EXPECT_EQ(*answer, "contains another volume|contains another volume|10");
}

TEST(SafeRemoveTest, ListsOneLevelWithHiddenEntries) {
    test::TempHome fs;
    fs.file("t/a");
    fs.file("t/.hidden");
    fs.file("t/d/deeper");
    fs.symlink("link", fs.path("t"));
    auto listing = SafeRemove::Folder(fs.path("t")).list();
    std::sort(listing.names.begin(), listing.names.end());
    EXPECT_TRUE(listing.ok());
    EXPECT_EQ(listing.names, (std::vector<std::string>{".hidden", "a", "d"}));
    EXPECT_EQ(SafeRemove::Folder(fs.path("link")).error(), "is a symbolic link");
    EXPECT_EQ(SafeRemove::Folder(fs.path("link/d")).error(), "is a symbolic link");
    EXPECT_EQ(SafeRemove::Folder(fs.path("missing")).error(), "No such file or directory");
}

TEST(SafeRemoveTest, AnOpenedFolderRemovesOnlyItsOwnEntries) {
    test::TempHome fs;
    fs.file("t/a");
    fs.file("t/d/deeper");
    fs.text("outside/a", "keep");
    fs.text("outside/d/deeper", "keep");
    const SafeRemove::Folder folder(fs.path("t"));
    // Swapped for a link to another folder once it was opened.
    ASSERT_EQ(::rename(fs.path("t").c_str(), fs.path("t.moved").c_str()), 0);
    fs.symlink("t", fs.path("outside"));
    for (const char* name : {"a", "d", "gone"}) {
        const Outcome outcome = folder.remove(name);
        EXPECT_EQ(outcome.status, std::string(name) == "gone" ? Status::missing : Status::done) << name;
    }
    EXPECT_EQ(test::names(fs.path("t.moved")), std::vector<std::string>{});
    EXPECT_EQ(test::readFile(fs.path("outside/a")), "keep");
    EXPECT_EQ(test::readFile(fs.path("outside/d/deeper")), "keep");
    fs.file("t.moved/d/deeper");
    for (const std::string& name : std::vector<std::string>{"", ".", "..", "d/deeper", std::string("d\0x", 3)})
        EXPECT_EQ(folder.remove(name).reason, "not a removable path") << name;
    EXPECT_TRUE(exists(fs.path("t.moved/d/deeper")));
}

TEST(SafeRemoveTest, AFolderOfTheHomeIsReachedOnlyWithoutLinksBelowIt) {
    test::TempHome fs;
    fs.file("home/a/b/f");
    fs.symlink("home/l", fs.path("home/a"));
    fs.symlink("homelink", fs.path("home"));
    const std::string home = fs.path("home");
    struct Case {
        std::string home;
        std::string path;
        const char* error;
        bool missing;
    };
    const Case cases[] = {
        {home, home + "/a/b", "", false},
        {home, home, "", false},
        {fs.path("homelink"), fs.path("homelink") + "/a/b", "", false}, // the home's own link is followed
        {home, home + "/l/b", "is a symbolic link", false},
        {home, home + "/l", "is a symbolic link", false},
        {home, home + "/a/../../outside", "leads out of its folder", false},
        {home, fs.path("homeward/a"), "outside the home folder", false},
        {home, home + "/missing/b", "No such file or directory", true},
        {home, home + "/a/b/f", "Not a directory", true},
    };
    for (const auto& c : cases) {
        const SafeRemove::Folder folder(c.home, c.path);
        EXPECT_EQ(folder.error(), c.error) << c.path;
        EXPECT_EQ(folder.missing(), c.missing) << c.path;
    }
    const SafeRemove::Folder a(home, home + "/a");
    EXPECT_EQ(SafeRemove::Folder(a, "b").statusOf("f")->type, FileStatus::Type::regular);
    EXPECT_EQ(SafeRemove::Folder(a, "..").error(), "leads out of its folder");
    EXPECT_EQ(SafeRemove::Folder(a, "").status()->inode, a.status()->inode);
}

// The entry as the caller scanned it, and no other: checked before it goes, and a folder
// checked once more on the descriptor the removal goes down into.
TEST(SafeRemoveTest, AnEntryGoesOnlyWhileItIsTheOneExpected) {
    test::TempHome fs;
    fs.file("t/file");
    fs.file("t/tree/sub/x");
    fs.text("t/other/keep", "keep");
    const SafeRemove::Folder folder(fs.path("t"));
    const auto file = FileStatus::of(fs.path("t/file")).value();
    const auto tree = FileStatus::of(fs.path("t/tree")).value();
    EXPECT_EQ(folder.remove("file", tree.device, tree.inode).reason, "has changed since the scan");
    EXPECT_EQ(folder.remove("file", file.device, file.inode).status, Status::done);
    EXPECT_EQ(folder.remove("file", file.device, file.inode).status, Status::missing);
    bool swapped = false;
    onFolderFound = [&](int at, const char* name) {
        if (swapped || std::string(name) != "tree") return;
        swapped = true;
        ::renameat(at, "tree", at, "tree.moved");
        ::renameat(at, "other", at, "tree");
    };
    const Outcome outcome = folder.remove("tree", tree.device, tree.inode);
    onFolderFound = nullptr;
    ASSERT_TRUE(swapped);
    EXPECT_EQ(outcome.reason, "has changed since the scan");
    EXPECT_EQ(test::readFile(fs.path("t/tree/keep")), "keep");
    EXPECT_TRUE(exists(fs.path("t/tree.moved/sub/x")));
}

TEST(SafeRemoveTest, AnEntryBelowGoesOnlyByFoldersThatAreNoLinks) {
    test::TempHome fs;
    fs.file("t/d/e/f");
    fs.file("outside/e/f");
    fs.symlink("t/l", fs.path("outside"));
    const SafeRemove::Folder folder(fs.path("t"));
    EXPECT_EQ(folder.removeBelow("l/e").reason, "a folder above it is a symbolic link");
    EXPECT_EQ(folder.removeBelow("missing/e").status, Status::missing);
    EXPECT_EQ(folder.removeBelow("d/e/f").status, Status::done);
    EXPECT_EQ(folder.removeBelow("d/e").status, Status::done);
    EXPECT_EQ(test::names(fs.path("t/d")), std::vector<std::string>{});
    EXPECT_TRUE(exists(fs.path("outside/e/f")));
}

// What removing the files below `root` frees: each inode once, and only when all its links lie
// below it; folders' own blocks left out, as the removal leaves them out.
std::int64_t freeable(const std::string& root) {
    struct Inode {
        nlink_t met = 0, links = 0;
        std::int64_t bytes = 0;
    };
    std::map<ino_t, Inode> seen;
    const auto note = [&](const std::string& path) {
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return;
        auto& inode = seen[st.st_ino];
        inode = {nlink_t(inode.met + 1), st.st_nlink, std::int64_t(st.st_blocks) * 512};
    };
    note(root);
    if (std::filesystem::is_directory(std::filesystem::symlink_status(root)))
        for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) note(entry.path());
    std::int64_t total = 0;
    for (const auto& [number, inode] : seen)
        if (inode.met == inode.links) total += inode.bytes;
    return total;
}

std::int64_t allocated(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 ? std::int64_t(st.st_blocks) * 512 : 0;
}

// A removal counts what its own unlinks took off the disk: a file linked twice inside the tree
// once, a file with a link outside nothing, a folder's own blocks nothing.
TEST(SafeRemoveCountTest, CountsWhatItsOwnUnlinksFreed) {
    test::TempHome fs;
    fs.file("t/one", 10'000);
    fs.file("t/d/e/two", 70'000);
    fs.hardlink("t/d/twoAgain", "t/d/e/two");
    fs.file("keep/kept", 30'000);
    fs.hardlink("t/keptToo", "keep/kept");
    fs.symlink("t/link", fs.path("keep/kept"));
    fs.file("single", 5'000);
    fs.file("opened/entry/f", 9'000);
    const std::int64_t tree = allocated(fs.path("t/one")) + allocated(fs.path("t/d/e/two")) + allocated(fs.path("t/link"));
    const std::int64_t single = allocated(fs.path("single"));
    const std::int64_t entry = allocated(fs.path("opened/entry/f"));
    const std::int64_t kept = allocated(fs.path("keep/kept"));
    ASSERT_GT(tree, 80'000);
    ASSERT_EQ(freeable(fs.path("t")), tree);

    EXPECT_EQ(SafeRemove::remove(fs.path("t")).bytes, tree);
    EXPECT_EQ(SafeRemove::remove(fs.path("single")).bytes, single);
    EXPECT_EQ(SafeRemove::Folder(fs.path("opened")).remove("entry").bytes, entry);
    EXPECT_TRUE(exists(fs.path("keep/kept")));
    // Its last link now: removing it frees it.
    EXPECT_EQ(SafeRemove::remove(fs.path("keep/kept")).bytes, kept);
}

// Two removals of one tree, one after the other or racing on two threads, count its bytes once
// between them; whatever a racing pair leaves, a last removal takes and counts.
TEST(SafeRemoveCountTest, TwoRemovalsOfOneTreeCountItOnce) {
    test::TempHome fs;
    const auto makeTree = [&](const std::string& root) {
        for (int d = 0; d < 6; ++d)
            for (int f = 0; f < 12; ++f) fs.file(root + "/p" + std::to_string(d) + "/q/f" + std::to_string(f), 4096 * (f + 1));
        return freeable(fs.path(root));
    };
    const std::int64_t once = makeTree("seq");
    EXPECT_EQ(SafeRemove::remove(fs.path("seq")).bytes, once);
    const Outcome again = SafeRemove::remove(fs.path("seq"));
    EXPECT_EQ(again.status, Status::missing);
    EXPECT_EQ(again.bytes, 0);

    for (int round = 0; round < 20; ++round) {
        const std::string root = "race" + std::to_string(round);
        const std::int64_t total = makeTree(root);
        std::int64_t theirs = 0;
        std::thread other([&] { theirs = SafeRemove::remove(fs.path(root)).bytes; });
        const std::int64_t ours = SafeRemove::remove(fs.path(root)).bytes;
        other.join();
        const std::int64_t rest = SafeRemove::remove(fs.path(root)).bytes;
        ASSERT_EQ(ours + theirs + rest, total) << "round " << round << ": " << ours << " + " << theirs << " + " << rest;
        EXPECT_FALSE(exists(fs.path(root)));
    }
}

} // namespace
} // namespace tidra::sys
