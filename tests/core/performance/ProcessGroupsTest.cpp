#include "performance/ProcessGroups.h"
#include "performance/DeveloperTools.h"
#include "performance/ProcessSample.h"

#include <algorithm>
#include <map>

#include <gtest/gtest.h>

namespace tidra {
namespace {

ProcessSnapshot snap(pid_t pid, std::string path, std::int64_t memory = 0, double cpu = 0,
                     std::string responsible = "", std::string name = "") {
    ProcessSnapshot p;
    p.pid = pid;
    p.path = std::move(path);
    p.name = name.empty() && !p.path.empty() ? p.path.substr(p.path.rfind('/') + 1) : name;
    p.memoryBytes = memory;
    p.cpuPercent = cpu;
    p.responsiblePath = std::move(responsible);
    return p;
}

// A process of a program tree: its parent, its arguments and folder, its control group.
ProcessSnapshot child(pid_t pid, pid_t parent, std::string path, std::vector<std::string> arguments = {},
                      std::optional<std::string> folder = std::nullopt, std::string cgroup = "") {
    ProcessSnapshot p = snap(pid, std::move(path), 10);
    p.parentPID = parent;
    p.arguments = std::move(arguments);
    p.folder = std::move(folder);
    p.cgroup = std::move(cgroup);
    return p;
}

ProcessGroup listedGroup(std::string id, std::string name, std::optional<std::string> bundle, std::vector<pid_t> pids,
                   pid_t main, std::int64_t memory, double cpu, bool system) {
    ProcessGroup g;
    g.id = std::move(id);
    g.name = std::move(name);
    g.bundlePath = std::move(bundle);
    g.pids = std::move(pids);
    g.mainPID = main;
    g.memoryBytes = memory;
    g.cpuPercent = cpu;
    g.isSystemService = system;
    return g;
}

// The groups without their member descriptions, which `DescribesEachMember` checks.
std::vector<ProcessGroup> outline(std::vector<ProcessGroup> groups) {
    for (auto& g : groups) g.processes.clear();
    return groups;
}

const std::string kEditorPath = "/Applications/Editor.app/Contents/MacOS/Editor";
const std::string kRenderer =
    "/Applications/Editor.app/Contents/Frameworks/Editor Renderer.app/Contents/MacOS/Editor Renderer";

struct GroupCase {
    const char* what;
    std::vector<ProcessSnapshot> processes;
    std::vector<ProcessGroup> groups;
};

TEST(ProcessGroupsTest, FoldsProcessesIntoGroups) {
    const GroupCase cases[] = {
        {"nested bundle joins the outermost; main is the first under Contents/MacOS",
         {snap(10, kRenderer, 300, 1.5), snap(20, kEditorPath, 200, 2), snap(5, kEditorPath, 100, 0.5)},
         {listedGroup("app:Editor", "Editor", "/Applications/Editor.app", {10, 20, 5}, 20, 600, 4, false)}},
        {"bundle without a main executable takes the smallest pid",
         {snap(40, kRenderer), snap(30, "/Applications/Editor.app/Contents/Helpers/crashpad")},
         {listedGroup("app:Editor", "Editor", "/Applications/Editor.app", {40, 30}, 30, 0, 0, false)}},
        {"a daemon working for an app joins it but never becomes its main process",
         {snap(3, "/Applications/Editor.app/Contents/MacOS/System/Library/agent", 50, 1, kEditorPath),
          snap(4, "/usr/libexec/syspolicyd", 70, 2, kEditorPath), snap(9, kEditorPath, 10, 3)},
         {listedGroup("app:Editor", "Editor", "/Applications/Editor.app", {3, 4, 9}, 9, 130, 6, false)}},
        {"a daemon without a usable responsible process keeps its own name",
         {snap(7, "/usr/libexec/logd", 5), snap(8, "/usr/libexec/logd", 5, 0, "/usr/sbin/launchd"),
          snap(9, "", 1, 0, "", "kworker")},
         {listedGroup("program:7", "logd", std::nullopt, {7}, 7, 5, 0, true),
          listedGroup("program:8", "logd", std::nullopt, {8}, 8, 5, 0, true),
          listedGroup("program:9", "kworker", std::nullopt, {9}, 9, 1, 0, true)}},
        {"a program started from an app's shell is that app's work; a bundled helper stays in its own bundle",
         {snap(21, "/bin/zsh", 5, 0, kEditorPath), snap(22, "/opt/homebrew/bin/node", 300, 2, kEditorPath),
          snap(23, "/Applications/Other.app/Contents/MacOS/Other", 40, 0, kEditorPath),
          snap(24, "/opt/homebrew/bin/node", 100, 0, "/bin/zsh"), snap(9, kEditorPath, 10, 3)},
         {listedGroup("app:Editor", "Editor", "/Applications/Editor.app", {21, 22, 9}, 9, 315, 5, false),
          listedGroup("program:24", "node", std::nullopt, {24}, 24, 100, 0, false),
          listedGroup("app:Other", "Other", "/Applications/Other.app", {23}, 23, 40, 0, false)}},
        {"one member outside the system folders makes the group a user's",
         {child(15, 1, "/home/me/bin/tool"), child(16, 15, "/usr/libexec/helper")},
         {listedGroup("program:15", "tool", std::nullopt, {15, 16}, 15, 20, 0, false)}},
        {"one executable name is no group: each node of its own is a program",
         {snap(30, "/usr/local/bin/node", 10), snap(12, "/opt/homebrew/bin/node", 20)},
         {listedGroup("program:12", "node", std::nullopt, {12}, 12, 20, 0, false),
          listedGroup("program:30", "node", std::nullopt, {30}, 30, 10, 0, false)}},
        {"a .app bundle names the group over a .app.bundle of the same name",
         {snap(1, "/Library/Tool.app.bundle/Contents/MacOS/Tool"), snap(2, "/Applications/Tool.app/Contents/MacOS/Tool"),
          snap(3, "/Other/Tool.app.bundle/Contents/MacOS/Tool")},
         {listedGroup("app:Tool", "Tool", "/Applications/Tool.app", {1, 2, 3}, 1, 0, 0, false)}},
        {"memory order, largest first, equal memory by id",
         {snap(1, "/usr/bin/b", 100), snap(2, "/usr/bin/a", 100), snap(3, "/usr/bin/c", 200)},
         {listedGroup("program:3", "c", std::nullopt, {3}, 3, 200, 0, false),
          listedGroup("program:1", "b", std::nullopt, {1}, 1, 100, 0, false),
          listedGroup("program:2", "a", std::nullopt, {2}, 2, 100, 0, false)}},
        {"no processes, no groups", {}, {}},
    };
    for (const GroupCase& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(outline(ProcessGroups::groups(c.processes)), c.groups);
        EXPECT_EQ(outline(ProcessSample(c.processes).groups), c.groups);
    }
}

// "id name [pids]" per group, sorted by id, so a table reads what each program became.
std::vector<std::string> shapes(const std::vector<ProcessGroup>& groups) {
    std::vector<std::string> out;
    for (const auto& g : groups) {
        std::string line = g.id + " " + g.name + " [";
        for (const pid_t pid : g.pids) line += (line.back() == '[' ? "" : " ") + std::to_string(pid);
        out.push_back(line + "]");
    }
    std::sort(out.begin(), out.end());
    return out;
}

const std::string kWebshop = "/home/me/code/webshop";
const std::string kNode = "/usr/bin/node";

// The machine: a busy script and an idle dev server of one runtime in two terminals,
// and an install in a third. Each is a program of its own; the shells and terminals too.
TEST(ProcessGroupsTest, EachProgramOfARuntimeIsAGroupOfItsOwn) {
    const std::vector<ProcessSnapshot> processes = {
        child(40, 1, "/usr/bin/xterm"), child(41, 1, "/usr/bin/xterm"),
        child(50, 40, "/usr/bin/bash", {"-bash"}, "/home/me"),
        child(60, 50, kNode, {"node", "scripts/busy.js"}, kWebshop),
        child(61, 40, "/usr/bin/bash", {"bash"}, kWebshop),
        child(62, 61, kNode, {"node", "server.js"}, kWebshop),
        child(63, 41, "/usr/bin/bash", {"bash", "-l"}, "/home/me/code/other"),
        child(64, 63, kNode, {"npm", "i"}, "/home/me/code/other"),
        child(65, 64, "/usr/bin/sh", {"sh", "-c", "node-gyp rebuild"}, "/home/me/code/other"),
        child(66, 65, kNode, {"node", "/home/me/code/other/node_modules/.bin/node-gyp", "rebuild"}, "/home/me/code/other"),
        child(67, 66, "/usr/bin/make", {"make"}, "/home/me/code/other/build"),
    };
    const std::vector<std::string> expected = {
        "program:40 xterm [40]",
        "program:41 xterm [41]",
        "program:50 bash — in ~ [50]",
        "program:60 node scripts/busy.js — in ~/code/webshop [60]",
        "program:61 bash — in ~/code/webshop [61]",
        "program:62 node server.js — in ~/code/webshop [62]",
        "program:63 bash -l — in ~/code/other [63]",
        "program:64 npm i — in ~/code/other [64 65 66 67]",
    };
    EXPECT_EQ(shapes(ProcessGroups::groups(processes, "/home/me")), expected);
    const auto groups = ProcessGroups::groups(processes, "/home/me");
    const auto install = std::find_if(groups.begin(), groups.end(), [](const auto& g) { return g.id == "program:64"; });
    ASSERT_NE(install, groups.end());
    EXPECT_EQ(install->mainPID, 64) << "the program's topmost process is its main one";
}

// Programs started by scripts or by other programs: a runtime started by a compiled program
// is a program of its own; the helpers of a program stay with it.
TEST(ProcessGroupsTest, ProgramTreesFollowWhoStartedWhom) {
    const std::vector<ProcessSnapshot> processes = {
        child(10, 1, "/opt/app/app"), child(11, 10, "/opt/app/app", {"/opt/app/app", "--type=renderer"}),
        child(12, 10, "/opt/app/crashpad"), child(13, 10, kNode, {"node", "worker.js"}, "/opt/app"),
        child(14, 13, "/usr/bin/esbuild"), child(15, 13, kNode, {"node", "worker.js"}, "/opt/app"),
        child(20, 1, "/usr/bin/sh", {"sh", "/home/me/dev.sh"}, kWebshop),
        child(21, 20, kNode, {"node", "server.js"}, kWebshop), child(22, 20, "/usr/bin/python3.12", {"python3", "-m", "http.server"}, kWebshop),
        child(30, 999, "/usr/bin/python3", {"python3", "train.py"}, "/srv/ml"),
        child(40, 1, "/usr/bin/sh", {"sh", "-c", "/usr/bin/ccache /usr/bin/c++ -O2 -c /srv/b/unity.cxx"}, "/srv/b"),
    };
    const std::vector<std::string> expected = {
        "program:10 app [10 11 12]",
        "program:13 node worker.js — in /opt/app [13 14 15]",
        "program:20 sh dev.sh — in ~/code/webshop [20 21 22]",
        "program:30 python3 train.py — in /srv/ml [30]",
        "program:40 sh -c ccache c++ -O2 -c unity.cxx — in /srv/b [40]",
    };
    EXPECT_EQ(shapes(ProcessGroups::groups(processes, "/home/me")), expected);
}

// A desktop launches each app in a unit of its own: all its processes are one group, except
// what a terminal inside it starts. A scope of its own (a terminal tab's) starts a program.
TEST(ProcessGroupsTest, AnAppsUnitIsOneGroupButNotTheProgramsItsTerminalsRun) {
    const std::string apps = "/user.slice/user-1000.slice/user@1000.service/app.slice/";
    const std::string firefox = apps + "app-gnome-firefox-7700.scope", konsole = apps + "app-org.kde.konsole@ab12.service";
    const std::string terminal = apps + "app-gnome-org.gnome.Terminal-5.scope", tab = apps + "vte-spawn-1f.scope";
    const std::vector<ProcessSnapshot> processes = {
        child(5, 1, "/usr/lib/systemd/systemd", {}, {}, "/user.slice/user-1000.slice/user@1000.service/init.scope"),
        child(70, 5, "/usr/lib/firefox/firefox", {}, {}, firefox),
        child(71, 70, "/usr/lib/firefox/firefox", {}, {}, firefox),
        child(72, 70, "/usr/bin/python3", {"python3", "helper.py"}, "/home/me", firefox),
        child(80, 5, "/usr/bin/konsole", {}, {}, konsole),
        child(81, 80, "/usr/bin/bash", {"bash"}, "/home/me", konsole),
        child(82, 81, kNode, {"node", "server.js"}, kWebshop, konsole),
        child(89, 5, "/usr/libexec/gnome-terminal-server", {}, {}, terminal),
        child(90, 89, "/usr/bin/zsh", {"zsh"}, "/home/me", tab),
        child(91, 90, "/usr/bin/vim", {"vim", "notes.md"}, "/home/me", tab),
    };
    const std::vector<std::string> expected = {
        "program:5 systemd [5]",
        "program:81 bash — in ~ [81]",
        "program:82 node server.js — in ~/code/webshop [82]",
        "program:90 zsh — in ~ [90]",
        "program:91 vim [91]",
        "unit:app-gnome-firefox-7700.scope firefox [70 71 72]",
        "unit:app-gnome-org.gnome.Terminal-5.scope Terminal [89]",
        "unit:app-org.kde.konsole@ab12.service konsole [80]",
    };
    EXPECT_EQ(shapes(ProcessGroups::groups(processes, "/home/me")), expected);
}

TEST(ProcessGroupsTest, ReadsTheAppOfADesktopsUnit) {
    const std::pair<const char*, std::optional<std::string>> cases[] = {
        {"/user.slice/user-1000.slice/user@1000.service/app.slice/app-gnome-firefox-7700.scope", "firefox"},
        {"/app.slice/app-org.gnome.Evince@3f1a.service", "org.gnome.Evince"},
        {"/app.slice/app-flatpak-org.mozilla.firefox-1234.scope", "org.mozilla.firefox"},
        {"/app.slice/app-gnome-gnome\\x2dterminal-77.scope", "gnome-terminal"},
        {"/app.slice/app-code-1.scope", "code"},
        {"/app.slice/app-org.gnome.Terminal.slice", std::nullopt},
        {"/app.slice/app-xdg.service", std::nullopt},
        {"/user.slice/user-1000.slice/session-2.scope", std::nullopt},
        {"/app.slice/vte-spawn-1f.scope", std::nullopt},
        {"/app.slice/app-.scope", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& [cgroup, app] : cases) EXPECT_EQ(ProcessGroups::appUnit(cgroup), app) << cgroup;
}

TEST(ProcessGroupsTest, TellsAnInteractiveShellFromAScript) {
    const std::pair<std::vector<std::string>, bool> cases[] = {
        {{"bash"}, true},           {{"-bash"}, true},           {{"bash", "-l"}, true},
        {{"bash", "--login"}, true}, {{"bash", "-i", "x.sh"}, true}, {{}, true},
        {{"bash", "build.sh"}, false}, {{"sh", "-c", "vite"}, false}, {{"sh", "-ec", "make"}, false},
    };
    for (const auto& [arguments, interactive] : cases) {
        ProcessSnapshot shell = child(5, 1, "/usr/bin/bash", arguments);
        EXPECT_EQ(ProcessGroups::isInteractiveShell(shell), interactive) << DeveloperTools::commandLine(arguments);
    }
    EXPECT_FALSE(ProcessGroups::isInteractiveShell(child(5, 1, kNode, {"node"}))) << "only shells are shells";
    for (const char* name : {"node", "python3.12", "php8.2", "ruby", "perl", "java", "dotnet", "bun", "deno", "zsh"})
        EXPECT_TRUE(ProcessGroups::isInterpreter(name)) << name;
    for (const char* name : {"firefox", "make", "python-config", "gcc"}) EXPECT_FALSE(ProcessGroups::isInterpreter(name)) << name;
}

// A group holding one process the session stands on is protected, by fact or by name.
TEST(ProcessGroupsTest, AGroupWithASessionProcessIsProtected) {
    ProcessSnapshot script = child(20, 1, "/usr/bin/sh", {"sh", "/etc/X11/Xsession"}, "/home/me");
    script.isSessionProcess = true;
    const std::vector<ProcessSnapshot> processes = {script, child(21, 1, "/usr/bin/Xvfb", {"Xvfb", ":5"}),
                                                    child(22, 1, "/usr/bin/dbus-run-session"),
                                                    child(23, 1, kNode, {"node", "server.js"}, kWebshop)};
    std::map<std::string, bool> protectedByName;
    for (const auto& g : ProcessGroups::groups(processes, "/home/me")) protectedByName[g.name] = g.isProtected;
    EXPECT_EQ(protectedByName, (std::map<std::string, bool>{{"sh Xsession — in ~", true},
                                                            {"Xvfb", true},
                                                            {"dbus-run-session", true},
                                                            {"node server.js — in ~/code/webshop", false}}));
}

TEST(ProcessGroupsTest, DescribesEachMember) {
    const auto groups = ProcessGroups::groups(
        {child(60, 1, kNode, {kNode, kWebshop + "/scripts/busy.js"}, kWebshop), child(61, 60, "/usr/bin/esbuild"),
         child(62, 60, "", {}, "/tmp")},
        "/home/me");
    ASSERT_EQ(groups.size(), 1u);
    EXPECT_EQ(groups[0].processes,
              (std::vector<ProcessGroup::Process>{{60, "node scripts/busy.js", "~/code/webshop"},
                                                  {61, "esbuild", std::nullopt},
                                                  {62, "", "/tmp"}}));
}

TEST(ProcessGroupsTest, KnowsSystemServicePaths) {
    const struct {
        const char* path;
        bool system;
    } cases[] = {
        {"", true},
        {"/System/Library/CoreServices/Finder.app/Contents/MacOS/Finder", true},
        {"/Volumes/x/System/Library/y", true},
        {"/usr/libexec/logd", true},
        {"/usr/sbin/cron", true},
        {"/sbin/init", true},
        {"/Library/Apple/usr/bin/x", true},
        {"/usr/lib/systemd/systemd", true},
        {"/lib/systemd/systemd-journald", true},
        {"/usr/bin/node", false},
        {"/home/me/usr/sbin/tool", false},
        {"/Applications/Editor.app/Contents/MacOS/Editor", false},
    };
    for (const auto& c : cases) EXPECT_EQ(ProcessGroups::isSystemService(c.path), c.system) << c.path;
}

} // namespace
} // namespace tidra
