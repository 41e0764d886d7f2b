#include "performance/SlownessCheck.h"

#include "support/FakeProc.h"
#include "support/FakeTool.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

namespace tidra {
namespace {

using test::FakeTool;
using test::TempHome;
using Call = std::pair<std::string, std::vector<std::string>>;

// A run callback that answers `output` and records what it was asked to run.
SlownessCheck::Run answering(std::optional<std::string> output, std::vector<Call>& calls) {
    return [output, &calls](const std::string& tool, const std::vector<std::string>& arguments) {
        calls.emplace_back(tool, arguments);
        return output;
    };
}

TEST(SlownessProbesTest, ParsesPsLinesByLastPathComponent) {
    using Map = std::map<std::string, double>;
    const std::pair<std::string, Map> rows[] = {
        {"12.5 /Applications/Slack.app/Contents/MacOS/Slack\n 3.0 node\n4.0 /usr/local/bin/node\n",
         {{"Slack", 12.5}, {"node", 7.0}}},
        {"abc node\n5.0\n\n   \n7.5 \n 0.0 idle\n", {{"idle", 0.0}}},
        {"\t 2.5   /opt/App/Web Content  \n1.0 Web Content", {{"Web Content", 3.5}}},
        {"4.0 mdworker\n4.0 mdworker\n4.0 mdworker\n", {{"mdworker", 12.0}}},
        {"1e3 exp\n12,5 comma\n-1.5 negative", {{"negative", -1.5}}},
        {"", {}},
    };
    for (const auto& [text, expected] : rows) EXPECT_EQ(SlownessCheck::parsePS(text), expected) << text;
}

TEST(SlownessProbesTest, ABackupRunsOnlyWhileABackupToolDoes) {
    const std::pair<std::vector<std::string>, bool> rows[] = {
        {{"bash", "borg"}, true},
        {{"restic"}, true},
        {{"duplicity", "deja-dup"}, true},
        {{"deja-dup"}, true},
        // The monitor waits for the next scheduled backup; it is not one.
        {{"deja-dup-monito", "bash"}, false},
        {{"borgmatic-helpe", "tmutil", "backupd"}, false},
        {{}, false},
    };
    for (const auto& [names, running] : rows) {
        TempHome home;
        test::FakeProc proc(home);
        pid_t pid = 100;
        for (const auto& name : names) proc.add({.pid = pid++, .comm = name});
        EXPECT_EQ(SlownessCheck::backupRunning(proc.root()), running) << testing::PrintToString(names);
    }
    EXPECT_FALSE(SlownessCheck::backupRunning("/nonexistent/proc"));
}

TEST(SlownessProbesTest, LowPowerIsThePowerSaverProfile) {
    const std::pair<std::optional<std::string>, bool> rows[] = {
        {"power-saver\n", true},  {"power-saver", true}, {"balanced\n", false},
        {"performance\n", false}, {"", false},           {std::nullopt, false},
    };
    for (const auto& [output, saving] : rows) {
        std::vector<Call> calls;
        EXPECT_EQ(SlownessCheck::lowPowerMode(answering(output, calls)), saving) << output.value_or("(none)");
        EXPECT_EQ(calls, (std::vector<Call>{{"/usr/bin/powerprofilesctl", {"get"}}}));
    }
}

TEST(SlownessProbesTest, ShellRunAnswersStandardOutputOrNothing) {
    TempHome home;
    const FakeTool tool(home.path("ps"), {.standardOutput = "1.0 a\n", .standardError = "noise", .exitStatus = 1});
    const auto run = SlownessCheck::shellRun();
    EXPECT_EQ(run(tool.path(), {"-A"}), "1.0 a\n");
    EXPECT_EQ(tool.arguments(), std::vector<std::string>{"-A"});
    EXPECT_EQ(run(home.path("missing"), {}), std::nullopt);
}

TEST(SlownessProbesTest, HeatFollowsTheThermalLevelByPosition) {
    using Level = sys::ThermalZones::Level;
    using Heat = SlownessInputs::Heat;
    EXPECT_EQ(SlownessCheck::heat(Level::normal), Heat::normal);
    EXPECT_EQ(SlownessCheck::heat(Level::warm), Heat::warm);
    EXPECT_EQ(SlownessCheck::heat(Level::hot), Heat::hot);
    EXPECT_EQ(SlownessCheck::heat(Level::critical), Heat::critical);
    EXPECT_EQ(SlownessCheck::heat(static_cast<Level>(7)), Heat::normal);
}

} // namespace
} // namespace tidra
