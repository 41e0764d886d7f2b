#include "performance/ProcessGroups.h"
#include "performance/ProcessSample.h"

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

ProcessGroup listedGroup(std::string id, std::string name, std::optional<std::string> bundle, std::vector<pid_t> pids,
                   pid_t main, std::int64_t memory, double cpu, bool system) {
    return {std::move(id), std::move(name), std::move(bundle), std::move(pids), main, memory, cpu, system};
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
         {listedGroup("logd", "logd", std::nullopt, {7, 8}, 7, 10, 0, true),
          listedGroup("kworker", "kworker", std::nullopt, {9}, 9, 1, 0, true)}},
        {"a program started from an app's shell is that app's work; a bundled helper stays in its own bundle",
         {snap(21, "/bin/zsh", 5, 0, kEditorPath), snap(22, "/opt/homebrew/bin/node", 300, 2, kEditorPath),
          snap(23, "/Applications/Other.app/Contents/MacOS/Other", 40, 0, kEditorPath),
          snap(24, "/opt/homebrew/bin/node", 100, 0, "/bin/zsh"), snap(9, kEditorPath, 10, 3)},
         {listedGroup("app:Editor", "Editor", "/Applications/Editor.app", {21, 22, 9}, 9, 315, 5, false),
          listedGroup("node", "node", std::nullopt, {24}, 24, 100, 0, false),
          listedGroup("app:Other", "Other", "/Applications/Other.app", {23}, 23, 40, 0, false)}},
        {"one member outside the system folders makes the group a user's",
         {snap(15, "/usr/sbin/sshd"), snap(16, "/home/me/bin/sshd")},
         {listedGroup("sshd", "sshd", std::nullopt, {15, 16}, 15, 0, 0, false)}},
        {"one executable name is one group wherever it lives",
         {snap(30, "/usr/local/bin/node", 10), snap(12, "/opt/homebrew/bin/node", 20)},
         {listedGroup("node", "node", std::nullopt, {30, 12}, 12, 30, 0, false)}},
        {"a .app bundle names the group over a .app.bundle of the same name",
         {snap(1, "/Library/Tool.app.bundle/Contents/MacOS/Tool"), snap(2, "/Applications/Tool.app/Contents/MacOS/Tool"),
          snap(3, "/Other/Tool.app.bundle/Contents/MacOS/Tool")},
         {listedGroup("app:Tool", "Tool", "/Applications/Tool.app", {1, 2, 3}, 1, 0, 0, false)}},
        {"memory order, largest first, equal memory by id",
         {snap(1, "/usr/bin/b", 100), snap(2, "/usr/bin/a", 100), snap(3, "/usr/bin/c", 200)},
         {listedGroup("c", "c", std::nullopt, {3}, 3, 200, 0, false), listedGroup("a", "a", std::nullopt, {2}, 2, 100, 0, false),
          listedGroup("b", "b", std::nullopt, {1}, 1, 100, 0, false)}},
        {"no processes, no groups", {}, {}},
    };
    for (const GroupCase& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(ProcessGroups::groups(c.processes), c.groups);
        EXPECT_EQ(ProcessSample(c.processes).groups, c.groups);
    }
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
