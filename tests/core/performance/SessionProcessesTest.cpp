#include "performance/SessionProcesses.h"

#include "performance/ProcessSampler.h"
#include "platform/ProcReader.h"
#include "support/FakeProc.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace tidra {
namespace {

using test::FakeProc;
using test::TempHome;

TEST(SessionProcessesTest, NamesTheSocketsOfAnEnvironment) {
    const struct {
        std::map<std::string, std::string> environment;
        std::vector<std::string> sockets;
    } cases[] = {
        {{{"DISPLAY", ":5"}}, {"/tmp/.X11-unix/X5", "@/tmp/.X11-unix/X5"}},
        {{{"DISPLAY", ":0.1"}}, {"/tmp/.X11-unix/X0", "@/tmp/.X11-unix/X0"}},
        {{{"DISPLAY", "unix:12"}}, {"/tmp/.X11-unix/X12", "@/tmp/.X11-unix/X12"}},
        {{{"DISPLAY", "remote:0"}}, {}},
        {{{"DISPLAY", ":x"}}, {}},
        {{{"WAYLAND_DISPLAY", "wayland-0"}, {"XDG_RUNTIME_DIR", "/run/user/1000"}}, {"/run/user/1000/wayland-0"}},
        {{{"WAYLAND_DISPLAY", "/tmp/w"}}, {"/tmp/w"}},
        {{{"WAYLAND_DISPLAY", "wayland-0"}}, {}},
        {{{"DBUS_SESSION_BUS_ADDRESS", "unix:path=/run/user/1000/bus"}}, {"/run/user/1000/bus"}},
        {{{"DBUS_SESSION_BUS_ADDRESS", "unix:abstract=/tmp/dbus-Ab,guid=12;tcp:host=x,port=1;unix:path=/tmp/b"}},
         {"@/tmp/dbus-Ab", "/tmp/b"}},
        {{{"SSH_AUTH_SOCK", "/tmp/ssh-x/agent.7"}}, {"/tmp/ssh-x/agent.7"}},
        {{}, {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SessionProcesses::socketsOf(c.environment), c.sockets)
            << (c.environment.empty() ? "" : c.environment.begin()->second);
    }
}

constexpr const char* kUnixHeader = "Num       RefCount Protocol Flags    Type St Inode Path\n";

TEST(SessionProcessesTest, OnlyListeningSocketsNameTheirOwner) {
    const std::string table = std::string(kUnixHeader) +
                              "0000000000000000: 00000002 00000000 00010000 0001 01 700 /tmp/.X11-unix/X5\n"
                              "0000000000000000: 00000003 00000000 00000000 0001 03 701 /tmp/.X11-unix/X5\n"
                              "0000000000000000: 00000002 00000000 00010000 0001 01 702 @/tmp/dbus-Ab\n"
                              "0000000000000000: 00000002 00000000 00010000 0001 01 703 /tmp/with space/s\n"
                              "0000000000000000: 00000002 00000000 00010000 0001 01 704 /tmp/other\n"
                              "0000000000000000: 00000003 00000000 00000000 0001 03 705\n"
                              "garbage line\n";
    EXPECT_EQ(SessionProcesses::listeningInodes(table, {"/tmp/.X11-unix/X5", "@/tmp/dbus-Ab", "/tmp/with space/s"}),
              (std::set<std::uint64_t>{700, 702, 703}));
    EXPECT_TRUE(SessionProcesses::listeningInodes(table, {}).empty());
}

// A session of its own: a session script (its leader) started Xvfb and the bus; Tidra runs
// from a terminal's shell. A client of the display holds a socket of the same path, but only
// the server listens.
class SessionProcessesFixture : public ::testing::Test {
protected:
    void SetUp() override {
        proc.add({.pid = 100, .comm = "sh", .parent = 1});                // the session script
        proc.add({.pid = 110, .comm = "Xvfb", .parent = 100, .exe = "/usr/bin/Xvfb-renamed", .fds = {{3, "socket:[700]"}}});
        proc.add({.pid = 120, .comm = "dbus-run-sessi", .parent = 100});
        proc.add({.pid = 121, .comm = "dbus-daemon", .parent = 120, .fds = {{4, "socket:[702]"}}});
        proc.add({.pid = 130, .comm = "openbox", .parent = 100, .fds = {{3, "socket:[701]"}}});
        proc.add({.pid = 140, .comm = "xterm", .parent = 100, .fds = {{3, "socket:[706]"}}});
        proc.add({.pid = 150, .comm = "bash", .parent = 140});
        proc.add({.pid = 160, .comm = "tidra", .parent = 150});
        proc.add({.pid = 170, .comm = "node", .parent = 150});
        proc.add({.pid = 180, .comm = "node", .parent = 1, .fds = {{9, "socket:[704]"}}});
        proc.setUnix(std::string(kUnixHeader) +
                     "0000000000000000: 00000002 00000000 00010000 0001 01 700 /tmp/.X11-unix/X5\n"
                     "0000000000000000: 00000003 00000000 00000000 0001 03 701 /tmp/.X11-unix/X5\n"
                     "0000000000000000: 00000002 00000000 00010000 0001 01 702 @/tmp/dbus-Ab\n"
                     "0000000000000000: 00000002 00000000 00010000 0001 01 704 /tmp/other\n");
    }

    SessionProcesses::Facts facts{160, 100, {"/tmp/.X11-unix/X5", "@/tmp/.X11-unix/X5", "@/tmp/dbus-Ab"}};
    TempHome home;
    FakeProc proc{home};
};

TEST_F(SessionProcessesFixture, FindsUsOurAncestorsTheLeaderAndTheOwnersOfTheSessionsSockets) {
    const sys::ProcReader reader(proc.root());
    EXPECT_EQ(SessionProcesses::read(reader, facts), (std::set<pid_t>{1, 100, 110, 120, 121, 130, 140, 150, 160}))
        << "the window manager by its name, init as everybody's ancestor; the node programs are nobody's session";
    EXPECT_EQ(SessionProcesses::read(reader, {}), (std::set<pid_t>{1, 100, 120, 121, 130}))
        << "without facts, the names alone";
}

TEST_F(SessionProcessesFixture, TheSamplerMarksTheSessionsProcesses) {
    ProcessSampler sampler({proc.root(), 1000, [] { return std::uint64_t(1); }, "/home/me", facts});
    std::set<pid_t> marked;
    for (const auto& p : sampler.sample().processes)
        if (p.isSessionProcess) marked.insert(p.pid);
    EXPECT_EQ(marked, (std::set<pid_t>{100, 110, 120, 121, 130, 140, 150, 160}));
}

TEST(SessionProcessesNamesTest, KnowsTheSessionsProgramsByName) {
    for (const char* name : {"Xorg", "Xwayland", "Xvfb", "Xvnc", "Xtigervnc", "Xephyr", "openbox", "kwin_x11",
                             "gnome-session-binary", "dbus-daemon", "dbus-broker", "dbus-launch", "dbus-run-session",
                             "xscreensaver", "swaylock", "polkit-kde-authentication-agent-1", "lxpolkit",
                             "gnome-keyring-daemon", "ssh-agent", "gpg-agent"})
        EXPECT_TRUE(SessionProcesses::isSessionName(name)) << name;
    for (const char* name : {"node", "bash", "sh", "firefox", "Xcode", "dbus", "xterm", "agent"})
        EXPECT_FALSE(SessionProcesses::isSessionName(name)) << name;
}

} // namespace
} // namespace tidra
