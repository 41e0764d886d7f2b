#include "demo/DemoMac.h"
#include "DemoMoment.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <numeric>

namespace tidra {
namespace {

using namespace std::chrono_literals;
using Kind = DeveloperTool::Kind;
using State = TCPSocket::State;

using test::kHome;
using test::kNow;

DemoMac::Pids range(pid_t first, pid_t last) {
    DemoMac::Pids pids;
    for (pid_t pid = first; pid <= last; ++pid) pids.insert(pid);
    return pids;
}

const DemoMac::Pids kCheckoutTree = range(4046, 4062);

std::int64_t memoryOf(const std::vector<DemoMac::Process>& rows, pid_t first, pid_t last) {
    std::int64_t sum = 0;
    for (const auto& row : rows)
        if (row.snapshot.pid >= first && row.snapshot.pid <= last) sum += row.snapshot.memoryBytes;
    return sum;
}

TEST(DemoProcessesTest, TableHoldsSixtySixRowsInPidOrderWithTheirTotals) {
    const auto rows = DemoMac::processes(kHome, kNow);
    ASSERT_EQ(rows.size(), 66u);
    for (std::size_t i = 0; i < rows.size(); ++i) EXPECT_EQ(rows[i].snapshot.pid, pid_t(4001 + i));
    EXPECT_EQ(memoryOf(rows, 4001, 4066), 24'626'000'000);
    EXPECT_EQ(memoryOf(rows, 4001, 4018), 4'886'000'000);
    EXPECT_EQ(memoryOf(rows, 4046, 4062), 5'455'000'000);
    EXPECT_EQ(rows, DemoMac::processes(kHome, kNow));
}

TEST(DemoProcessesTest, RowsDeriveNamesArgumentsAndStartTimes) {
    const auto rows = DemoMac::processes(kHome, kNow);
    auto row = [&](pid_t pid) { return rows[std::size_t(pid - 4001)]; };

    EXPECT_EQ(row(4002).snapshot.name, "Google Chrome Helper (Renderer)");
    EXPECT_EQ(row(4002).snapshot.memoryBytes, 140'000'000);
    EXPECT_EQ(row(4018).snapshot.memoryBytes, 336'000'000);
    EXPECT_EQ(row(4035).snapshot.name, "java");
    EXPECT_EQ(row(4001).arguments, std::vector<std::string>{row(4001).snapshot.path});
    EXPECT_EQ(row(4001).snapshot.started, kNow - 30h);
    EXPECT_EQ(row(4066).snapshot.started, kNow - 33'480s);
    EXPECT_EQ(row(4039).snapshot.responsiblePath, "/Applications/Docker.app/Contents/MacOS/com.docker.virtualization");
    EXPECT_EQ(row(4046).snapshot.responsiblePath, "/Applications/Cursor.app/Contents/MacOS/Cursor");
    EXPECT_EQ(row(4065).snapshot.responsiblePath, "/System/Applications/Utilities/Terminal.app/Contents/MacOS/Terminal");
    EXPECT_EQ(row(4066).snapshot.responsiblePath, "");
    EXPECT_EQ(row(4027).snapshot.name, row(4028).snapshot.name);

    EXPECT_EQ(row(4047).snapshot.path, "/Users/demo/.bun/bin/bun");
    EXPECT_EQ(row(4047).arguments, (std::vector<std::string>{"bun", "run", "dev"}));
    EXPECT_EQ(row(4049).folder, "/Users/demo/Projects/acme-web-worktrees/checkout-flow/apps/web");
    EXPECT_EQ(row(4062).folder, "/Users/demo/Projects/acme-web-worktrees/checkout-flow/packages/email");
    // Suffixes are appended to the home exactly as given.
    const auto slashed = DemoMac::processes("/Users/demo/", kNow);
    EXPECT_EQ(slashed[46].snapshot.path, "/Users/demo//.bun/bin/bun");
}

TEST(DemoProcessesTest, SocketsListPortsThenClients) {
    const auto rows = DemoMac::processes(kHome, kNow);
    EXPECT_EQ(rows[4064 - 4001].sockets(),
              (std::vector<TCPSocket>{{State::listening, 5174, 0}, {State::established, 5174, 61'000}}));
    EXPECT_EQ(rows[4049 - 4001].sockets(), (std::vector<TCPSocket>{{State::listening, 3000, 0}}));
    EXPECT_TRUE(rows[4045 - 4001].sockets().empty());
}

TEST(DemoProcessesTest, SampleLeavesOutGoneProcesses) {
    const auto all = DemoMac::sample(kHome, {}, kNow);
    ASSERT_EQ(all.processes.size(), 66u);
    EXPECT_EQ(all.processes.front().pid, 4001);
    EXPECT_EQ(all.processes.back().pid, 4066);

    const auto unknownGone = DemoMac::sample(kHome, {1, 99, 5000}, kNow);
    EXPECT_EQ(unknownGone.processes, all.processes);
    EXPECT_EQ(unknownGone.groups, all.groups);

    const auto without = DemoMac::sample(kHome, kCheckoutTree, kNow);
    EXPECT_EQ(without.processes.size(), 49u);
    for (const auto& p : without.processes) EXPECT_FALSE(kCheckoutTree.contains(p.pid));

    // The virtual machine counts with Docker through its responsible path.
    const auto docker = std::find_if(all.groups.begin(), all.groups.end(), [](const ProcessGroup& g) {
        return std::find(g.pids.begin(), g.pids.end(), 4039) != g.pids.end();
    });
    ASSERT_NE(docker, all.groups.end());
    EXPECT_EQ(docker->name, "Docker");

    // The dev servers count with the editor and the terminal whose shells started them.
    const auto groupOf = [&](pid_t pid) {
        const auto it = std::find_if(all.groups.begin(), all.groups.end(), [pid](const ProcessGroup& g) {
            return std::find(g.pids.begin(), g.pids.end(), pid) != g.pids.end();
        });
        return it == all.groups.end() ? std::string("(none)") : it->name;
    };
    for (pid_t pid = 4046; pid <= 4062; ++pid) EXPECT_EQ(groupOf(pid), "Cursor") << pid;
    for (pid_t pid = 4063; pid <= 4065; ++pid) EXPECT_EQ(groupOf(pid), "Terminal") << pid;
    EXPECT_EQ(groupOf(4066), "workerd");
    EXPECT_EQ(std::count_if(all.groups.begin(), all.groups.end(), [](const ProcessGroup& g) { return g.name == "node"; }), 0);
}

TEST(DemoProcessesTest, MemoryOfPids) {
    EXPECT_EQ(DemoMac::memory(DemoMac::Pids{}, kHome), 0);
    EXPECT_EQ(DemoMac::memory({4039}, kHome), 4'500'000'000);
    EXPECT_EQ(DemoMac::memory({4035, 4036}, kHome), 1'900'000'000);
    EXPECT_EQ(DemoMac::memory({4035, 12}, kHome), 1'280'000'000);
    EXPECT_EQ(DemoMac::memory(range(4001, 4066), kHome), 24'626'000'000);
}

std::vector<std::string> ids(const std::vector<DeveloperTool>& tools) {
    std::vector<std::string> out;
    for (const auto& tool : tools) out.push_back(tool.id);
    return out;
}

// The engine's own recogniser finds every tool the rows were made to carry.
TEST(DemoProcessesTest, RecogniserFindsTheDemoTools) {
    const auto tools = DemoMac::developerTools(kHome, {}, kNow);
    EXPECT_EQ(ids(tools), (std::vector<std::string>{"tree-4047", "docker", "4035", "simulator", "4036", "tree-4064",
                                                    "tree-4066"}));
    std::map<std::string, Kind> kinds;
    for (const auto& tool : tools) kinds[tool.id] = tool.kind;
    EXPECT_EQ(kinds["tree-4047"], Kind::devServer);
    EXPECT_EQ(kinds["docker"], Kind::containers);
    EXPECT_EQ(kinds["4035"], Kind::buildDaemon);
    EXPECT_EQ(kinds["4036"], Kind::buildDaemon);
    EXPECT_EQ(kinds["simulator"], Kind::simulator);

    const auto& checkout = tools[0];
    EXPECT_EQ(checkout.pids.size(), 16u);
    EXPECT_EQ(checkout.folder, kHome + "/Projects/acme-web-worktrees/checkout-flow");
    EXPECT_EQ(checkout.started, kNow - 11'520s);
    EXPECT_EQ(tools[5].clients, 1);
    EXPECT_EQ(tools[6].title, "workerd");
    EXPECT_EQ(tools[1].pids, (std::vector<pid_t>{4037, 4038, 4039, 4040}));
}

TEST(DemoProcessesTest, StoppedToolsStayGone) {
    const auto tools = DemoMac::developerTools(kHome, kCheckoutTree, kNow);
    EXPECT_EQ(ids(tools), (std::vector<std::string>{"docker", "4035", "simulator", "4036", "tree-4064", "tree-4066"}));
    const auto noDocker = ids(DemoMac::developerTools(kHome, range(4037, 4040), kNow));
    EXPECT_EQ(std::count(noDocker.begin(), noDocker.end(), "docker"), 0);
    EXPECT_EQ(DemoMac::developerTools(kHome, {7, 4100}, kNow), DemoMac::developerTools(kHome, {}, kNow));
}

TEST(DemoProcessesTest, IdleTimesCoverDevServersOnly) {
    const auto idle = DemoMac::idleTimes(DemoMac::developerTools(kHome, {}, kNow));
    EXPECT_EQ(idle, (std::map<std::string, double>{{"tree-4047", 10'260}, {"tree-4064", 0}, {"tree-4066", 33'480}}));

    auto tool = [](Kind kind, std::string title, int clients) {
        DeveloperTool t;
        t.id = title + std::to_string(clients);
        t.kind = kind;
        t.title = title;
        t.clients = clients;
        return t;
    };
    const auto made = DemoMac::idleTimes({tool(Kind::devServer, "workerd", 1), tool(Kind::devServer, "workerd", 0),
                                          tool(Kind::devServer, "Vite dev server", 0), tool(Kind::buildDaemon, "x", 0),
                                          tool(Kind::simulator, "y", 0), tool(Kind::containers, "z", 0)});
    EXPECT_EQ(made, (std::map<std::string, double>{{"workerd1", 0}, {"workerd0", 33'480}, {"Vite dev server0", 10'260}}));
    EXPECT_TRUE(DemoMac::idleTimes({}).empty());
}

} // namespace
} // namespace tidra
