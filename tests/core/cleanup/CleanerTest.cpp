#include "cleanup/Cleaner.h"

#include "fs/SizeScanner.h"
#include "platform/FileStatus.h"
#include "platform/SafeRemove.h"
#include "projects/GitCommand.h"
#include "support/DeepTree.h"
#include "support/FakeTool.h"
#include "support/FileProbe.h"
#include "support/ForkedChild.h"
#include "support/GitFixture.h"
#include "support/MountNamespace.h"
#include "support/RunAsNobody.h"
#include "support/TempHome.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <stdio.h>
#include <fcntl.h>

#include <atomic>
#include <climits>
#include <filesystem>
#include <future>
#include <map>
#include <thread>

namespace tidra {
namespace {

using ::testing::UnorderedElementsAre;
using Failure = CleanReport::Failure;
using Paths = std::vector<std::string>;
using test::exists;
using test::names;
using test::readFile;

// What went and what failed; the bytes are left to the tests that count them.
CleanReport whatWent(CleanReport report) {
    report.freedBytes = report.trashedBytes = 0;
    return report;
}

class CleanerTest : public ::testing::Test {
protected:
    CleanerTest() {
        fs.dir("home/Library/Caches");
        fs.text("outside/tree/f", "outside data");
        fs.text("outside/tree/d/g", "more outside data");
        fs.text("outside/tree/a/b/c", "same names as inside");
    }

    std::string home(const std::string& relative) const { return fs.path("home/" + relative); }
    PathGuard guard() const { return PathGuard(fs.path("home"), fs.path("Applications"), ""); }
    Cleaner cleaner() const { return Cleaner(guard()); }
    bool outsideIntact() const {
        return readFile(fs.path("outside/tree/f")) == "outside data" &&
               readFile(fs.path("outside/tree/a/b/c")) == "same names as inside" &&
               readFile(fs.path("outside/tree/d/g")) == "more outside data";
    }

