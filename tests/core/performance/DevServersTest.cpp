#include "performance/DeveloperTools.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

namespace tidra {
namespace {

using Stop = DeveloperTool::Stop;
using State = TCPSocket::State;

const std::string kHome = "/home/me";
const std::string kSite = "/home/me/site";
const auto kEpoch = std::chrono::system_clock::time_point(std::chrono::seconds(1'700'000'000));

// Canned answers of the process inspection, with a record of what was asked.
class DevServersTest : public ::testing::Test {
protected:
    ProcessSnapshot& add(pid_t pid, pid_t parent, std::string path, std::vector<std::string> arguments = {},
                         std::int64_t memory = 10, double cpu = 0) {
        ProcessSnapshot p;
        p.pid = pid;
        p.parentPID = parent;
        p.path = std::move(path);
        p.name = p.path.substr(p.path.rfind('/') + 1);
        p.memoryBytes = memory;
        p.cpuPercent = cpu;
        p.started = kEpoch + std::chrono::seconds(pid);
        args[pid] = std::move(arguments);
        processes.push_back(p);
        return processes.back();
    }

    DeveloperTools::Inspection inspection() {
        return {[this](pid_t pid) { return args.count(pid) ? args[pid] : std::vector<std::string>{}; },
                [this](pid_t pid) {
                    folderAsked.insert(pid);
                    return folders.count(pid) ? std::optional(folders[pid]) : std::nullopt;
                },
                [this](pid_t pid) {
                    socketsAsked.insert(pid);
                    return sockets[pid];
                }};
    }

    std::vector<DeveloperTool> servers() {
        return DeveloperTools::devServers(processes, inspection(), kHome);
    }

    const DeveloperTool* tool(const std::vector<DeveloperTool>& tools, const std::string& id) {
        for (const auto& t : tools)
            if (t.id == id) return &t;
        return nullptr;
    }

    std::vector<ProcessSnapshot> processes;
    std::map<pid_t, std::vector<std::string>> args;
    std::map<pid_t, std::string> folders;
    std::map<pid_t, std::vector<TCPSocket>> sockets;
    std::set<pid_t> folderAsked, socketsAsked;
};

TEST_F(DevServersTest, GroupsEachChainUnderItsTopmostDevProcess) {
    add(50, 1, "/usr/bin/zsh", {"-zsh"});
    add(100, 50, "/usr/bin/node", {"node", "/usr/lib/node_modules/npm/bin/npm-cli.js", "run", "dev"}, 40);
    add(101, 100, "/usr/bin/dash", {"sh", "-c", "vite"}, 1);
    add(102, 101, "/usr/bin/node", {"node", kSite + "/node_modules/.bin/vite", "--port", "5173"}, 300, 2.5);
    add(103, 102, kSite + "/node_modules/@esbuild/linux-x64/bin/esbuild", {"esbuild", "--service"}, 20, 0.5);
    add(104, 102, "/usr/sbin/helper");  // a system program joins no tree
    folders = {{100, kSite}, {102, kSite}};
    sockets[102] = {{State::listening, 5173, 0}, {State::listening, 5173, 0}, {State::listening, 24678, 0},
                    {State::established, 5173, 50001}, {State::established, 5173, 50002},
                    {State::established, 24678, 5173}, {State::established, 40000, 443}};
    sockets[103] = {{State::established, 5173, 50003}, {State::other, 5173, 50004}};
    processes[3].responsiblePath = "/Applications/Terminal.app/Contents/MacOS/Terminal";

    const auto tools = servers();
    ASSERT_EQ(tools.size(), 2u);
    EXPECT_EQ(tools[0].id, "tree-100");
    EXPECT_EQ(tools[0].title, "node npm/bin/npm-cli.js run dev") << "accepted for its member's command line";
    EXPECT_EQ(tools[0].pids, (std::vector<pid_t>{100, 101}));
    EXPECT_EQ(tools[0].detail, "2 processes in ~/site.");

    const DeveloperTool& vite = tools[1];
    DeveloperTool expected;
    expected.id = "tree-102";
    expected.kind = DeveloperTool::Kind::devServer;
    expected.title = "Vite dev server";
    expected.detail = "2 processes in ~/site, listening on 2 ports. Started from Terminal.";
    expected.consequence = "Stops both processes. Start it again when you need it.";
    expected.pids = {102, 103};
    expected.memoryBytes = 320;
    expected.cpuPercent = 3.0;
    expected.stop = Stop::Signal{{{102, kEpoch + std::chrono::seconds(102)}, {103, kEpoch + std::chrono::seconds(103)}}};
    expected.started = kEpoch + std::chrono::seconds(102);
    expected.folder = kSite;
    expected.clients = 3;
    EXPECT_EQ(vite, expected);

    EXPECT_EQ(folderAsked, (std::set<pid_t>{100, 102})) << "working folders only of roots";
}

TEST_F(DevServersTest, ShellsWithoutDevAncestorsAndUnusableFoldersGiveNothing) {
    add(10, 1, "/usr/bin/bash", {"bash"});
    add(11, 10, "/usr/bin/make", {"make", "--watch"});
    struct Row {
        std::optional<std::string> folder;
        bool accepted;
    } rows[] = {{kSite, true},
                {"/elsewhere/project", true},
                {kHome, false},
                {"/", false},
                {kHome + "/Library/Caches/x", false},
                {"/opt/Tool.app/Contents", false},
                {std::nullopt, false}};
    for (const Row& row : rows) {
        processes.resize(2);
        add(20, 1, "/usr/bin/node", {"node", "vite"});
        if (row.folder) folders[20] = *row.folder;
        else folders.erase(20);
        socketsAsked.clear();
        const auto tools = servers();
        EXPECT_EQ(tools.size(), row.accepted ? 1u : 0u) << row.folder.value_or("(none)");
        EXPECT_EQ(socketsAsked.empty(), !row.accepted) << "sockets only of trees in work folders";
    }
    EXPECT_FALSE(folderAsked.count(10) || folderAsked.count(11));
}

TEST_F(DevServersTest, AcceptsANamedPortedOrOrphanedTree) {
    struct Row {
        std::string label;
        pid_t parent;
        std::string path;
        std::vector<std::string> arguments;
        std::vector<TCPSocket> sockets;
        std::optional<std::string> title;
        std::string detailEnd;
    };
    const std::string bin = kSite + "/node_modules/.bin/";
    const std::vector<Row> rows = {
        {"plain script", 30, "/usr/bin/node", {"node", kSite + "/server/index.js"}, {}, std::nullopt, ""},
        {"plain script on a port", 30, "/usr/bin/node", {"node", kSite + "/server/index.js", "--inspect"},
         {{State::listening, 3000, 0}}, "node server/index.js --inspect", ", listening on port 3000."},
        {"unreadable arguments on a port", 30, "/usr/bin/node", {}, {{State::listening, 3000, 0}}, "node",
         ", listening on port 3000."},
        {"native bundler under node_modules", 30, bin + "esbuild", {"esbuild"}, {{State::listening, 8000, 0}},
         "esbuild", ", listening on port 8000."},
        {"orphan under node_modules", 1, bin + "tailwindcss", {"tailwindcss", "-i", "a.css"}, {}, "tailwindcss",
         ". Whatever started it has quit, so it was most likely left behind."},
        {"global node under init", 1, "/usr/bin/node", {"node", "script.js"}, {}, std::nullopt, ""},
        {"orphan adopted by the user's service manager", 2, bin + "x", {"x"}, {}, "x",
         ". Whatever started it has quit, so it was most likely left behind."},
    };
    for (const Row& row : rows) {
        processes.clear();
        add(2, 1, "/usr/lib/systemd/systemd", {"/lib/systemd/systemd", "--user"});
        add(30, 2, "/usr/bin/bash", {"bash"});
        add(40, row.parent, row.path, row.arguments);
        folders[40] = kSite;
        sockets[40] = row.sockets;
        const auto tools = servers();
        ASSERT_EQ(tools.size(), row.title ? 1u : 0u) << row.label;
        if (!row.title) continue;
        EXPECT_EQ(tools[0].title, *row.title) << row.label;
        EXPECT_EQ(tools[0].detail, "In ~/site" + row.detailEnd) << row.label;
        EXPECT_EQ(tools[0].consequence, "Stops it. Start it again when you need it.");
    }
}

TEST_F(DevServersTest, TheWalkUpStopsAfterSixtyFourMoves) {
    add(3000, 1, "/usr/bin/node", {"node", "vite"});
    add(3001, 3000, "/usr/bin/node", {"node", "worker.js"});
    for (pid_t pid = 3002; pid <= 3066; ++pid) add(pid, pid - 1, "/usr/bin/dash", {"sh"});
    folders[3000] = kSite;
    const auto tools = servers();
    ASSERT_EQ(tools.size(), 1u);
    // 3064 reaches 3000 in 64 moves; 3065 stops on 3001, whose parent is a dev process; 3066 on a shell.
    std::vector<pid_t> members;
    for (pid_t pid = 3000; pid <= 3064; ++pid) members.push_back(pid);
    EXPECT_EQ(tools[0].pids, members);
    EXPECT_EQ(tools[0].consequence, "Stops all 65 processes. Start it again when you need it.");
    EXPECT_EQ(tools[0].detail, "65 processes in ~/site.");
}

TEST_F(DevServersTest, TheFirstOfTwoSnapshotsWithOnePidWins) {
    add(7, 1, "/usr/bin/node", {"node", "vite"}, 5);
    add(7, 1, "/usr/bin/bash", {"bash"}, 9);
    args[7] = {"node", "vite"};
    folders[7] = kSite;
    const auto tools = servers();
    ASSERT_EQ(tools.size(), 1u);
    EXPECT_EQ(tools[0].title, "Vite dev server");
}

TEST(DevServerNamesTest, FirstMatchingCommandWins) {
    const std::vector<std::pair<std::string, std::optional<std::string>>> rows = {
        {"node vite --watch", "Vite dev server"},
        {"node next dev", "Next.js dev server"},
        {"next-server (v14)", "Next.js dev server"},
        {"webpack serve --hot", "webpack dev server"},
        {"node webpack-dev-server", "webpack dev server"},
        {"wrangler dev", "Wrangler dev server"},
        {"astro dev", "Astro dev server"},
        {"nuxi dev", "Nuxt dev server"},
        {"nuxt dev", "Nuxt dev server"},
        {"remix dev", "Remix dev server"},
        {"react-scripts start", "React dev server"},
        {"nodemon app.js --watch", "nodemon watcher"},
        {"tsx watch src", "tsx watcher"},
        {"tsc --watch", "TypeScript watcher"},
        {"tsc -w", "TypeScript watcher"},
        {"node --watch app.js", "File watcher"},
        {"bun --hot app.ts", "Dev server"},
        {"node Vite", std::nullopt},
        {"next build", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& [line, name] : rows) EXPECT_EQ(DeveloperTools::devServerName(line), name) << line;
}

TEST(DevServerNamesTest, WorkFolders) {
    const std::vector<std::pair<std::string, bool>> rows = {
        {"/", false},           {"/home/me", false},           {"/home/me/Library", false},
        {"/home/me/Library/x", false}, {"/home/me/x.app/y", false}, {"/home/me/Librarian", true},
        {"/home/me/site", true}, {"/srv/site", true},           {"/home/meter", true},
    };
    for (const auto& [folder, work] : rows) EXPECT_EQ(DeveloperTools::isWorkFolder(folder, "/home/me"), work) << folder;
}

TEST(DevServerNamesTest, SummariesAreShortAndCutBetweenCharacters) {
    const std::string site = "/home/me/site";
    const std::vector<std::pair<std::vector<std::string>, std::string>> rows = {
        {{}, ""},
        {{"/usr/bin/node", site + "/node_modules/.bin/vite", "--port", "5173"}, "node vite --port 5173"},
        {{"node", site + "/server/index.js", "--inspect"}, "node server/index.js --inspect"},
        {{"node", site + "/node_modules/next/dist/bin/next", "dev"}, "node next/dist/bin/next dev"},
        {{"node", "/opt/tools/run.js", site, site + "x/a.js"}, "node run.js site a.js"},
        {{"/usr/bin/bun", "run", "dev"}, "bun run dev"},
    };
    for (const auto& [arguments, text] : rows) EXPECT_EQ(DeveloperTools::summary(arguments, site), text);

    const std::string exact = "node " + std::string(75, 'a');
    EXPECT_EQ(DeveloperTools::summary({"node", std::string(75, 'a')}, site), exact);
    EXPECT_EQ(DeveloperTools::summary({"node", std::string(76, 'a')}, site), "node " + std::string(74, 'a') + "…");
    // "é" as e + combining accent and a flag of two code points are one character each.
    std::string accents;
    for (int i = 0; i < 80; ++i) accents += "e\xCC\x81";
    EXPECT_EQ(DeveloperTools::summary({"node", accents}, site),
              "node " + accents.substr(0, 74 * 3) + "…");
    std::string flags;
    for (int i = 0; i < 80; ++i) flags += "\xF0\x9F\x87\xA9\xF0\x9F\x87\xAA";
    EXPECT_EQ(DeveloperTools::summary({"node", flags}, site), "node " + flags.substr(0, 74 * 8) + "…");
    EXPECT_EQ(DeveloperTools::summary({"node", "bad\xFF"}, site), "node bad\xEF\xBF\xBD");
}

} // namespace
} // namespace tidra
