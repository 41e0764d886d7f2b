#include "platform/ProcessSignal.h"

#include "platform/ProcReader.h"
#include "support/ForkedChild.h"
#include "support/RunAsNobody.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tidra::sys {
namespace {

using SignalOutcome = ProcessSignal::Outcome;

// A child that waits for a signal; reaped by the fixture.
class ProcessSignalTest : public ::testing::Test {
protected:
    void SetUp() override {
        child = ::fork();
        if (child == 0) {
            ::pause();
            ::_exit(0);
        }
        ASSERT_GT(child, 0);
        const auto stat = reader.stat(child);
        ASSERT_TRUE(stat);
        startTicks = stat->startTicks;
    }
    void TearDown() override {
        if (child <= 0) return;
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
    }
    bool childAlive() const {
        return ::waitpid(child, nullptr, WNOHANG) == 0;
    }
    // The signal that ended the child; reaps it. -1 when it did not end within the limit.
    int endSignal() {
        const auto status = test::waitForChild(child);
        child = 0;
        return status && WIFSIGNALED(*status) ? WTERMSIG(*status) : -1;
    }
    auto startsAt(std::uint64_t ticks) const {
        return [ticks](std::uint64_t actual) { return actual == ticks; };
    }

    ProcReader reader;
    pid_t child = 0;
    std::uint64_t startTicks = 0;
};

TEST_F(ProcessSignalTest, SignalsTheProcessWithTheExpectedStartTime) {
    EXPECT_EQ(ProcessSignal::send(child, SIGTERM, reader, startsAt(startTicks)), SignalOutcome::sent);
    EXPECT_EQ(endSignal(), SIGTERM);
}

TEST_F(ProcessSignalTest, LeavesAProcessWithAnotherStartTimeAlone) {
    EXPECT_EQ(ProcessSignal::send(child, SIGTERM, reader, startsAt(startTicks + 1)), SignalOutcome::replaced);
    EXPECT_TRUE(childAlive());
}

TEST_F(ProcessSignalTest, AnEndedProcessIsGone) {
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    const pid_t ended = child;
    child = 0;
    EXPECT_EQ(ProcessSignal::send(ended, SIGTERM, reader, startsAt(startTicks)), SignalOutcome::gone);
}

TEST_F(ProcessSignalTest, RefusesGroupPids) {
    bool asked = false;
    for (const pid_t pid : {0, -1, -child})
        EXPECT_EQ(ProcessSignal::send(pid, SIGTERM, reader, [&](std::uint64_t) { return asked = true; }),
                  SignalOutcome::failed)
            << pid;
    EXPECT_FALSE(asked);
    EXPECT_TRUE(childAlive());
}

TEST_F(ProcessSignalTest, AnotherUsersProcessIsNotPermitted) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to own a process nobody may not signal";
    const pid_t target = child;
    const std::uint64_t ticks = startTicks;
    const std::string answer = test::runAsNobody([&] {
        const SignalOutcome outcome = ProcessSignal::send(target, SIGTERM, reader, startsAt(ticks));
        return std::string(outcome == SignalOutcome::notPermitted ? "notPermitted" : "other");
    });
    EXPECT_EQ(answer, "notPermitted");
    EXPECT_TRUE(childAlive());
}

} // namespace
} // namespace tidra::sys
