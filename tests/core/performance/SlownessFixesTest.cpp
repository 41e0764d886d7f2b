#include "performance/SlownessCheck.h"

#include "SlownessFixture.h"
#include "performance/DeveloperTools.h"
#include "performance/ProcessSampler.h"
#include "platform/ProcReader.h"
#include "support/FakeProc.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <limits>

namespace tidra {
namespace {

using namespace test;
using Kind = DeveloperTool::Kind;

TEST(SlownessFixesTest, OwnerHoldsEveryPid) {
    const auto server = tool("tree-1", Kind::devServer, "Vite dev server", {100, 101, 102}, 0);
    const auto other = tool("tree-2", Kind::devServer, "Next.js dev server", {100, 300}, 0);
    struct Row {
        const char* name;
        ProcessGroup group;
        std::vector<DeveloperTool> tools;
        std::optional<std::string> owner;
    } rows[] = {
        {"subset of a server", group("node", 0, 0, {101, 102}), {server}, "tree-1"},
        {"only the main pid belongs", group("node", 0, 0, {100, 7, 8}), {server}, std::nullopt},
        {"a member that is not the main pid", group("Code", 0, 0, {7, 101}), {server}, std::nullopt},
        {"first of two owners wins", group("node", 0, 0, {100}), {other, server}, "tree-2"},
        {"no tools", group("node", 0, 0, {100}), {}, std::nullopt},
    };
    for (const auto& row : rows) {
        const auto found = SlownessCheck::owner(row.group, row.tools);
        EXPECT_EQ(found ? std::optional(found->id) : std::nullopt, row.owner) << row.name;
    }
    ProcessGroup empty;
    EXPECT_FALSE(SlownessCheck::owner(empty, {server})) << "a group without pids is nobody's";
}

// An idle dev server and a busy script, both `node`, both children of one program: the remedy
// for the busy script reaches the busy script alone, and names it.
TEST(SlownessFixesTest, TheBusyNodeScriptIsTheOneNamedAndStopped) {
    TempHome home;
    FakeProc proc(home);
    const std::uint64_t ticks = std::uint64_t(sys::ProcReader::ticksPerSecond());
    std::uint64_t now = 50'000'000'000;
    ProcessSampler sampler({proc.root(), 1000, [&] { return now; }, "/home/me", SessionProcesses::Facts{}});
    const auto node = [&](pid_t pid, std::uint64_t busy, std::string script) {
        proc.add({.pid = pid, .comm = "node", .parent = 40, .userTicks = busy, .uid = 1000, .exe = "/usr/bin/node",
                  .cwd = "/home/me/app", .cmdline = std::string("node\0", 5) + script + '\0'});
    };
    node(100, 0, "server.js");
    node(200, 0, "busy.js");
    sampler.sample();
    node(200, ticks * 95 / 100, "busy.js");
    now += 1'000'000'000;
    SlownessInputs inputs;
    inputs.heat = SlownessInputs::Heat::hot;
    const ProcessSample sample = sampler.sample();
    inputs.groups = sample.groups;
    const std::map<pid_t, std::vector<std::string>> args = {{100, {"node", "server.js"}}, {200, {"node", "busy.js"}}};
    const DeveloperTools::Inspection inspection{
        [&](pid_t pid) { return args.at(pid); }, [](pid_t) { return std::optional<std::string>("/home/me/app"); },
        [](pid_t pid) { return pid == 100 ? std::vector<TCPSocket>{{TCPSocket::State::listening, 3000, 0}}
                                          : std::vector<TCPSocket>{}; }};
    inputs.developerTools = DeveloperTools::find(sample, inspection, "/home/me");
    ASSERT_EQ(inputs.developerTools.size(), 1u);
    ASSERT_EQ(inputs.developerTools[0].pids, std::vector<pid_t>{100}) << "the server alone is a tool";

    const auto findings = SlownessCheck::findings(inputs);
    const auto heat = std::find_if(findings.begin(), findings.end(), [](const auto& f) { return f.id == "heat"; });
    ASSERT_NE(heat, findings.end());
    ASSERT_TRUE(heat->fix);
    const auto* quit = std::get_if<SlownessFinding::Fix::Quit>(&heat->fix->value);
    ASSERT_NE(quit, nullptr) << "not " << describe(heat->fix);
    EXPECT_EQ(quit->group.pids, (std::vector<pid_t>{200})) << "never the server, though it runs the same node";
    EXPECT_EQ(heat->fixTitle, std::optional<std::string>("Quit node busy.js — in ~/app"));
    EXPECT_NE(heat->detail.find("The busiest app is node busy.js — in ~/app, at 95 %"), std::string::npos)
        << heat->detail;
}

TEST(SlownessFixesTest, FixAndTitleFollowTheOwnersKind) {
    const ProcessGroup app = group("Firefox", 0, 0, {10});
    struct Row {
        std::optional<DeveloperTool> owner;
        std::string fix;
        std::string title;
    } rows[] = {
        {std::nullopt, "quit Firefox", "Quit Firefox"},
        {tool("1", Kind::emulator, "Pixel 7 (emulator)", {10}, 0), "stop 1", "Stop Android Emulator"},
        {tool("simulator", Kind::simulator, "iOS Simulator", {10}, 0), "stop simulator", "Stop Simulator"},
        {tool("docker", Kind::containers, "Docker", {10}, 0), "stop docker", "Quit Docker Desktop"},
        {tool("tree-1", Kind::devServer, "Vite dev server", {10}, 0), "stop tree-1", "Stop Vite dev server"},
        {tool("1", Kind::buildDaemon, "Gradle daemon", {10}, 0), "stop 1", "Stop Gradle daemon"},
        {tool("1", Kind::languageServer, "TypeScript server", {10}, 0), "stop 1", "Stop TypeScript server"},
    };
    for (const auto& row : rows) {
        std::vector<DeveloperTool> tools;
        if (row.owner) tools.push_back(*row.owner);
        EXPECT_EQ(describe(SlownessCheck::fixFor(app, tools)), row.fix) << row.title;
        EXPECT_EQ(SlownessCheck::fixTitle(app, tools), row.title);
    }
}

// Quitting the desktop session's own processes ends the session with every unsaved document;
// quitting ourselves ends the check.
TEST(SlownessFixesTest, SessionProcessesAndOurselvesAreNeverQuit) {
    const pid_t self = ::getpid();
    auto sessionScript = group("sh session.sh — in ~", 0, 0, {10});
    sessionScript.isProtected = true;
    struct Row {
        ProcessGroup group;
        bool isProtected;
    } rows[] = {
        {group("gnome-shell", 0, 0, {10}), true},   {group("Xorg", 0, 0, {10}), true},
        {group("Xwayland", 0, 0, {10}), true},      {group("plasmashell", 0, 0, {10}), true},
        {group("kwin_wayland", 0, 0, {10}), true},  {group("kwin_x11", 0, 0, {10}), true},
        {group("pipewire", 0, 0, {10}), true},      {group("systemd", 0, 0, {10}), true},
        {group("dbus-daemon", 0, 0, {10}), true},   {group("tidra", 0, 0, {10, self}), true},
        {group("openbox", 0, 0, {10}), true},       {group("mutter", 0, 0, {10}), true},
        {group("dunst", 0, 0, {10}), true},         {group("xfce4-notifyd", 0, 0, {10}), true},
        {group("stalonetray", 0, 0, {10}), true},   {group("xfce4-panel", 0, 0, {10}), true},
        {group("Firefox", 0, 0, {10}), false},      {group("xorg-helper", 0, 0, {10}), false},
        {group("systemd-resolved", 0, 0, {10}), false},
        {group("Xvfb", 0, 0, {10}), true},          {group("Xvnc", 0, 0, {10}), true},
        {group("Xtigervnc", 0, 0, {10}), true},     {group("Xephyr", 0, 0, {10}), true},
        {group("dbus-run-session", 0, 0, {10}), true}, {group("dbus-launch", 0, 0, {10}), true},
        {group("ssh-agent", 0, 0, {10}), true},     {group("xss-lock", 0, 0, {10}), true},
        {group("polkit-gnome-authentication-agent-1", 0, 0, {10}), true},
        {group("gnome-keyring-daemon", 0, 0, {10}), true},
        {sessionScript, true},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(SlownessCheck::isProtected(row.group), row.isProtected) << row.group.name;
        EXPECT_EQ(SlownessCheck::fixFor(row.group, {}).has_value(), !row.isProtected) << row.group.name;
        EXPECT_EQ(SlownessCheck::fixTitle(row.group, {}).has_value(), !row.isProtected) << row.group.name;
    }
    // A tool that owns the group stops in its own way, which ends no session.
    const auto shell = group("gnome-shell", 0, 0, {10});
    const auto owner = tool("10", Kind::languageServer, "Language server", {10}, 0);
    EXPECT_EQ(describe(SlownessCheck::fixFor(shell, {owner})), "stop 10");
}

TEST(SlownessFixesTest, PercentRoundsHalvesAwayFromZero) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const std::pair<double, std::string> rows[] = {
        {0.4, "0 %"},     {0.5, "1 %"},     {12.5, "13 %"}, {87.4, "87 %"},           {99.5, "100 %"},
        {150.0, "150 %"}, {-0.5, "-1 %"},   {nan, "0 %"},   {1e300, "9200000000000000000 %"},
    };
    for (const auto& [value, text] : rows) EXPECT_EQ(SlownessCheck::percent(value), text) << value;
}

TEST(SlownessFixesTest, DurationCutsToMinutesHoursAndDays) {
    const std::pair<double, std::string> rows[] = {
        {0, "0 minutes"},        {59, "0 minutes"},       {60, "1 minute"},         {119.9, "1 minute"},
        {120, "2 minutes"},      {3599, "59 minutes"},    {3600, "1 hour"},         {7199, "1 hour"},
        {7200, "2 hours"},       {86400, "24 hours"},     {172799, "47 hours"},     {172800, "2 days"},
        {1e7, "115 days"},       {-30, "0 minutes"},      {std::nan(""), "0 minutes"},
    };
    for (const auto& [seconds, text] : rows) EXPECT_EQ(SlownessCheck::duration(seconds), text) << seconds;
}

TEST(SlownessFixesTest, LevelsFromRawValues) {
    using Level = SlownessFinding::Level;
    EXPECT_EQ(slownessLevelFromRawValue(0), Level::fine);
    EXPECT_EQ(slownessLevelFromRawValue(3), Level::serious);
    EXPECT_FALSE(slownessLevelFromRawValue(-1));
    EXPECT_FALSE(slownessLevelFromRawValue(4));
    EXPECT_LT(Level::info, Level::notable);
}

} // namespace
} // namespace tidra
