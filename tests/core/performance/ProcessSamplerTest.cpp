#include "performance/ProcessSampler.h"

#include "platform/ProcReader.h"
#include "support/FakeProc.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <functional>

namespace tidra {
namespace {

using test::FakeProc;
using test::FakeProcess;
using test::TempHome;

constexpr uid_t kMe = 1000;
constexpr std::uint64_t kSecond = 1'000'000'000;
const std::uint64_t kTicks = std::uint64_t(sys::ProcReader::ticksPerSecond());

const ProcessSnapshot* find(const ProcessSample& sample, pid_t pid) {
    const auto it = std::find_if(sample.processes.begin(), sample.processes.end(),
                                 [pid](const ProcessSnapshot& p) { return p.pid == pid; });
    return it == sample.processes.end() ? nullptr : &*it;
}

class ProcessSamplerTest : public ::testing::Test {
protected:
    ProcessSampler sampler() {
        return ProcessSampler({proc.root(), kMe, [this] { return now; }, "/home/me", facts});
    }

    TempHome home;
    FakeProc proc{home};
    std::uint64_t now = 50 * kSecond;
    SessionProcesses::Facts facts;
};

TEST_F(ProcessSamplerTest, ReadsTheOwnersProcesses) {
    proc.setBootTime(1'700'000'000);
    proc.add({.pid = 100, .comm = "node", .parent = 40, .userTicks = 7, .startTicks = 5 * kTicks + kTicks / 2,
              .uid = kMe, .anonKB = 1000, .shmemKB = 24, .swapKB = 2, .exe = "/usr/bin/node (deleted)",
              .cwd = "/home/me/code/webshop", .cmdline = std::string("node\0server.js\0", 15),
              .cgroup = "/user.slice/user-1000.slice/session-2.scope"});
    proc.add({.pid = 101, .comm = "Web (Content)", .uid = kMe});
    proc.add({.pid = 102, .comm = "", .uid = kMe});
    proc.add({.pid = 103, .comm = "sshd", .uid = 0, .exe = "/usr/sbin/sshd"});
    proc.add({.pid = 2, .comm = "kthreadd", .flags = 0x00200000, .uid = kMe});
    proc.add({.pid = 104, .uid = kMe});
    home.text("proc/104/stat", "104 (broken");

    ProcessSampler s = sampler();
    const ProcessSample sample = s.sample();

    std::vector<pid_t> listed = sys::ProcReader(proc.root()).pids();
    std::erase_if(listed, [](pid_t pid) { return pid != 100 && pid != 101 && pid != 102; });
    std::vector<pid_t> sampled;
    for (const auto& p : sample.processes) sampled.push_back(p.pid);
    EXPECT_EQ(sampled, listed) << "listing order, other users, kernel threads and unreadable processes left out";

    const ProcessSnapshot* node = find(sample, 100);
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(node->parentPID, 40);
    EXPECT_EQ(node->path, "/usr/bin/node");
    EXPECT_EQ(node->name, "node");
    EXPECT_EQ(node->memoryBytes, 1026 * 1024);
    EXPECT_EQ(node->cpuPercent, 0);
    EXPECT_EQ(node->responsiblePath, "");
    EXPECT_EQ(node->started, std::chrono::system_clock::time_point(std::chrono::seconds(1'700'000'000)) +
                                 std::chrono::milliseconds(5500));
    EXPECT_EQ(node->arguments, (std::vector<std::string>{"node", "server.js"}));
    EXPECT_EQ(node->folder, "/home/me/code/webshop");
    EXPECT_EQ(node->cgroup, "/user.slice/user-1000.slice/session-2.scope");
    EXPECT_EQ(find(sample, 101)->name, "Web (Content)");
    EXPECT_EQ(find(sample, 101)->path, "");
    EXPECT_EQ(find(sample, 101)->cgroup, "") << "no control group file, none read";
    EXPECT_EQ(find(sample, 102)->name, "pid 102");

    ASSERT_EQ(sample.groups.size(), 3u);
    EXPECT_EQ(sample.groups.front().id, "program:100");
    EXPECT_EQ(sample.groups.front().name, "node server.js — in ~/code/webshop") << "the sampler's home names the folder";
}

TEST_F(ProcessSamplerTest, MeasuresCpuSinceThePreviousSample) {
    const struct {
        const char* what;
        FakeProcess before;
        FakeProcess after;
        double percent;
    } cases[] = {
        {"half a core", {.pid = 10, .userTicks = 100}, {.pid = 10, .userTicks = 100 + kTicks / 4, .systemTicks = kTicks / 4}, 50},
        {"two full cores", {.pid = 11, .userTicks = 9}, {.pid = 11, .userTicks = 9 + 2 * kTicks}, 200},
        {"idle", {.pid = 12, .userTicks = 9}, {.pid = 12, .userTicks = 9}, 0},
        {"CPU time went down", {.pid = 13, .userTicks = 900}, {.pid = 13, .userTicks = 10}, 0},
        {"pid reused by a busier process", {.pid = 14, .userTicks = 5, .startTicks = 100},
         {.pid = 14, .userTicks = 5 + kTicks, .startTicks = 200}, 0},
        {"new since the first sample", {.pid = 1}, {.pid = 15, .userTicks = 3 * kTicks}, 0},
    };
    for (const auto& c : cases) proc.add({.pid = c.before.pid, .userTicks = c.before.userTicks,
                                          .startTicks = c.before.startTicks, .uid = kMe});
    ProcessSampler s = sampler();
    for (const auto& p : s.sample().processes) EXPECT_EQ(p.cpuPercent, 0) << "first sample, pid " << p.pid;

    for (const auto& c : cases) {
        FakeProcess after = c.after;
        after.uid = kMe;
        proc.add(after);
    }
    now += kSecond;
    const ProcessSample second = s.sample();
    for (const auto& c : cases) {
        const ProcessSnapshot* p = find(second, c.after.pid);
        ASSERT_NE(p, nullptr) << c.what;
        EXPECT_NEAR(p->cpuPercent, c.percent, 0.001) << c.what;
    }
}

TEST_F(ProcessSamplerTest, ForgetsProcessesThatEnded) {
    proc.add({.pid = 20, .userTicks = 50, .uid = kMe});
    ProcessSampler s = sampler();
    s.sample();
    proc.remove(20);
    now += kSecond;
    EXPECT_TRUE(s.sample().processes.empty());
    // Back with the same identity after a sample without it: no reading to compare with.
    proc.add({.pid = 20, .userTicks = 50 + kTicks, .uid = kMe});
    now += kSecond;
    EXPECT_EQ(s.sample().processes.at(0).cpuPercent, 0);
}

// An idle process is not read again: what it runs, its memory and its owner come from the
// previous sample until it runs, execs or half a minute has passed.
TEST_F(ProcessSamplerTest, RereadsOnlyWhatMayHaveMoved) {
    const FakeProcess first{.pid = 30, .comm = "sh", .userTicks = 10, .uid = kMe, .anonKB = 100,
                            .exe = "/usr/bin/sh", .cmdline = std::string("sh\0", 3)};
    const auto changed = [&](FakeProcess p) {
        p.anonKB = 900;
        p.exe = "/usr/bin/node";
        p.cmdline = std::string("node\0server.js\0", 15);
        return p;
    };
    const struct {
        const char* what;
        std::uint64_t later;
        std::function<FakeProcess(FakeProcess)> edit;
        bool memoryRead;
        bool detailsRead;
    } cases[] = {
        {"idle", kSecond, [](FakeProcess p) { return p; }, false, false},
        {"idle, its files changed behind its back", kSecond, changed, false, false},
        {"ran", kSecond, [&](FakeProcess p) { p = changed(p); p.userTicks += 5; return p; }, true, false},
        {"exec'd", kSecond, [&](FakeProcess p) { p = changed(p); p.comm = "node"; return p; }, true, true},
        {"idle for half a minute", 30 * kSecond, changed, true, true},
    };
    for (const auto& c : cases) {
        proc.add(first);
        ProcessSampler s = sampler();
        s.sample();
        proc.add(c.edit(first));
        now += c.later;
        const ProcessSample second = s.sample();
        ASSERT_EQ(second.processes.size(), 1u) << c.what;
        const ProcessSnapshot& p = second.processes.front();
        EXPECT_EQ(p.memoryBytes, (c.memoryRead ? 900 : 100) * 1024) << c.what;
        EXPECT_EQ(p.path, c.detailsRead ? "/usr/bin/node" : "/usr/bin/sh") << c.what;
        EXPECT_EQ(p.arguments.size(), c.detailsRead ? 2u : 1u) << c.what;
    }
}

// A detached program's parent ends and init adopts it while it sleeps: the groups follow at once.
TEST_F(ProcessSamplerTest, AnIdleOrphanIsSeenAdopted) {
    proc.add({.pid = 31, .comm = "sleep", .parent = 30, .userTicks = 10, .uid = kMe});
    ProcessSampler s = sampler();
    s.sample();
    proc.add({.pid = 31, .comm = "sleep", .parent = 1, .userTicks = 10, .uid = kMe});
    now += kSecond;
    EXPECT_EQ(s.sample().processes.at(0).parentPID, 1);
}

TEST_F(ProcessSamplerTest, AnUnreadableRootGivesAnEmptySample) {
    ProcessSampler s({home.path("nowhere"), kMe, {}, {}, {}});
    const ProcessSample sample = s.sample();
    EXPECT_TRUE(sample.processes.empty());
    EXPECT_TRUE(sample.groups.empty());
}

TEST(ProcessSamplerLiveTest, FindsItself) {
    ProcessSampler sampler;
    const ProcessSample sample = sampler.sample();
    const ProcessSnapshot* self = find(sample, ::getpid());
    ASSERT_NE(self, nullptr);
    EXPECT_EQ(self->parentPID, ::getppid());
    char exe[4096] = {};
    ASSERT_GT(::readlink("/proc/self/exe", exe, sizeof exe - 1), 0);
    EXPECT_EQ(self->path, exe);
    EXPECT_EQ(self->name, self->path.substr(self->path.rfind('/') + 1));
    EXPECT_GT(self->memoryBytes, 0);
    ASSERT_TRUE(self->started);
    const auto now = std::chrono::system_clock::now();
    EXPECT_LE(*self->started, now + std::chrono::seconds(2));
    EXPECT_GT(*self->started, now - std::chrono::hours(1));
    // A second sampler agrees on the start time: it identifies the process.
    EXPECT_EQ(find(ProcessSampler().sample(), ::getpid())->started, self->started);
}

} // namespace
} // namespace tidra
