#include "platform/Trash.h"

#include "support/FileProbe.h"
#include "support/MountNamespace.h"
#include "support/RunAsNobody.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <regex>
#include <thread>

namespace tidra::sys {
namespace {

using Status = Outcome::Status;
using test::exists;
using test::names;
using test::readFile;

mode_t permissionsOf(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

std::string runShell(const std::string& command) {
    std::string out;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[4096];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
        ::pclose(pipe);
    }
    return out;
}

class TrashTest : public ::testing::Test {
protected:
    std::string home() const { return fs.path("home"); }
    std::string trash(const std::string& relative) const { return fs.path("home/.local/share/Trash/" + relative); }

    test::TempHome fs;
};

TEST_F(TrashTest, MovesIntoTheHomeTrashWithARecord) {
    const std::string file = fs.text("home/Library/Caches/x/report 1%.txt", "content");
    ASSERT_EQ(Trash::move(file, home()).status, Status::done);
    EXPECT_FALSE(exists(file));
    EXPECT_EQ(readFile(trash("files/report 1%.txt")), "content");
    const std::string record = readFile(trash("info/report 1%.txt.trashinfo"));
    const std::regex shape("\\[Trash Info\\]\nPath=(.*)\nDeletionDate=\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d\n");
    std::smatch match;
    ASSERT_TRUE(std::regex_match(record, match, shape)) << record;
    EXPECT_EQ(match[1], fs.path("home/Library/Caches/x/report%201%25.txt"));
    for (const char* folder : {".local", ".local/share", ".local/share/Trash", ".local/share/Trash/files"})
        EXPECT_EQ(permissionsOf(fs.path(std::string("home/") + folder)), 0700u) << folder;
}

TEST_F(TrashTest, AClashPicksANewNameAndLeavesNoStrayRecord) {
    ASSERT_EQ(Trash::move(fs.text("home/a/report", "a"), home()).status, Status::done);
    fs.text("home/.local/share/Trash/files/report.2", "orphan without a record");
    ASSERT_EQ(Trash::move(fs.text("home/b/report", "b"), home()).status, Status::done);
    EXPECT_EQ(readFile(trash("files/report")), "a");
    EXPECT_EQ(readFile(trash("files/report.2")), "orphan without a record");
    EXPECT_EQ(readFile(trash("files/report.3")), "b");
    EXPECT_EQ(names(trash("info")), (std::vector<std::string>{"report.3.trashinfo", "report.trashinfo"}));
}

TEST_F(TrashTest, LinksAreTrashedThemselvesAndLinksAboveAreRefused) {
    fs.file("outside/keep");
    fs.symlink("home/Library/Caches/link", fs.path("outside"));
    fs.symlink("home/up", fs.path("outside"));
    EXPECT_EQ(Trash::move(fs.path("home/up/keep"), home()).reason, "a folder above it is a symbolic link");
    ASSERT_EQ(Trash::move(fs.path("home/Library/Caches/link"), home()).status, Status::done);
    EXPECT_TRUE(test::isLink(trash("files/link")));
    EXPECT_TRUE(exists(fs.path("outside/keep")));
    EXPECT_EQ(Trash::move(fs.path("home/gone"), home()).status, Status::missing);
}

TEST_F(TrashTest, APathHoldingANulByteIsRefused) {
    fs.file("home/Library/Caches/x");
    // The kernel would stop at the NUL and move Caches, or x, instead.
    for (const std::string& path : {fs.path("home/Library/Caches/x/..") + '\0', fs.path("home/Library/Caches/x") + '\0' + "y"})
        EXPECT_EQ(Trash::move(path, home()).reason, "not a path that can be trashed");
    EXPECT_TRUE(exists(fs.path("home/Library/Caches/x")));
}

TEST_F(TrashTest, ALinkedDataFolderStillLeadsToTheUsersTrash) {
    fs.dir("home/dotfiles/local");
    fs.symlink("home/.local", fs.path("home/dotfiles/local"));
    ASSERT_EQ(Trash::move(fs.text("home/Library/Caches/x", "x"), home()).status, Status::done);
    EXPECT_EQ(readFile(fs.path("home/dotfiles/local/share/Trash/files/x")), "x");
}

TEST_F(TrashTest, AFailedMoveTakesItsRecordBack) {
    fs.file("home/Library/Caches/locked/file");
    ASSERT_EQ(::chown(home().c_str(), 65534, 65534), 0);
    const std::string answer = test::runAsNobody([&] {
        return Trash::move(fs.path("home/Library/Caches/locked/file"), home()).reason;
    });
    EXPECT_EQ(answer, "Permission denied");
    EXPECT_TRUE(exists(fs.path("home/Library/Caches/locked/file")));
    EXPECT_TRUE(exists(trash("info")));
    EXPECT_TRUE(names(trash("info")).empty());
}

// The mover learns where its own entry landed, a clash's new name included; a second mover of
// the same path finds nothing and learns no place, however the two race.
TEST_F(TrashTest, OnlyTheMoverLearnsWhereItsEntryLanded) {
    fs.text("home/.local/share/Trash/files/x", "earlier");
    const std::string file = fs.text("home/a/x", "mine");
    std::string trashed = "stale";
    ASSERT_EQ(Trash::move(file, home(), trashed).status, Status::done);
    EXPECT_EQ(trashed, trash("files/x.2"));
    EXPECT_EQ(readFile(trashed), "mine");
    EXPECT_EQ(Trash::move(file, home(), trashed).status, Status::missing);
    EXPECT_EQ(trashed, "");

    for (int round = 0; round < 50; ++round) {
        const std::string tree = fs.path("home/b/t" + std::to_string(round));
        fs.file("home/b/t" + std::to_string(round) + "/f", 10);
        std::string first, second;
        std::thread other([&] { Trash::move(tree, home(), second); });
        Trash::move(tree, home(), first);
        other.join();
        ASSERT_NE(first.empty(), second.empty()) << "round " << round << ": " << first << " | " << second;
        EXPECT_TRUE(exists((first.empty() ? second : first) + "/f"));
    }
}

TEST_F(TrashTest, AnotherVolumeUsesItsOwnTrashAndNeverACopy) {
    for (const char* folder : {"home/vol", "home/ro", "home/open"}) fs.dir(folder);
    const std::string uid = std::to_string(::getuid());
    const auto answer = test::runInMountNamespace([&] {
        for (const char* folder : {"home/vol", "home/ro", "home/open"})
            if (!test::mountTmpfs(fs.path(folder))) return std::string("no mount");
        fs.text("home/vol/sub/x", "on the volume");
        fs.file("home/ro/y");
        fs.file("home/open/z");
        fs.dir("home/open/.Trash-" + uid, 0777);
        if (!test::remountReadOnly(fs.path("home/ro"))) return std::string("no remount");
        std::string trashed;
        std::string out = Trash::move(fs.path("home/vol/sub/x"), home(), trashed).reason + "|";
        out += readFile(fs.path("home/vol/.Trash-" + uid + "/files/x")) + "|";
        out += (trashed == fs.path("home/vol/.Trash-" + uid + "/files/x") ? "landed|" : trashed + "|");
        out += std::to_string(permissionsOf(fs.path("home/vol/.Trash-" + uid))) + "|";
        out += Trash::move(fs.path("home/ro/y"), home()).reason + "|";
        out += Trash::move(fs.path("home/open/z"), home()).reason + "|";
        return out + std::to_string(exists(fs.path("home/ro/y"))) + std::to_string(exists(fs.path("home/open/z")));
    });
    if (!answer) GTEST_SKIP() << "needs root to mount a tmpfs inside unshare -m";
    EXPECT_EQ(*answer, "|on the volume|landed|448|"
                      "is on another volume whose trash folder cannot be made (Read-only file system)|"
                      "is on another volume whose trash folder is not safe to use|11");
    EXPECT_TRUE(names(trash("files")).empty());
}

TEST_F(TrashTest, TrashCliListsAndRestoresWhatWeTrashed) {
    const std::string name = "odd name 'q' \"d\" $(id) é";
    const std::string content = std::string("bytes\0\xff\n", 8);
    const std::string file = fs.text("home/Library/Caches/k/" + name, content);
    ASSERT_EQ(Trash::move(file, home()).status, Status::done);
    const std::string env = "HOME='" + home() + "' env -u XDG_DATA_HOME ";
    const std::string listed = runShell(env + "trash-list");
    EXPECT_NE(listed.find(" " + file + "\n"), std::string::npos) << listed;
    runShell("echo 0 | " + env + "trash-restore '" + fs.path("home/Library/Caches/k") + "' >/dev/null 2>&1");
    EXPECT_EQ(readFile(file), content);
    EXPECT_TRUE(names(trash("files")).empty());
}

TEST(TrashEncodeTest, PercentEncodesAllButPlainBytes) {
    const std::pair<std::string, std::string> rows[] = {
        {"/Az09-._~/x", "/Az09-._~/x"},
        {"/a b/c%d", "/a%20b/c%25d"},
        {"/\xff\n", "/%FF%0A"},
        {"/é", "/%C3%A9"},
        {"/$(id)'\"", "/%24%28id%29%27%22"},
    };
    for (const auto& [path, encoded] : rows) EXPECT_EQ(Trash::encodePath(path), encoded);
}

TEST(TrashEncodeTest, RecordHoldsTheEncodedPathAndALocalDate) {
    const std::regex shape("\\[Trash Info\\]\nPath=/a%20b/c\nDeletionDate=\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d\n");
    const std::string record = Trash::record("/a b/c");
    EXPECT_TRUE(std::regex_match(record, shape)) << record;
}

} // namespace
} // namespace tidra::sys
