#include "performance/DeveloperTools.h"

#include <gtest/gtest.h>

#include <map>

namespace tidra {
namespace {

const std::string kMyHome = "/home/me";

ProcessSnapshot process(pid_t pid, pid_t parent, std::string path, std::int64_t memory) {
    ProcessSnapshot p;
    p.pid = pid;
    p.parentPID = parent;
    p.path = std::move(path);
    p.name = p.path.substr(p.path.rfind('/') + 1);
    p.memoryBytes = memory;
    p.started = std::chrono::system_clock::time_point(std::chrono::seconds(pid));
    return p;
}

std::vector<std::string> ids(const std::vector<DeveloperTool>& tools) {
    std::vector<std::string> out;
    for (const auto& tool : tools) out.push_back(tool.id);
    return out;
}

class DeveloperToolsFindTest : public ::testing::Test {
protected:
    DeveloperTools::Inspection inspection() {
        return {[this](pid_t pid) {
                    ++argumentReads[pid];
                    return args[pid];
                },
                [this](pid_t pid) { return folders.count(pid) ? std::optional(folders[pid]) : std::nullopt; },
                [this](pid_t pid) { return sockets[pid]; }};
    }
    std::vector<DeveloperTool> find(std::vector<ProcessSnapshot> processes) {
        return DeveloperTools::find(ProcessSample(std::move(processes)), inspection(), kMyHome);
    }

    std::map<pid_t, std::vector<std::string>> args;
    std::map<pid_t, std::string> folders;
    std::map<pid_t, std::vector<TCPSocket>> sockets;
    std::map<pid_t, int> argumentReads;
};

TEST_F(DeveloperToolsFindTest, AnEmptySampleHasNoTools) { EXPECT_TRUE(find({}).empty()); }

TEST_F(DeveloperToolsFindTest, LargestFirstAndEqualMemoryInOrderOfDiscovery) {
    args = {{5, {"java", "GradleDaemon"}}, {6, {"node", "tsserver"}}, {7, {"node", "vite"}},
            {8, {"java", "KotlinCompileDaemon"}}};
    folders[7] = "/home/me/site";
    const auto tools = find({
        process(9, 1, "/opt/docker-desktop/bin/com.docker.backend", 100),
        process(10, 1, "/x/launchd_sim", 60),
        process(11, 10, "/Library/Developer/CoreSimulator/Volumes/iOS/x", 40),
        process(7, 1, "/usr/bin/node", 100),
        process(5, 1, "/usr/lib/jvm/bin/java", 100),
        process(6, 1, "/usr/bin/node", 100),
        process(8, 1, "/usr/lib/jvm/bin/java", 500),
    });
    EXPECT_EQ(ids(tools), (std::vector<std::string>{"8", "5", "6", "tree-7", "simulator", "docker"}));
}

TEST_F(DeveloperToolsFindTest, EachProcessLandsInOnePlace) {
    // Docker before the simulators and the emulator rule, simulators before classification,
    // classification before dev servers.
    args = {{20, {"qemu-system-x86_64", "-avd", "x"}},
            {21, {"java", "GradleDaemon"}},
            {31, {"node", "tsserver"}},
            {40, {"node", "vite"}},
            {41, {"node", "tsserver"}},
            {42, {"node", "vite"}}};
    folders = {{40, "/home/me/site"}, {41, "/home/me/site"}, {42, "/home/me/site"}};
    const auto tools = find({
        process(20, 1, "/opt/docker-desktop/bin/qemu-system-x86_64", 1000),
        process(21, 1, "/Applications/Docker.app/Contents/java", 1000),
        process(30, 1, "/x/launchd_sim", 10),
        process(31, 30, "/Applications/Simulator.app/Contents/node", 10),
        process(40, 1, "/usr/bin/node", 5),
        process(41, 40, "/usr/bin/node", 5),
        process(42, 41, "/usr/bin/node", 5),
    });
    EXPECT_EQ(ids(tools), (std::vector<std::string>{"simulator", "41", "tree-40", "tree-42"}));
    EXPECT_EQ(tools[0].pids, (std::vector<pid_t>{30, 31}));
    EXPECT_EQ(tools[2].pids, (std::vector<pid_t>{40})) << "the TypeScript server is a tool of its own, not a member";
    EXPECT_EQ(tools[3].pids, (std::vector<pid_t>{42}));
    EXPECT_EQ(argumentReads[20] + argumentReads[21] + argumentReads[31], 0);
}

} // namespace
} // namespace tidra
