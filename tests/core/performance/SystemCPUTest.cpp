#include "performance/SystemCPU.h"

#include "platform/ProcReader.h"
#include "support/FakeProc.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

namespace tidra {
namespace {

using test::FakeProc;
using test::FakeProcess;
using test::TempHome;

constexpr std::uint64_t kOneSecond = 1'000'000'000;
const std::uint64_t kTicksPerSecond = std::uint64_t(sys::ProcReader::ticksPerSecond());

TEST(SystemCPUTest, MeasuresEveryProcessBetweenTwoReadings) {
    TempHome home;
    FakeProc proc(home);
    const std::string tracker = std::string("/usr/libexec/tracker-miner-fs-3") + '\0';
    proc.add({.pid = 10, .comm = "worker", .uid = 0});
    proc.add({.pid = 11, .comm = "worker", .userTicks = 50 * kTicksPerSecond, .uid = 1000});
    proc.add({.pid = 12, .comm = "tracker-miner-f", .cmdline = tracker});
    proc.add({.pid = 13, .comm = "gone", .userTicks = 9 * kTicksPerSecond});
    proc.add({.pid = 14, .comm = "kswapd0", .flags = 0x00200000});
    proc.add({.pid = 15, .comm = "old", .userTicks = 1000 * kTicksPerSecond, .startTicks = 5});
    proc.add({.pid = 16, .comm = "Web Content"});
    proc.add({.pid = 18, .comm = "kworker/0:1", .flags = 0x00200000});

    std::uint64_t now = 7 * kOneSecond;
    SystemCPU::Options options;
    options.procRoot = proc.root();
    options.monotonicNanoseconds = [&] { return now; };
    std::vector<std::chrono::milliseconds> waits;
    options.wait = [&](std::chrono::milliseconds interval) {
        waits.push_back(interval);
        now += 2 * kOneSecond;
        proc.add({.pid = 10, .comm = "worker", .userTicks = kTicksPerSecond, .uid = 0});
        proc.add({.pid = 11, .comm = "worker", .userTicks = 50 * kTicksPerSecond, .systemTicks = kTicksPerSecond / 2, .uid = 1000});
        proc.add({.pid = 12, .comm = "tracker-miner-f", .userTicks = 2 * kTicksPerSecond, .cmdline = tracker});
        proc.remove(13);
        proc.add({.pid = 14, .comm = "kswapd0", .flags = 0x00200000, .systemTicks = kTicksPerSecond / 2});
        proc.add({.pid = 15, .comm = "new", .userTicks = kTicksPerSecond / 10, .startTicks = 900});
        proc.add({.pid = 17, .comm = "sh", .userTicks = kTicksPerSecond});
    };

    const auto cpu = SystemCPU::measure(options);
    EXPECT_EQ(waits, std::vector<std::chrono::milliseconds>{std::chrono::seconds(1)});
    std::vector<std::string> names;
    for (const auto& [name, value] : cpu) names.push_back(name);
    EXPECT_EQ(names, (std::vector<std::string>{"0:1", "Web Content", "kswapd0", "new", "sh", "tracker-miner-fs-3",
                                                "worker"}))
        << "keyed as ps rows are: the text after the last \"/\"";
    EXPECT_DOUBLE_EQ(cpu.at("worker"), 75.0) << "all users' processes, summed by name";
    EXPECT_DOUBLE_EQ(cpu.at("tracker-miner-fs-3"), 100.0) << "a cut name completed from its first argument";
    EXPECT_DOUBLE_EQ(cpu.at("kswapd0"), 25.0);
    EXPECT_DOUBLE_EQ(cpu.at("new"), 5.0) << "a reused pid is a new process: all its time is recent";
    EXPECT_DOUBLE_EQ(cpu.at("sh"), 50.0);
    EXPECT_DOUBLE_EQ(cpu.at("Web Content"), 0.0);
}

TEST(SystemCPUTest, AnUnreadableRootGivesNothing) {
    SystemCPU::Options options;
    options.procRoot = "/nonexistent/proc";
    options.wait = [](std::chrono::milliseconds) {};
    EXPECT_TRUE(SystemCPU::measure(options).empty());
}

TEST(SystemCPUTest, CutNamesAreCompletedOnlyFromAMatchingArgument) {
    struct Row {
        std::string comm;
        std::vector<std::string> arguments;
        std::string name;
    } rows[] = {
        {"tracker-miner-f", {"/usr/libexec/tracker-miner-fs-3"}, "tracker-miner-fs-3"},
        {"baloo_file_extr", {"baloo_file_extractor", "--daemon"}, "baloo_file_extractor"},
        {"abcdefghijklmno", {"/usr/bin/other-program"}, "abcdefghijklmno"},
        {"abcdefghijklmno", {}, "abcdefghijklmno"},
        {"bash", {"/usr/bin/bash-with-long-name"}, "bash"},
        {"kworker/0:1", {}, "0:1"},
        {"kworker/u16:2-e", {}, "u16:2-e"},
    };
    for (const auto& row : rows) EXPECT_EQ(SystemCPU::commandName(row.comm, row.arguments), row.name) << row.comm;
}

} // namespace
} // namespace tidra
