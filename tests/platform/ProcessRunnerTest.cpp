// The runner is where hangs and lost output would come from: time limits, full pipes,
// stubborn tools and grandchildren holding the streams.
#include "platform/ProcessRunner.h"

#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>

#include <atomic>
#include <fstream>
#include <iterator>
#include <thread>

namespace tidra::sys {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

ProcessRunner::Request tool(const std::string& path, std::vector<std::string> arguments = {},
                            std::vector<std::string> environment = {}) {
    return {.tool = path, .arguments = std::move(arguments), .environment = std::move(environment),
            .timeout = 20s, .grace = 3s};
}

ProcessRunner::Request shell(const std::string& script, std::chrono::milliseconds timeout = 20s,
                             std::chrono::milliseconds grace = 3s) {
    auto request = tool("/bin/sh", {"-c", script}, {"PATH=/usr/bin:/bin"});
    request.timeout = timeout;
    request.grace = grace;
    return request;
}

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

TEST(ProcessRunnerTest, DrainsMegabytesOnBothStreams) {
    // Standard error fills first: a reader that finished standard output before touching
    // standard error would stall here forever.
    const auto result = ProcessRunner::run(shell(
        "head -c 3000000 /dev/zero | tr '\\0' e >&2; head -c 5000000 /dev/zero | tr '\\0' o; "
        "head -c 1000000 /dev/zero | tr '\\0' e >&2"));
    ASSERT_TRUE(result);
    EXPECT_EQ(result->status, 0);
    EXPECT_FALSE(result->timedOut);
    EXPECT_EQ(result->standardOutput, std::string(5'000'000, 'o'));
    EXPECT_EQ(result->standardError, std::string(4'000'000, 'e'));
}

TEST(ProcessRunnerTest, InputIsAtEndAtOnce) {
    // cat waiting for input would be stopped at the limit.
    const auto result = ProcessRunner::run(tool("/bin/cat"));
    ASSERT_TRUE(result);
    EXPECT_EQ(result->status, 0);
    EXPECT_FALSE(result->timedOut);
}

TEST(ProcessRunnerTest, EndlessLimitsAreNoLimit) {
    auto request = tool("/bin/true");
    request.timeout = request.grace = std::chrono::milliseconds::max();
    const auto result = ProcessRunner::run(request);
    ASSERT_TRUE(result);
    EXPECT_EQ(result->status, 0);
    EXPECT_FALSE(result->timedOut);
}

TEST(ProcessRunnerTest, ReportsExitCodesAndBytesAsWritten) {
    const auto result = ProcessRunner::run(shell("printf 'a\\377\\0b'; printf 'oops\\n' >&2; exit 3"));
    ASSERT_TRUE(result);
    EXPECT_EQ(result->status, 3);
    EXPECT_EQ(result->standardOutput, std::string("a\xff\0b", 4));
    EXPECT_EQ(result->standardError, "oops\n");
    EXPECT_FALSE(result->timedOut);
}

TEST(ProcessRunnerTest, PassesExactlyTheGivenEnvironment) {
    auto request = shell("printf '%s|%s' \"$ONLY\" \"${HOME-unset}\"");
    request.environment.push_back("ONLY=x y");
    const auto result = ProcessRunner::run(request);
    ASSERT_TRUE(result);
    EXPECT_EQ(result->standardOutput, "x y|unset");
}

struct StopCase {
    const char* name;
    std::string script;
    int status;
    const char* output;
};

TEST(ProcessRunnerTest, StopsAtTheLimitWithinTheGracePeriod) {
    const StopCase cases[] = {
        {"plain sleeper", "echo started; exec sleep 30", 15, "started\n"},
        {"ignores SIGTERM", "trap '' TERM; echo started; sleep 30; echo late", 9, "started\n"},
        // The tool itself has exited; its background child still holds both streams.
        {"background grandchild", "sleep 30 & echo started", 0, "started\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto start = Clock::now();
        const auto result = ProcessRunner::run(shell(c.script, 500ms, 1s));
        const double elapsed = secondsSince(start);
        ASSERT_TRUE(result);
        EXPECT_TRUE(result->timedOut);
        EXPECT_EQ(result->status, c.status);
        EXPECT_EQ(result->standardOutput, c.output);
        EXPECT_GE(elapsed, 0.45);
        // The status tells which signal ended it; the bound only says the 30 s were not awaited,
        // with room for a loaded machine.
        EXPECT_LT(elapsed, 20);
    }
}

// The state letter of a process (proc(5)), or '-' when it is gone.
char stateOf(pid_t pid) {
    std::ifstream file("/proc/" + std::to_string(pid) + "/stat");
    const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    const auto end = text.rfind(')');
    return end != std::string::npos && end + 2 < text.size() ? text[end + 2] : '-';
}

TEST(ProcessRunnerTest, TheLimitStopsTheWholeGroupNotJustTheTool) {
    // The tool is gone at once; its background child holds the streams and sleeps on. Had only
    // the tool been signalled, the run would end by giving up on the streams, the child still
    // asleep: its state tells, whatever the timing.
    const auto result = ProcessRunner::run(shell("sleep 30 & echo $!", 300ms, 5s));
    ASSERT_TRUE(result);
    EXPECT_TRUE(result->timedOut);
    const pid_t grandchild = std::stoi(result->standardOutput);
    EXPECT_NE(stateOf(grandchild), 'S') << "the grandchild still sleeps";
}

TEST(ProcessRunnerTest, GivesUpOnStreamsHeldOutsideTheGroup) {
    // A grandchild in a session of its own escapes the group signals; reading must still end.
    const auto start = Clock::now();
    const auto result = ProcessRunner::run(shell("setsid sleep 60 & echo $!", 300ms, 300ms));
    const double elapsed = secondsSince(start);
    ASSERT_TRUE(result);
    EXPECT_TRUE(result->timedOut);
    // Far below the grandchild's 60 s, with room for a loaded machine.
    EXPECT_LT(elapsed, 30);
    const pid_t grandchild = std::stoi(result->standardOutput);
    EXPECT_EQ(::kill(grandchild, SIGKILL), 0) << "the grandchild lives on outside the group";
}

TEST(ProcessRunnerTest, YieldsNothingWhenTheToolCannotStart) {
    test::TempHome home;
    home.text("not-executable", "#!/bin/sh\n");
    const std::vector<ProcessRunner::Request> requests = {
        tool(home.path("missing")),
        tool(home.path("not-executable")),
        tool(home.root()),
        tool("sh", {"-c", "true"}),
        tool("/bin/echo", {std::string("a\0b", 3)}),
        tool("/bin/echo", {}, {std::string("A=\0", 3)}),
    };
    for (const auto& request : requests) {
        SCOPED_TRACE(request.tool);
        EXPECT_FALSE(ProcessRunner::run(request));
    }
}

TEST(ProcessRunnerTest, ParallelRunsKeepTheirOwnStreams) {
    // A stream end leaking into a sibling's slow child would hold a quick run open until that
    // child ends: here not before every quick run is back, so a leak shows as quick runs
    // stopped at their limit, however loaded the machine.
    test::TempHome home;
    const std::string gate = home.path("gate");
    ASSERT_EQ(::mkfifo(gate.c_str(), 0600), 0);
    // Held open both ways: the slow children open it at once and wait for a line each.
    const int gateFd = ::open(gate.c_str(), O_RDWR | O_CLOEXEC);
    ASSERT_GE(gateFd, 0);
    std::vector<std::thread> slow;
    for (int i = 0; i < 4; ++i) slow.emplace_back([&gate] { ProcessRunner::run(shell("read line < '" + gate + "'", 120s)); });
    std::vector<std::string> outputs(8);
    std::atomic<int> stopped{0};
    std::vector<std::thread> quick;
    for (std::size_t i = 0; i < outputs.size(); ++i)
        quick.emplace_back([&outputs, &stopped, i] {
            for (int round = 0; round < 10; ++round) {
                const auto result = ProcessRunner::run(shell("echo " + std::to_string(i), 10s, 1s));
                outputs[i] += result->standardOutput;
                if (result->timedOut) ++stopped;
            }
        });
    for (auto& t : quick) t.join();
    EXPECT_EQ(stopped, 0);
    ASSERT_EQ(::write(gateFd, "1\n2\n3\n4\n", 8), 8);
    for (auto& t : slow) t.join();
    ::close(gateFd);
    for (std::size_t i = 0; i < outputs.size(); ++i) {
        std::string expected;
        for (int round = 0; round < 10; ++round) expected += std::to_string(i) + "\n";
        EXPECT_EQ(outputs[i], expected);
    }
}

} // namespace
} // namespace tidra::sys
