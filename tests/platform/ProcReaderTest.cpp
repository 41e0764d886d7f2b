#include "platform/ProcReader.h"

#include "support/FakeProc.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <unistd.h>

namespace tidra::sys {
namespace {

using test::FakeProc;
using test::FakeProcess;
using test::TempHome;

std::string statLine(const std::string& comm, const std::string& tail = "S 7 1 1 0 -1 4194560 0 0 0 0 30 12 0 0 20 0 1 0 555 1000 10") {
    return "42 (" + comm + ") " + tail + "\n";
}

TEST(ProcReaderTest, ParsesStatWhateverTheName) {
    const struct {
        const char* comm;
    } cases[] = {{"bash"}, {"Web Content"}, {"evil) (name"}, {"a) S 1 2 3"}, {")"}, {"(("}, {""}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.comm);
        const auto stat = parseStat(statLine(c.comm));
        ASSERT_TRUE(stat);
        EXPECT_EQ(stat->comm, c.comm);
        EXPECT_EQ(stat->parent, 7);
        EXPECT_EQ(stat->flags, 4194560u);
        EXPECT_EQ(stat->cpuTicks, 42u);
        EXPECT_EQ(stat->startTicks, 555u);
        EXPECT_FALSE(stat->isKernelThread());
    }
}

TEST(ProcReaderTest, RejectsBrokenStat) {
    const std::string cases[] = {
        "",
        "42 bash S 7 1 1 0 -1 0 0 0 0 0 30 12 0 0 20 0 1 0 555",
        "42 (bash) S 7 1 1 0 -1 0 0 0 0 0 30 12 0 0 20 0 1 0",  // no start time
        "42 (bash) S x 1 1 0 -1 0 0 0 0 0 30 12 0 0 20 0 1 0 555",
        "42 (bash)S 7 1 1 0 -1 0 0 0 0 0 30 12 0 0 20 0 1 0 555",
        "42 (bash) S 7 1 1 0 -1 0 0 0 0 0 -30 12 0 0 20 0 1 0 555",
    };
    for (const auto& text : cases) EXPECT_FALSE(parseStat(text)) << text;
}

TEST(ProcReaderTest, TellsKernelThreads) {
    const auto stat = parseStat(statLine("kworker/0:1", "I 2 0 0 0 -1 69238880 0 0 0 0 0 5 0 0 20 0 1 0 20"));
    ASSERT_TRUE(stat);
    EXPECT_TRUE(stat->isKernelThread());
}

TEST(ProcReaderTest, ParsesStatus) {
    const auto status = parseStatus("Name:\tsu\nUid:\t1000\t0\t0\t0\nVmRSS:\t 900 kB\nRssAnon:\t  100 kB\n"
                                    "RssFile:\t 700 kB\nRssShmem:\t 20 kB\nVmSwap:\t 3 kB\n");
    ASSERT_TRUE(status);
    EXPECT_EQ(status->effectiveUid, 0u);
    EXPECT_EQ(status->memoryBytes, 123 * 1024);

    const auto kernelThread = parseStatus("Name:\tkthreadd\nUid:\t0\t0\t0\t0\nThreads:\t1\n");
    ASSERT_TRUE(kernelThread);
    EXPECT_EQ(kernelThread->memoryBytes, 0);

    EXPECT_FALSE(parseStatus("Name:\tx\nRssAnon:\t1 kB\n"));
    EXPECT_FALSE(parseStatus("Uid:\tx\n"));
}

TEST(ProcReaderTest, ListsOnlyProcessFolders) {
    TempHome home;
    FakeProc proc(home);
    proc.add({.pid = 7});
    proc.add({.pid = 300});
    home.dir("proc/self");
    home.dir("proc/12ab");
    proc.setBootTime(1'700'000'000);
    const ProcReader reader(proc.root());
    auto pids = reader.pids();
    std::sort(pids.begin(), pids.end());
    EXPECT_EQ(pids, (std::vector<pid_t>{7, 300}));
    EXPECT_EQ(reader.bootTime(), 1'700'000'000);
    EXPECT_FALSE(reader.stat(8));

    const ProcReader missing(home.path("nowhere"));
    EXPECT_TRUE(missing.pids().empty());
    EXPECT_FALSE(missing.bootTime());
}

TEST(ProcReaderTest, SplitsArguments) {
    const struct {
        std::string raw;
        std::vector<std::string> arguments;
    } cases[] = {
        {std::string("node\0server.js\0", 15), {"node", "server.js"}},
        {std::string("sh\0\0-c\0", 7), {"sh", "", "-c"}},
        {std::string("\0", 1), {""}},
        {"postgres: writer process", {"postgres: writer process"}},  // rewrote its title, no NUL
        {"", {}},
    };
    TempHome home;
    FakeProc proc(home);
    const ProcReader reader(proc.root());
    for (const auto& c : cases) {
        proc.add({.pid = 9, .cmdline = c.raw});
        EXPECT_EQ(reader.arguments(9), c.arguments) << c.raw;
    }
    EXPECT_TRUE(reader.arguments(10).empty());
}

TEST(ProcReaderTest, ReadsLinksAndKnowsDeletedTargets) {
    TempHome home;
    const std::string literal = home.dir("work/old (deleted)");
    FakeProc proc(home);
    proc.add({.pid = 1, .exe = "/usr/bin/node (deleted)", .cwd = "/home/me/gone (deleted)"});
    proc.add({.pid = 2, .exe = "/usr/bin/node", .cwd = literal});
    proc.add({.pid = 4});
    const ProcReader reader(proc.root());

    EXPECT_EQ(reader.executable(1), "/usr/bin/node");
    EXPECT_FALSE(reader.workingDirectory(1));
    EXPECT_EQ(reader.executable(2), "/usr/bin/node");
    EXPECT_EQ(reader.workingDirectory(2), literal);
    EXPECT_FALSE(reader.executable(4));
    EXPECT_FALSE(reader.workingDirectory(4));
}

TEST(ProcReaderTest, FindsSocketsInDescriptorOrder) {
    TempHome home;
    FakeProc proc(home);
    proc.add({.pid = 5,
              .fds = {{10, "socket:[500]"},
                      {2, "socket:[700]"},
                      {3, "/dev/null"},
                      {4, "pipe:[900]"},
                      {11, "socket:[x]"},
                      {12, "socket:[800"}}});
    const ProcReader reader(proc.root());
    EXPECT_EQ(reader.socketInodes(5), (std::vector<std::uint64_t>{700, 500}));
    EXPECT_TRUE(reader.socketInodes(6).empty());
}

TEST(ProcReaderTest, ReadsTheRealProcessTable) {
    const ProcReader reader;
    const auto stat = reader.stat(::getpid());
    ASSERT_TRUE(stat);
    EXPECT_EQ(stat->parent, ::getppid());
    const auto status = reader.status(::getpid());
    ASSERT_TRUE(status);
    EXPECT_EQ(status->effectiveUid, ::geteuid());
    EXPECT_GT(status->memoryBytes, 0);
    char self[4096] = {};
    ASSERT_GT(::readlink("/proc/self/exe", self, sizeof self - 1), 0);
    EXPECT_EQ(reader.executable(::getpid()), std::string(self));
    EXPECT_FALSE(reader.arguments(::getpid()).empty());
    EXPECT_TRUE(reader.bootTime());
}

} // namespace
} // namespace tidra::sys
