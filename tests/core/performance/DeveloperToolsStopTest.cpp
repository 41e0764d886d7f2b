#include "performance/DeveloperTools.h"

#include "performance/ProcessSampler.h"
#include "support/FakeTool.h"
#include "support/ForkedChild.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <map>
#include <memory>

namespace tidra {
namespace {

using Outcome = DeveloperTools::SignalOutcome;
using Stop = DeveloperTool::Stop;
using Clock = std::chrono::system_clock;

const auto kStartedAt = Clock::time_point(std::chrono::seconds(1'700'000'000));
constexpr pid_t kSelf = 4242;

DeveloperTool toolStoppedBy(Stop stop) {
    DeveloperTool tool;
    tool.stop = std::move(stop);
    return tool;
}

// Injected effects: canned outcomes per pid and canned runs per tool, with a record of calls.
class DeveloperToolsStopTest : public ::testing::Test {
protected:
    DeveloperTools::Stopping stopping() {
        DeveloperTools::Stopping s;
        s.terminate = [this](pid_t pid, Clock::time_point started) {
            signalled.push_back(pid);
            EXPECT_EQ(started, kStartedAt);
            return outcomes.count(pid) ? outcomes[pid] : Outcome::sent;
        };
        s.forceTerminate = [this](pid_t pid, Clock::time_point started) {
            forced.push_back(pid);
            EXPECT_EQ(started, kStartedAt);
            return outcomes.count(pid) ? outcomes[pid] : Outcome::sent;
        };
        s.run = [this](const std::string& tool, const std::vector<std::string>& arguments,
                       std::chrono::milliseconds timeout) -> std::optional<Shell::Output> {
            runs.push_back(tool + " " + DeveloperTools::commandLine(arguments));
            EXPECT_EQ(timeout, std::chrono::seconds(60));
            const auto it = exits.find(arguments.empty() ? tool : arguments.back());
            if (it == exits.end()) return std::nullopt;
            Shell::Output out;
            out.status = it->second;
            return out;
        };
        s.self = kSelf;
        return s;
    }
    bool stopSignal(const std::vector<DeveloperTool::ProcessRef>& processes) {
        return DeveloperTools::stop(toolStoppedBy(Stop::Signal{processes}), stopping());
    }

    std::map<pid_t, Outcome> outcomes;
    // Exit status by last argument (or tool without arguments); missing means cannot start.
    std::map<std::string, int> exits;
    std::vector<pid_t> signalled;
    std::vector<pid_t> forced;
    std::vector<std::string> runs;
};

TEST_F(DeveloperToolsStopTest, EachProcessCountsByWhatSignallingItCameTo) {
    struct Row {
        DeveloperTool::ProcessRef process;
        std::optional<Outcome> outcome;  // absent: never signalled
        bool stopped;
    } rows[] = {
        {{100, kStartedAt}, Outcome::sent, true},
        {{100, kStartedAt}, Outcome::gone, true},
        {{100, kStartedAt}, Outcome::replaced, true},
        {{100, kStartedAt}, Outcome::notPermitted, false},
        {{100, kStartedAt}, Outcome::failed, false},
        {{100, std::nullopt}, std::nullopt, false},
        {{0, kStartedAt}, std::nullopt, false},
        {{-1, kStartedAt}, std::nullopt, false},
        {{-100, kStartedAt}, std::nullopt, false},
        {{1, kStartedAt}, std::nullopt, false},
        {{kSelf, kStartedAt}, std::nullopt, false},
    };
    for (const Row& row : rows) {
        signalled.clear();
        if (row.outcome) outcomes[row.process.pid] = *row.outcome;
        EXPECT_EQ(stopSignal({row.process}), row.stopped) << row.process.pid;
        EXPECT_EQ(signalled.size(), row.outcome ? 1u : 0u) << row.process.pid;
    }
    EXPECT_TRUE(stopSignal({})) << "nothing to stop";
}

TEST_F(DeveloperToolsStopTest, OneRefusalStillSignalsTheOthers) {
    outcomes = {{11, Outcome::notPermitted}, {12, Outcome::gone}};
    EXPECT_FALSE(stopSignal({{10, kStartedAt}, {11, kStartedAt}, {0, kStartedAt}, {12, kStartedAt}, {13, kStartedAt}}));
    EXPECT_EQ(signalled, (std::vector<pid_t>{10, 11, 12, 13}));
    signalled.clear();
    EXPECT_TRUE(stopSignal({{10, kStartedAt}, {12, kStartedAt}}));
}

// A forced stop takes the same checks and only ever kills, never asks.
TEST_F(DeveloperToolsStopTest, AForcedStopKillsWhatThePoliteOneWouldAsk) {
    outcomes = {{11, Outcome::notPermitted}};
    const Stop::Signal force{{{10, kStartedAt}, {11, kStartedAt}, {kSelf, kStartedAt}, {12, std::nullopt}, {13, kStartedAt}}, true};
    EXPECT_FALSE(DeveloperTools::stop(toolStoppedBy(force), stopping()));
    EXPECT_EQ(forced, (std::vector<pid_t>{10, 11, 13}));
    EXPECT_TRUE(signalled.empty());
}

// The session's processes are read once per stop, and neither asked nor killed.
TEST_F(DeveloperToolsStopTest, TheSessionsProcessesAreNeverSignalled) {
    int reads = 0;
    for (const bool force : {false, true}) {
        DeveloperTools::Stopping s = stopping();
        s.sessionProcesses = [&] {
            ++reads;
            return std::set<pid_t>{20, 21};
        };
        const Stop::Signal stop{{{20, kStartedAt}, {10, kStartedAt}, {21, kStartedAt}}, force};
        EXPECT_FALSE(DeveloperTools::stop(toolStoppedBy(stop), s));
    }
    EXPECT_EQ(signalled, std::vector<pid_t>{10});
    EXPECT_EQ(forced, std::vector<pid_t>{10});
    EXPECT_EQ(reads, 2);
}

TEST_F(DeveloperToolsStopTest, QuittingDockerDesktopStopsItsUserServiceWhenActive) {
    const std::string isActive = "/usr/bin/systemctl --user is-active --quiet docker-desktop";
    const std::string stopIt = "/usr/bin/systemctl --user stop docker-desktop";
    const DeveloperTool docker = toolStoppedBy(Stop::QuitApp{"com.docker.docker"});
    struct Row {
        std::optional<int> active, stopped;
        bool answer;
        std::vector<std::string> runs;
    } rows[] = {
        {0, 0, true, {isActive, stopIt}},
        {0, 1, false, {isActive, stopIt}},
        {3, 0, false, {isActive}},
        {std::nullopt, 0, false, {isActive}},
    };
    for (const Row& row : rows) {
        exits.clear();
        runs.clear();
        // is-active ends in the service name, stop in the service name too: tell them apart by order.
        int call = 0;
        DeveloperTools::Stopping s = stopping();
        s.run = [&](const std::string& tool, const std::vector<std::string>& arguments,
                    std::chrono::milliseconds) -> std::optional<Shell::Output> {
            runs.push_back(tool + " " + DeveloperTools::commandLine(arguments));
            const auto status = call++ == 0 ? row.active : row.stopped;
            if (!status) return std::nullopt;
            Shell::Output out;
            out.status = *status;
            return out;
        };
        EXPECT_EQ(DeveloperTools::stop(docker, s), row.answer);
        EXPECT_EQ(runs, row.runs);
    }
    runs.clear();
    EXPECT_FALSE(DeveloperTools::stop(toolStoppedBy(Stop::QuitApp{"com.example.other"}), stopping()));
    EXPECT_TRUE(runs.empty());
}

TEST_F(DeveloperToolsStopTest, ACommandIsJudgedByItsExitAndThenQuitIsAskedAnyway) {
    const Stop sim = Stop::Command{"/usr/bin/xcrun", {"simctl", "shutdown", "all"}, "com.docker.docker"};
    const std::string isActive = "/usr/bin/systemctl --user is-active --quiet docker-desktop";
    struct Row {
        std::optional<int> exit;
        bool answer;
    } rows[] = {{0, true}, {1, false}, {std::nullopt, false}};
    for (const Row& row : rows) {
        exits.clear();
        runs.clear();
        if (row.exit) exits["all"] = *row.exit;
        EXPECT_EQ(DeveloperTools::stop(toolStoppedBy(sim), stopping()), row.answer);
        EXPECT_EQ(runs, (std::vector<std::string>{"/usr/bin/xcrun simctl shutdown all", isActive}));
    }
}

TEST(DeveloperToolsStopLiveTest, ACommandStopRunsTheToolAndNeverWaitsPastItsLimit) {
    test::TempHome home;
    home.dir("bin");
    const test::FakeTool ok(home.path("bin/ok"), {});
    const test::FakeTool slow(home.path("bin/slow"), {"", "", 0, 30, false});
    // The quick tool gets the live limit: a loaded machine may well take more than a moment to
    // start a script. Only the slow one is held to a short limit.
    DeveloperTools::Stopping stopping = DeveloperTools::Stopping::live();
    EXPECT_TRUE(DeveloperTools::stop(toolStoppedBy(Stop::Command{ok.path(), {"shutdown", "all"}, std::nullopt}), stopping));
    EXPECT_EQ(ok.arguments(), (std::vector<std::string>{"shutdown", "all"}));
    EXPECT_FALSE(DeveloperTools::stop(toolStoppedBy(Stop::Command{home.path("bin/missing"), {}, "x"}), stopping));

    stopping.timeout = std::chrono::milliseconds(300);
    const auto before = std::chrono::steady_clock::now();
    EXPECT_FALSE(DeveloperTools::stop(toolStoppedBy(Stop::Command{slow.path(), {}, std::nullopt}), stopping));
    EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(15));
}

// The live check: the start time the sampler recorded is the one compared before signalling.
TEST(DeveloperToolsStopLiveTest, SignalsOnlyTheSampledProcess) {
    const pid_t child = ::fork();
    if (child == 0) {
        ::pause();
        ::_exit(0);
    }
    ASSERT_GT(child, 0);
    // A failed assertion below must not leave the child behind; once reaped, its pid is not ours.
    bool reaped = false;
    const std::shared_ptr<void> reap(nullptr, [&reaped, child](void*) {
        if (!reaped) test::waitForChild(child, std::chrono::milliseconds(0));
    });
    ProcessSampler sampler;
    std::optional<Clock::time_point> started;
    for (const auto& p : sampler.sample().processes)
        if (p.pid == child) started = p.started;
    ASSERT_TRUE(started);

    // Whether a wrong signal was sent shows in the answer at once; the child's state would
    // show it only once the signal had been delivered.
    const auto staleStart = *started + std::chrono::milliseconds(10);
    EXPECT_EQ(DeveloperTools::terminate(child, staleStart), Outcome::replaced) << "the newcomer is left alone";
    EXPECT_TRUE(DeveloperTools::stop(toolStoppedBy(Stop::Signal{{{child, staleStart}}}))) << "the process meant has gone";

    EXPECT_TRUE(DeveloperTools::stop(toolStoppedBy(Stop::Signal{{{child, *started}}})));
    const auto status = test::waitForChild(child);
    reaped = true;
    ASSERT_TRUE(status) << "still running: no signal reached it";
    EXPECT_TRUE(WIFSIGNALED(*status) && WTERMSIG(*status) == SIGTERM);

    EXPECT_TRUE(DeveloperTools::stop(toolStoppedBy(Stop::Signal{{{child, *started}}}))) << "gone counts as stopped";
    EXPECT_FALSE(DeveloperTools::stop(toolStoppedBy(Stop::Signal{{{::getpid(), *started}}}))) << "never ourselves";
}

// A process that ignores SIGTERM survives the polite stop and not the forced one; a stale
// start time keeps the forced one away too.
TEST(DeveloperToolsStopLiveTest, AForcedStopEndsAProcessThatIgnoresTheRequest) {
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        ::signal(SIGTERM, SIG_IGN);
        ::close(ready[0]);
        (void)!::write(ready[1], "x", 1);
        for (;;) ::pause();
    }
    ASSERT_GT(child, 0);
    // A failed assertion below must not leave the child behind; once reaped, its pid is not ours.
    bool reaped = false;
    const std::shared_ptr<void> reap(nullptr, [&reaped, child](void*) {
        if (!reaped) test::waitForChild(child, std::chrono::milliseconds(0));
    });
    ::close(ready[1]);
    char byte = 0;
    ASSERT_EQ(::read(ready[0], &byte, 1), 1);
    ::close(ready[0]);
    std::optional<Clock::time_point> started;
    for (const auto& p : ProcessSampler().sample().processes)
        if (p.pid == child) started = p.started;
    ASSERT_TRUE(started);

    // An ignored signal is dropped as it is sent, so the child's survival shows at once.
    EXPECT_TRUE(DeveloperTools::stop(toolStoppedBy(Stop::Signal{{{child, *started}}})));
    EXPECT_EQ(DeveloperTools::forceTerminate(child, *started + std::chrono::milliseconds(10)), Outcome::replaced);
    int status = 0;
    EXPECT_EQ(::waitpid(child, &status, WNOHANG), 0) << "still running";

    EXPECT_TRUE(DeveloperTools::stop(toolStoppedBy(Stop::Signal{{{child, *started}}, true})));
    const auto ended = test::waitForChild(child);
    reaped = true;
    ASSERT_TRUE(ended) << "still running: the forced stop did not reach it";
    EXPECT_TRUE(WIFSIGNALED(*ended) && WTERMSIG(*ended) == SIGKILL);
}

} // namespace
} // namespace tidra