    test::TempHome fs;
};

TEST_F(CleanerTest, DeleteHandlesEachPathOnItsOwn) {
    fs.symlink("home/Library/Caches/link", fs.path("outside/tree"));
    fs.file("home/Library/Caches/file", 10);
    fs.file("home/Library/Caches/tree/a/b/c", 10);
    fs.file("home/Documents/old");
    const auto report = cleaner().perform(CleanupAction::Delete{{
        home("Library/Caches/missing"), home("Documents/gone"), home("Library/Caches/link"),
        home("Documents/old"), home("Library/Caches/file"), "relative/x", home("Library/Caches/tree")}});
    EXPECT_EQ(report.removed, 3);
    EXPECT_EQ(report.failures, (std::vector<Failure>{{home("Documents/old"), "protected folder Documents"},
                                                     {"relative/x", "not an absolute path"}}));
    EXPECT_EQ(names(home("Library/Caches")), Paths{});
    EXPECT_TRUE(exists(home("Documents/old")));
    EXPECT_TRUE(outsideIntact());
}

TEST_F(CleanerTest, DeleteContentsEmptiesFoldersChildByChild) {
    for (const char* file : {"Library/Caches/app/.hidden", "Library/Caches/app/a", "Library/Caches/app/sub/b",
                             "Library/Junk/x", "Library/Preferences/p.plist"})
        fs.file(std::string("home/") + file);
    fs.symlink("home/Library/Caches/linked", fs.path("outside/tree"));
    const auto report = cleaner().perform(CleanupAction::DeleteContents{{
        home("Library/Caches/app"), home("Library/Caches/linked"), home("Library/Caches/missing"), home("Library")}});
    EXPECT_EQ(report.removed, 4);
    EXPECT_THAT(report.failures,
                UnorderedElementsAre(Failure{home("Library/Caches/linked"), "is a symbolic link"},
                                     Failure{home("Library/Caches/missing"), "No such file or directory"},
                                     Failure{home("Library/Caches"), "would remove Library/Caches itself"},
                                     Failure{home("Library/Preferences"), "protected folder Library/Preferences"}));
    EXPECT_EQ(names(home("Library/Caches/app")), Paths{});
    EXPECT_EQ(names(home("Library")), (Paths{"Caches", "Preferences"}));
    EXPECT_TRUE(outsideIntact());
}

TEST_F(CleanerTest, TrashIsAllowedWhereDeleteIsNot) {
    const std::string old = fs.text("home/Documents/old", "keep me");
    EXPECT_EQ(cleaner().perform(CleanupAction::Delete{{old}}).failures,
              (std::vector<Failure>{{old, "protected folder Documents"}}));
    const auto report = cleaner().perform(CleanupAction::Trash{{old, home("Documents/gone"), home("Documents")}});
    EXPECT_EQ(report.removed, 1);
    EXPECT_EQ(report.failures, (std::vector<Failure>{{home("Documents"), "top-level folder in the home folder"}}));
    EXPECT_FALSE(exists(old));
    EXPECT_EQ(readFile(home(".local/share/Trash/files/old")), "keep me");
}

TEST_F(CleanerTest, DotDotAfterALinkActsWhereTheKernelWould) {
    fs.symlink("home/a", fs.path("outside/tree"));
    fs.text("outside/Library/Caches/z", "outside cache");
    fs.text("home/Library/Caches/z", "home cache");
    const std::string tricky = home("a/../Library/Caches/z");
    for (const CleanupAction& action : {CleanupAction(CleanupAction::Delete{{tricky}}),
                                        CleanupAction(CleanupAction::Trash{{tricky}})}) {
        const auto report = cleaner().perform(action);
        EXPECT_EQ(report.removed, 0);
        EXPECT_EQ(report.failures, (std::vector<Failure>{{tricky, "outside the home folder"}}));
    }
    EXPECT_EQ(readFile(fs.path("outside/Library/Caches/z")), "outside cache");
    EXPECT_EQ(readFile(home("Library/Caches/z")), "home cache");
}

TEST_F(CleanerTest, APathHoldingANulByteIsRefused) {
    fs.file("home/.local/share/keyrings/login.keyring");
    fs.file("home/Library/Caches/x/inside");
    fs.file("home/Library/Caches/precious");
    // The kernel would stop at the NUL: the keyring folder, the folder above x.
    const Paths tricky = {home(".local/share/keyrings") + '\0', home("Library/Caches/x/..") + '\0'};
    for (const CleanupAction& action : {CleanupAction(CleanupAction::Delete{tricky}),
                                        CleanupAction(CleanupAction::Trash{tricky}),
                                        CleanupAction(CleanupAction::DeleteContents{tricky})}) {
        const auto report = cleaner().perform(action);
        EXPECT_EQ(report.removed, 0);
        EXPECT_EQ(report.failures, (std::vector<Failure>{{tricky[0], "holds a NUL byte"}, {tricky[1], "holds a NUL byte"}}));
    }
    EXPECT_TRUE(exists(home(".local/share/keyrings/login.keyring")));
    EXPECT_TRUE(exists(home("Library/Caches/precious")));
}

TEST_F(CleanerTest, AnEntryThatCannotBeExaminedIsAFailureNotGone) {
    fs.file("home/Library/Caches/closed/file");
    fs.chmod("home/Library/Caches/closed", 0700);
    const std::string deep = test::makeDeepTree(fs.dir("home/Library/Caches/deep"), 30, std::string(200, 'n'));
    ASSERT_GT(deep.size(), std::size_t(PATH_MAX));
    const std::string answer = test::runAsNobody([&] {
        const auto report = cleaner().perform(CleanupAction::Delete{{home("Library/Caches/closed/file"), deep}});
        std::string out = std::to_string(report.removed);
        for (const auto& failure : report.failures) out += "|" + failure.reason;
        return out;
    });
    EXPECT_EQ(answer, "0|Permission denied|File name too long");
    EXPECT_TRUE(exists(home("Library/Caches/closed/file")));
    EXPECT_TRUE(test::removeDeepTree(home("Library/Caches/deep")));
}

TEST_F(CleanerTest, HomeReachedThroughALinkWorks) {
    fs.symlink("linkedHome", fs.path("home"));
    fs.file("home/Library/Caches/app/a");
    const Cleaner viaLink(PathGuard(fs.path("linkedHome"), fs.path("Applications"), ""));
    const auto report = viaLink.perform(CleanupAction::DeleteContents{{fs.path("linkedHome/Library/Caches/app")}});
    EXPECT_EQ(report, (CleanReport{1, {}}));
}

std::string percentDecoded(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (text[i] == '%' && i + 2 < text.size()) {
            out += char(std::stoi(text.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            out += text[i];
        }
    return out;
}

// Original path -> content of every item in the home Trash, read from its records.
std::map<std::string, std::string> trashedItems(const std::string& trash) {
    std::map<std::string, std::string> items;
    for (const auto& record : names(trash + "/info")) {
        const std::string text = readFile(trash + "/info/" + record);
        const auto start = text.find("\nPath=") + 6;
        const std::string path = percentDecoded(text.substr(start, text.find('\n', start) - start));
        items[path] = readFile(trash + "/files/" + record.substr(0, record.size() - 10));
    }
    return items;
}

TEST_F(CleanerTest, OddNamesAreRemovedAndTrashedByteExact) {
    const Paths odd = {"-rf", "with space", "new\nline", "quo'te\"s", "$(id)", "\xff", std::string(255, 'n')};
    std::map<std::string, std::string> expected;
    for (const auto& name : odd) expected[fs.text("home/Library/Caches/odd/" + name, name)] = name;
    Paths paths;
    for (const auto& [path, content] : expected) paths.push_back(path);

    EXPECT_EQ(whatWent(cleaner().perform(CleanupAction::Trash{paths})), (CleanReport{int(odd.size()), {}}));
    EXPECT_EQ(trashedItems(home(".local/share/Trash")), expected);

    for (const auto& [path, content] : expected) fs.text(path.substr(fs.root().size() + 1), content);
    EXPECT_EQ(whatWent(cleaner().perform(CleanupAction::Delete{paths})), (CleanReport{int(odd.size()), {}}));
    EXPECT_EQ(names(home("Library/Caches/odd")), Paths{});
}

TEST_F(CleanerTest, AFolderFlippingToALinkNeverLeadsOutside) {
    const std::string flip = home("Library/Caches/flip");
    const std::string other = home("Library/Caches/flip.other");
    const Cleaner c = cleaner();
    for (int round = 0; round < 300; ++round) {
        fs.file("home/Library/Caches/flip/a/b/c");
        fs.file("home/Library/Caches/flip/d");
        fs.symlink("home/Library/Caches/flip.other", fs.path("outside/tree"));
        std::atomic<bool> stop{false};
        std::thread flipper([&] {
            while (!stop) ::renameat2(AT_FDCWD, flip.c_str(), AT_FDCWD, other.c_str(), RENAME_EXCHANGE);
        });
        const auto whole = c.perform(CleanupAction::Delete{{flip + "/a/b", flip}});
        const auto contents = c.perform(CleanupAction::DeleteContents{{flip}});
        stop = true;
        flipper.join();
        ASSERT_TRUE(outsideIntact()) << "round " << round;
        EXPECT_LE(whole.removed + int(whole.failures.size()), 2) << "round " << round;
        EXPECT_LE(contents.removed, 2) << "round " << round;
        sys::SafeRemove::remove(flip);
        sys::SafeRemove::remove(other);
    }
}

TEST_F(CleanerTest, AnotherVolumeInsideAFolderIsNotEmptied) {
    fs.dir("home/Library/Caches/big/mnt");
    fs.file("home/Library/Caches/big/sibling");
    const auto answer = test::runInMountNamespace([&] {
        if (!test::mountTmpfs(home("Library/Caches/big/mnt"))) return std::string("no mount");
        fs.file("home/Library/Caches/big/mnt/precious");
        const auto contents = cleaner().perform(CleanupAction::DeleteContents{{home("Library/Caches/big")}});
        const auto whole = cleaner().perform(CleanupAction::Delete{{home("Library/Caches/big")}});
        std::string out = std::to_string(contents.removed) + std::to_string(whole.removed);
        for (const auto& failure : contents.failures) out += "|" + failure.path + ": " + failure.reason;
        for (const auto& failure : whole.failures) out += "|" + failure.path + ": " + failure.reason;
        return out + "|" + std::to_string(exists(home("Library/Caches/big/mnt/precious")));
    });
    if (!answer) GTEST_SKIP() << "needs root to mount a tmpfs inside unshare -m";
    EXPECT_EQ(*answer, "10|" + home("Library/Caches/big/mnt") + ": contains another volume|" +
                          home("Library/Caches/big") + ": contains another volume|1");
}

TEST_F(CleanerTest, PartlyRemovedTreeIsAFailure) {
    fs.file("home/Library/Caches/app/locked/stuck");
    fs.file("home/Library/Caches/app/free");
    for (const char* path : {"home", "home/Library", "home/Library/Caches", "home/Library/Caches/app",
                             "home/Library/Caches/app/free"})
        ASSERT_EQ(::chown(fs.path(path).c_str(), 65534, 65534), 0);
    const std::string answer = test::runAsNobody([&] {
        const auto report = cleaner().perform(CleanupAction::Delete{{home("Library/Caches/app")}});
        return std::to_string(report.removed) + "|" + (report.failures.empty() ? "" : report.failures[0].reason);
    });
    EXPECT_EQ(answer, "0|Permission denied");
    EXPECT_TRUE(exists(home("Library/Caches/app/locked/stuck")));
    EXPECT_FALSE(exists(home("Library/Caches/app/free")));
}

TEST_F(CleanerTest, RunJudgesTheToolsAnswer) {
    struct Row {
        test::FakeTool::Answer answer;
        CleanReport expected;
    };
    const std::string tool = fs.path("tool");
    const Row rows[] = {
        {{"ignored output\n", "", 0}, {1, {}}},
        {{"", " \n\t \n", 3}, {0, {{tool, "exit code 3"}}}},
        {{"", "  cache is busy\n", 1}, {0, {{tool, "cache is busy"}}}},
    };
    for (const auto& row : rows) {
        const test::FakeTool fake(tool, row.answer);
        EXPECT_EQ(cleaner().perform(CleanupAction::Run{tool, {"clean", "--all files"}, {home("x")}}), row.expected);
        EXPECT_EQ(fake.arguments(), (Paths{"clean", "--all files"}));
    }
    const std::string missing = fs.path("missing-tool");
    EXPECT_EQ(cleaner().perform(CleanupAction::Run{missing, {}, {}}), (CleanReport{0, {{missing, "could not be started"}}}));
}

TEST_F(CleanerTest, RunStoppedAtItsLimitIsAFailure) {
    // A tool may well exit 0 when stopped at its limit: the limit decides, not the status.
    for (const int status : {15, 0}) {
        std::map<std::string, std::string> environment{{"unset", "yes"}};
        std::chrono::milliseconds limit{};
        const Cleaner c(guard(), [&](const std::string&, const Paths&, const std::map<std::string, std::string>& env,
                                     std::chrono::milliseconds timeout) {
            environment = env;
            limit = timeout;
            return Shell::Output{status, "", "", true};
        });
        EXPECT_EQ(c.perform(CleanupAction::Run{"/usr/bin/tool", {}, {}}),
                  (CleanReport{0, {{"/usr/bin/tool", "timed out after 300 s"}}})) << "status " << status;
        EXPECT_TRUE(environment.empty());
        EXPECT_EQ(limit, std::chrono::seconds(300));
    }
}

// What a removal of a cache takes, however many cleaners go for it.
class CountedCleanTest : public CleanerTest {
protected:
    // A cache of small and larger files in two levels; what removing it frees.
    std::int64_t makeCache(const std::string& relative) {
        for (int d = 0; d < 5; ++d)
            for (int f = 0; f < 10; ++f)
                fs.file("home/" + relative + "/p" + std::to_string(d) + "/f" + std::to_string(f), 4096 * (f + 1));
        return SizeScanner::measure({home(relative)}, [] { return false; }).bytes;
    }
    CleanupAction removal(const std::string& relative, int kind) const {
        if (kind == 0) return CleanupAction::Delete{{home(relative)}};
        return CleanupAction::DeleteContents{{home(relative)}};
    }
};

TEST_F(CountedCleanTest, EachRemovalCountsWhatItTookAndTheTrashWhatItMoved) {
    const std::int64_t cache = makeCache("Library/Caches/app");
    const std::int64_t moved = makeCache("Library/Caches/old");
    EXPECT_EQ(cleaner().perform(CleanupAction::DeleteContents{{home("Library/Caches/app")}}).freedBytes, cache);
    const auto trashed = cleaner().perform(CleanupAction::Trash{{home("Library/Caches/old")}});
    EXPECT_EQ(trashed.trashedBytes, moved);
    EXPECT_EQ(trashed.freedBytes, 0);
    // Gone since: nothing more to count for anyone.
    const auto again = cleaner().perform(CleanupAction::Trash{{home("Library/Caches/old")}});
    EXPECT_EQ(again, CleanReport{});
}

// A tool's paths are measured around it: what it took, never what grew meanwhile.
TEST_F(CountedCleanTest, ARunCountsWhatItsPathsLost) {
    const std::int64_t cache = makeCache("Library/Caches/tool");
    const std::string path = home("Library/Caches/tool");
    const Cleaner shrinks(guard(), [&](auto&&...) {
        std::filesystem::remove_all(path + "/p0");
        return Shell::Output{0, "", "", false};
    });
    const std::int64_t left = SizeScanner::measure({path + "/p1", path + "/p2", path + "/p3", path + "/p4"}, [] { return false; }).bytes;
    EXPECT_EQ(shrinks.perform(CleanupAction::Run{"/usr/bin/tool", {}, {path}}).freedBytes, cache - left);
    const Cleaner grows(guard(), [&](auto&&...) {
        fs.file("home/Library/Caches/tool/new", 100'000);
        return Shell::Output{0, "", "", false};
    });
    EXPECT_EQ(grows.perform(CleanupAction::Run{"/usr/bin/tool", {}, {path}}).freedBytes, 0);
}

// Two cleaners going for one cache at once, on two threads or in two processes (two Tidras on
// one home), count its bytes once between them: each counts only what its own removal took.
TEST_F(CountedCleanTest, TwoCleansOfOneCacheAtOnceCountItOnce) {
    for (int kind = 0; kind < 2; ++kind)
        for (int round = 0; round < 10; ++round) {
            const std::string relative = "Library/Caches/c" + std::to_string(kind) + "-" + std::to_string(round);
            const std::int64_t total = makeCache(relative);
            std::int64_t theirs = 0;
            std::thread other([&] { theirs = cleaner().perform(removal(relative, kind)).freedBytes; });
            const std::int64_t ours = cleaner().perform(removal(relative, kind)).freedBytes;
            other.join();
            const std::int64_t rest = cleaner().perform(removal(relative, kind)).freedBytes;
            ASSERT_EQ(ours + theirs + rest, total) << "kind " << kind << ", round " << round;
        }
    for (int round = 0; round < 5; ++round) {
        const std::string relative = "Library/Caches/forked" + std::to_string(round);
        const std::int64_t total = makeCache(relative);
        const auto clean = [&] {
            return std::async(std::launch::async, [&] {
                return test::runInChild([&] { return std::to_string(cleaner().perform(removal(relative, 0)).freedBytes); });
            });
        };
        auto first = clean(), second = clean();
        const std::int64_t counted = std::stoll(first.get()) + std::stoll(second.get());
        ASSERT_EQ(counted + cleaner().perform(removal(relative, 0)).freedBytes, total) << "round " << round;
    }
}

// The Trash as its row measures it, and a Delete pinned to that measurement.
class MeasuredDeleteTest : public CleanerTest {
protected:
    MeasuredDeleteTest() {
        for (const char* tree : {"home/.local/share/Trash", "home/work"}) {
            fs.text(std::string(tree) + "/files/old/f", tree);
            fs.text(std::string(tree) + "/info/old.trashinfo", tree);
        }
        fs.text("home/.local/share/Trash/files/note", "note");
        fs.text("home/.local/share/Trash/info/note.trashinfo", "record");
    }

    CleanupAction::Identity identity(const std::string& path) const {
        const auto status = sys::FileStatus::of(path);
        return status ? CleanupAction::Identity{status->device, status->inode} : CleanupAction::Identity{};
    }
    // Each of `names` in "files" with its record in "info", as measured now.
    CleanupAction::Delete measured(const Paths& names) const {
        CleanupAction::Delete erase;
        for (const auto& name : names)
            for (const auto& [folder, entry] : {std::pair{trash + "/files", name}, {trash + "/info", name + ".trashinfo"}}) {
                erase.paths.push_back(folder + "/" + entry);
                erase.measured.push_back({identity(folder), identity(folder + "/" + entry)});
            }
        return erase;
    }
    bool workIntact() const {
        return readFile(home("work/files/old/f")) == "home/work" && readFile(home("work/info/old.trashinfo")) == "home/work";
    }

    const std::string trash = home(".local/share/Trash");
};

TEST_F(MeasuredDeleteTest, OnlyWhatWasMeasuredGoes) {
    const auto erase = measured({"old", "note", "later"});
    fs.text("home/.local/share/Trash/files/later", "put in the Trash after the scan");
    EXPECT_EQ(whatWent(cleaner().perform(erase)), (CleanReport{4, {}}));
    EXPECT_EQ(names(trash + "/files"), Paths{"later"});
    EXPECT_EQ(names(trash + "/info"), Paths{});
    // Measured once more, nothing is left of it: what went is not there, and is no failure.
    EXPECT_EQ(cleaner().perform(erase), (CleanReport{0, {}}));
    EXPECT_TRUE(workIntact());
}

TEST_F(MeasuredDeleteTest, AnEntryPutInTheMeasuredOnesPlaceStays) {
    const auto erase = measured({"old", "note"});
    // Made before the measured one goes, so it cannot take over its inode number.
    fs.text("home/.local/share/Trash/files/note.new", "another note");
    ASSERT_EQ(::rename(home(".local/share/Trash/files/note.new").c_str(), home(".local/share/Trash/files/note").c_str()), 0);
    EXPECT_EQ(whatWent(cleaner().perform(erase)),
              (CleanReport{3, {{trash + "/files/note", "has changed since the scan"}}}));
    EXPECT_EQ(readFile(trash + "/files/note"), "another note");
}

// The Trash, or its "files", replaced since the scan by another folder, a link to one, or a
// link to a folder outside the home: nothing in it goes, and the refusal says why.
TEST_F(MeasuredDeleteTest, AFolderThatIsNoLongerTheOneMeasuredLosesNothing) {
    struct Case {
        const char* name;
        const char* replaced; // below the home
        const char* link;     // where a link in its place leads; else a real folder moves in
        std::vector<Failure> failures;
        const char* measured; // a measured file, below the folder moved away
    };
    const std::string files = home(".local/share/Trash/files");
    const Case cases[] = {
        {"Trash linked to ~/work", ".local/share/Trash", "home/work",
         {{files, "has changed since the scan"}, {home(".local/share/Trash/info"), "has changed since the scan"}},
         "/files/old/f"},
        {"files linked to ~/work/files", ".local/share/Trash/files", "home/work/files",
         {{files, "has changed since the scan"}}, "/old/f"},
        {"files linked outside", ".local/share/Trash/files", "outside/tree",
         {{files + "/old", "outside the home folder"}, {files + "/note", "outside the home folder"}}, "/old/f"},
        {"files replaced by a copy", ".local/share/Trash/files", nullptr, {{files, "has changed since the scan"}},
         "/old/f"},
    };
    for (const auto& c : cases) {
        const auto erase = measured({"old", "note"});
        const std::string replaced = home(c.replaced);
        ASSERT_EQ(::rename(replaced.c_str(), (replaced + ".away").c_str()), 0) << c.name;
        if (c.link)
            fs.symlink(std::string("home/") + c.replaced, fs.path(c.link));
        else
            std::filesystem::copy(replaced + ".away", replaced, std::filesystem::copy_options::recursive);
        const auto report = cleaner().perform(erase);
        EXPECT_EQ(report.failures, c.failures) << c.name;
        EXPECT_TRUE(workIntact()) << c.name;
        EXPECT_TRUE(outsideIntact()) << c.name;
        EXPECT_EQ(readFile(replaced + ".away" + c.measured), "home/.local/share/Trash") << c.name;
        std::filesystem::remove_all(replaced);
        ASSERT_EQ(::rename((replaced + ".away").c_str(), replaced.c_str()), 0) << c.name;
    }
}

// A throw-away repository with one commit at home/Projects/repo.
class WorktreeTest : public CleanerTest {
protected:
    WorktreeTest() {
        fs.text("home/Projects/repo/tracked", "v1");
        git({"init", "-q"});
        git({"add", "tracked"});
        git({"-c", "user.name=t", "-c", "user.email=t@t", "commit", "-qm", "first"});
    }

    Shell::Output git(Paths arguments) {
        arguments.insert(arguments.begin(), {"-C", repo});
        const auto output = Shell::run("/usr/bin/git", arguments, {{"GIT_CONFIG_GLOBAL", "/dev/null"}},
                                       std::chrono::seconds(60));
        EXPECT_TRUE(output && output->succeeded()) << (output ? output->standardError : "git missing");
        return output.value_or(Shell::Output{});
    }

    // The action a scan made now would build: the folder's identity included.
    CleanupAction scanned(const std::string& wt, Paths clearFirst) const {
        const auto folder = sys::FileStatus::of(wt);
        EXPECT_TRUE(folder && folder->type == sys::FileStatus::Type::directory) << wt;
        const auto identity = folder.value_or(sys::FileStatus{});
        return CleanupAction::RemoveWorktree{repo, wt, std::move(clearFirst), identity.device, identity.inode};
    }

    std::string repo = fs.path("home/Projects/repo");
};

TEST_F(WorktreeTest, RemovesAWorktreeAfterClearingItsClutter) {
    const std::string wt = home("Projects/wt");
    git({"worktree", "add", "-q", wt});
    fs.file("home/Projects/wt/node_modules/pkg/index.js");
    fs.file("home/Projects/repo/keep");
    const auto report = cleaner().perform(
        scanned(wt, {wt + "/node_modules", home("Projects/repo/keep"), wt + "/../repo/keep", wt + "/missing"}));
    EXPECT_EQ(whatWent(report), (CleanReport{2, {}}));
    EXPECT_GT(report.freedBytes, 0);
    EXPECT_FALSE(exists(wt));
    EXPECT_TRUE(exists(home("Projects/repo/keep")));
    // git dropped its records of the worktree and kept its branch.
    EXPECT_EQ(git({"worktree", "list", "--porcelain"}).standardOutput.find(wt), std::string::npos);
    EXPECT_TRUE(git({"rev-parse", "--verify", "-q", "refs/heads/wt"}).succeeded());
}

// What `git worktree remove` refuses without force is refused, and nothing of it goes.
TEST_F(WorktreeTest, WhatGitWouldRefuseIsLeftWhole) {
    fs.text("home/Projects/plain/tracked", "v1");
    git({"worktree", "add", "-q", home("Projects/locked")});
    git({"worktree", "lock", home("Projects/locked")});
    struct Case {
        std::string path;
        const char* reason;
    };
    // Registered, but its ".git" file replaced by a repository of its own.
    git({"worktree", "add", "-q", home("Projects/cloned")});
    ASSERT_EQ(::unlink(home("Projects/cloned/.git").c_str()), 0);
    test::runGit(home("Projects/cloned"), {"init", "-q"});
    const Case cases[] = {{home("Projects/locked"), "cannot remove a locked working tree"},
                          {repo, "is a main working tree"},
                          {home("Projects/plain"), "is not a working tree"},
                          {home("Projects/cloned"), "'.git' is not a .git file"}};
    for (const auto& c : cases) {
        EXPECT_EQ(cleaner().perform(scanned(c.path, {})), (CleanReport{0, {{c.path, c.reason}}})) << c.path;
        EXPECT_EQ(readFile(c.path + "/tracked"), "v1") << c.path;
    }
    EXPECT_TRUE(exists(repo + "/.git/HEAD"));
}

// A submodule checked out in a worktree keeps its own history there, which git will not lose.
TEST_F(WorktreeTest, AWorktreeWithASubmoduleIsLeftWhole) {
    fs.text("home/Projects/lib/file", "lib");
    for (const Paths& step : {Paths{"init", "-q"}, Paths{"add", "file"}, Paths{"commit", "-qm", "lib"}})
        test::runGit(home("Projects/lib"), step);
    git({"-c", "protocol.file.allow=always", "submodule", "add", "-q", home("Projects/lib"), "lib"});
    git({"-c", "user.name=t", "-c", "user.email=t@t", "commit", "-qm", "with lib"});
    const std::string wt = home("Projects/wt");
    git({"worktree", "add", "-q", wt});
    test::runGit(wt, {"-c", "protocol.file.allow=always", "submodule", "update", "-q", "--init"});
    ASSERT_EQ(readFile(wt + "/lib/file"), "lib");
    EXPECT_EQ(cleaner().perform(scanned(wt, {})),
              (CleanReport{0, {{wt, "working trees containing submodules cannot be moved or removed"}}}));
    EXPECT_EQ(readFile(wt + "/lib/file"), "lib");
    EXPECT_EQ(readFile(wt + "/tracked"), "v1");
}

// git answers by path: swapped for a link while it answered, the folder in hand is no longer
// the one at the path, and neither loses anything.
TEST_F(WorktreeTest, AWorktreeSwappedWhileGitLooksIsLeftAlone) {
    const std::string wt = home("Projects/wt");
    git({"worktree", "add", "-q", wt});
    const std::string copy = fs.path("outside/copy");
    std::filesystem::copy(wt, copy, std::filesystem::copy_options::recursive);
    const Cleaner racing(guard(), [&](const std::string& tool, const Paths& arguments,
                                      const std::map<std::string, std::string>& environment, std::chrono::milliseconds limit) {
        auto output = Shell::run(tool, arguments, environment, limit);
        if (std::find(arguments.begin(), arguments.end(), "status") != arguments.end()) {
            EXPECT_EQ(::rename(wt.c_str(), (wt + ".away").c_str()), 0);
            fs.symlink("home/Projects/wt", copy);
        }
        return output;
    });
    EXPECT_EQ(racing.perform(scanned(wt, {})), (CleanReport{0, {{wt, "is a symbolic link"}}}));
    EXPECT_EQ(readFile(copy + "/tracked"), "v1");
    EXPECT_TRUE(exists(copy + "/.git"));
    EXPECT_EQ(readFile(wt + ".away/tracked"), "v1");
}

TEST_F(WorktreeTest, GitsRefusalBecomesTheReason) {
    const std::string wt = home("Projects/dirty");
    git({"worktree", "add", "-q", wt});
    fs.text("home/Projects/dirty/tracked", "changed");
    fs.file("home/Projects/dirty/build/out.o");
    const auto report = cleaner().perform(CleanupAction::RemoveWorktree{repo, wt, {wt + "/build"}});
    EXPECT_EQ(report.removed, 1);
    ASSERT_EQ(report.failures.size(), 1u);
    EXPECT_EQ(report.failures[0].path, wt);
    EXPECT_THAT(report.failures[0].reason, ::testing::HasSubstr("contains modified or untracked files"));
    EXPECT_FALSE(report.failures[0].reason.ends_with("\n"));
    EXPECT_EQ(readFile(home("Projects/dirty/tracked")), "changed");
}

TEST_F(WorktreeTest, AWorktreeSwappedForALinkIsRefusedAndItsTargetKept) {
    const std::string wt = home("Projects/wt");
    git({"worktree", "add", "-q", wt});
    fs.text("home/Projects/wt/.env", "secret");
    const auto action = scanned(wt, {wt + "/.env"});
    ASSERT_EQ(::rename(wt.c_str(), fs.path("outside/moved").c_str()), 0);
    fs.symlink("home/Projects/wt", fs.path("outside/moved"));
    for (const auto& unscanned : {action, CleanupAction(CleanupAction::RemoveWorktree{repo, wt, {wt + "/.env"}})})
        EXPECT_EQ(cleaner().perform(unscanned), (CleanReport{0, {{wt, "is a symbolic link"}}}));
    EXPECT_EQ(readFile(fs.path("outside/moved/.env")), "secret");
    EXPECT_EQ(readFile(fs.path("outside/moved/tracked")), "v1");
}

// Another real folder put where the scanned worktree was: the clearing would empty it, and git
// would remove a copy of the worktree with its ignored files.
TEST_F(WorktreeTest, AFolderPutInTheWorktreesPlaceSinceTheScanIsLeftAlone) {
    fs.text("home/Projects/repo/.git/info/exclude", ".env\n");
    struct Case {
        const char* folder;
        bool copy; // else an unrelated folder
        Paths clearFirst;
    };
    const Case cases[] = {{"unrelated", false, {"/.env"}}, {"copy", true, {}}};
    for (const auto& c : cases) {
        const std::string wt = home(std::string("Projects/") + c.folder);
        const std::string moved = fs.path(std::string("outside/") + c.folder);
        git({"worktree", "add", "-q", wt});
        Paths clearFirst;
        for (const auto& entry : c.clearFirst) clearFirst.push_back(wt + entry);
        const auto action = scanned(wt, clearFirst);
        ASSERT_EQ(::rename(wt.c_str(), moved.c_str()), 0);
        if (c.copy) std::filesystem::copy(moved, wt, std::filesystem::copy_options::recursive);
        fs.text(std::string("home/Projects/") + c.folder + "/.env", "secret");
        EXPECT_EQ(cleaner().perform(action), (CleanReport{0, {{wt, "has changed since the scan"}}})) << c.folder;
        EXPECT_EQ(readFile(wt + "/.env"), "secret") << c.folder;
        EXPECT_EQ(readFile(moved + "/tracked"), "v1") << c.folder;
    }
}

TEST_F(WorktreeTest, AnotherVolumeInsideAWorktreeIsNotTouched) {
    const std::string wt = home("Projects/wt");
    git({"worktree", "add", "-q", wt});
    fs.text("home/Projects/repo/.git/info/exclude", "cache/\n");
    fs.dir("home/Projects/wt/cache");
    fs.file("home/Projects/wt/build/out.o");
    const auto answer = test::runInMountNamespace([&] {
        if (!test::mountTmpfs(home("Projects/wt/cache"))) return std::string("no mount");
        fs.text("home/Projects/wt/cache/precious", "data");
        const auto report = cleaner().perform(CleanupAction::RemoveWorktree{repo, wt, {wt + "/build"}});
        std::string out = std::to_string(report.removed);
        for (const auto& failure : report.failures) out += "|" + failure.reason;
        return out + "|" + readFile(home("Projects/wt/cache/precious")) + "|" + std::to_string(exists(wt + "/build"));
    });
    if (!answer) GTEST_SKIP() << test::kNoMountNamespace;
    EXPECT_EQ(*answer, "0|contains another volume|data|1");
}

TEST_F(CleanerTest, WorktreeRefusedOrGitMissing) {
    int calls = 0;
    Paths arguments;
    std::map<std::string, std::string> environment;
    const Cleaner noGit(guard(), [&](const std::string&, const Paths& args, const std::map<std::string, std::string>& env,
                                     std::chrono::milliseconds) {
        ++calls;
        arguments = args;
        environment = env;
        return std::optional<Shell::Output>();
    });
    const std::string inDocuments = home("Documents/wt");
    EXPECT_EQ(noGit.perform(CleanupAction::RemoveWorktree{home("Projects/repo"), inDocuments, {inDocuments + "/x"}}),
              (CleanReport{0, {{inDocuments, "protected folder Documents"}}}));
    EXPECT_EQ(calls, 0);

    fs.file("home/Projects/wt/build/x");
    const std::string wt = home("Projects/wt");
    EXPECT_EQ(noGit.perform(CleanupAction::RemoveWorktree{home("Projects/repo"), wt, {wt + "/build"}}),
              (CleanReport{1, {{wt, "git could not be started"}}}));
    // git is only asked; nothing was removed but the entry cleared first.
    EXPECT_EQ(arguments, GitCommand::arguments(home("Projects/repo"), {"worktree", "list", "--porcelain", "-z"}, {}));
    EXPECT_EQ(environment,
              (std::map<std::string, std::string>{{"GIT_OPTIONAL_LOCKS", "0"}, {"GIT_TERMINAL_PROMPT", "0"}}));
    EXPECT_TRUE(exists(wt + "/build") == false && exists(wt));
}

} // namespace
} // namespace tidra
