#include "demo/DemoMac.h"

#include "demo/DemoAge.h"
#include "performance/DeveloperTools.h"
#include "platform/PathText.h"

#include <unordered_map>

namespace tidra::DemoMac {
namespace {

// One table row before the pid is assigned; memory in millions of bytes, age in seconds.
struct Row {
    pid_t parent;
    std::string path;
    std::int64_t megabytes;
    double cpu;
    std::int64_t age;
    std::vector<std::string> arguments = {};
    std::optional<std::string> folder = {};
    std::vector<int> ports = {};
    int clients = 0;
    std::string responsible = {};
};

struct Paths {
    explicit Paths(const std::string& home)
        : home(home), checkout(home + "/Projects/acme-web-worktrees/checkout-flow"), modules(checkout + "/node_modules"),
          pixel(home + "/Projects/pixel-notes-web"), acme(home + "/Projects/acme-web"),
          gradle(home + "/.gradle/wrapper/dists/gradle-8.14.3-bin/cv11ve7ro1n3o1j4so8xd9n66/gradle-8.14.3") {}
    std::string home, checkout, modules, pixel, acme, gradle;
    static constexpr const char* node = "/opt/homebrew/bin/node";
    static constexpr const char* java = "/Applications/Android Studio.app/Contents/jbr/Contents/Home/bin/java";
    static constexpr const char* workerd = "/@cloudflare/workerd-darwin-arm64/bin/workerd";
    static constexpr const char* esbuild = "/@esbuild/darwin-arm64/bin/esbuild";
    static constexpr const char* runtime =
        "/Library/Developer/CoreSimulator/Volumes/iOS_23A343/Library/Developer/CoreSimulator/Profiles/Runtimes/"
        "iOS 26.0.simruntime/Contents/Resources/RuntimeRoot";
};

constexpr std::int64_t hoursOld30 = 108'000, appsAge = 720'000;
constexpr const char* cursorPath = "/Applications/Cursor.app/Contents/MacOS/Cursor";
constexpr const char* terminalPath = "/System/Applications/Utilities/Terminal.app/Contents/MacOS/Terminal";

void addApps(std::vector<Row>& rows) {
    rows.push_back({1, "/Applications/Google Chrome.app/Contents/MacOS/Google Chrome", 610, 2.3, hoursOld30});
    for (int i = 0; i <= 16; ++i)
        rows.push_back({4001,
                        "/Applications/Google Chrome.app/Contents/Frameworks/Google Chrome Framework.framework/Helpers/"
                        "Google Chrome Helper (Renderer).app/Contents/MacOS/Google Chrome Helper (Renderer)",
                        140 + (41 * i) % 230, i < 3 ? 1.1 : 0.1, hoursOld30});
    rows.push_back({1, "/Applications/Xcode.app/Contents/MacOS/Xcode", 1840, 0.8, 18'000});
    rows.push_back({4019,
                    "/Applications/Xcode.app/Contents/SharedFrameworks/SourceKit.framework/Versions/A/XPCServices/"
                    "SourceKitService.xpc/Contents/MacOS/SourceKitService",
                    460, 0.0, 18'000});
    rows.push_back({1, cursorPath, 430, 1.9, 21'600});
    for (std::int64_t megabytes : {310, 240, 180, 150})
        rows.push_back({4021,
                        "/Applications/Cursor.app/Contents/Frameworks/Cursor Helper (Renderer).app/Contents/MacOS/"
                        "Cursor Helper (Renderer)",
                        megabytes, 0.4, 21'600});
    const std::string slackHelper =
        "/Applications/Slack.app/Contents/Frameworks/Slack Helper (Renderer).app/Contents/MacOS/Slack Helper (Renderer)";
    rows.push_back({1, "/Applications/Slack.app/Contents/MacOS/Slack", 360, 0.3, hoursOld30});
    rows.push_back({4026, slackHelper, 210, 0.0, hoursOld30});
    rows.push_back({4026, slackHelper, 140, 0.0, hoursOld30});
    rows.push_back({1, "/Applications/Spotify.app/Contents/MacOS/Spotify", 290, 0.6, hoursOld30});
    rows.push_back({1, terminalPath, 180, 0.2, 187'200});
    rows.push_back({1, "/System/Library/CoreServices/Finder.app/Contents/MacOS/Finder", 130, 0.1, appsAge});
    rows.push_back({1, "/System/Library/CoreServices/loginwindow.app/Contents/MacOS/loginwindow", 150, 0.0, appsAge});
    rows.push_back({1, "/System/Library/CoreServices/Spotlight.app/Contents/MacOS/Spotlight", 120, 0.0, appsAge});
    rows.push_back({1, "/Applications/Android Studio.app/Contents/MacOS/studio", 1150, 0.5, 100'800});
}

void addDaemonsAndSimulator(std::vector<Row>& rows, const Paths& p) {
    const std::string java = Paths::java;
    rows.push_back({1, java, 1280, 0.1, 97'200,
                    {java, "-Xmx2048m", "-cp", p.gradle + "/lib/gradle-daemon-main-8.14.3.jar",
                     "org.gradle.launcher.daemon.bootstrap.GradleDaemon", "8.14.3"}});
    rows.push_back({1, java, 620, 0.0, 97'200,
                    {java, "-cp", p.home + "/.gradle/caches/kotlin-daemon.jar",
                     "org.jetbrains.kotlin.daemon.KotlinCompileDaemon"}});
    const std::string virtualization = "/Applications/Docker.app/Contents/MacOS/com.docker.virtualization";
    rows.push_back({1, "/Applications/Docker.app/Contents/MacOS/com.docker.backend", 95, 1.2, 180'000});
    rows.push_back({1, virtualization, 40, 0.0, 180'000});
    Row machine{1,
                "/System/Library/Frameworks/Virtualization.framework/Versions/A/XPCServices/"
                "com.apple.Virtualization.VirtualMachine.xpc/Contents/MacOS/com.apple.Virtualization.VirtualMachine",
                4500, 5.8, 180'000};
    // Its responsible path makes the grouping count the virtual machine with Docker.
    machine.responsible = virtualization;
    rows.push_back(machine);
    rows.push_back(
        {1, "/Applications/Docker.app/Contents/MacOS/Docker Desktop.app/Contents/MacOS/Docker Desktop", 230, 0.3, 180'000});
    rows.push_back({1, "/Applications/Xcode.app/Contents/Developer/Applications/Simulator.app/Contents/MacOS/Simulator",
                    170, 0.4, 14'400});
    const std::string runtime = Paths::runtime;
    rows.push_back({1, runtime + "/sbin/launchd_sim", 12, 0.0, 14'400});
    rows.push_back({4042, runtime + "/System/Library/CoreServices/SpringBoard.app/SpringBoard", 210, 0.6, 14'400});
    rows.push_back({4042, runtime + "/usr/libexec/backboardd", 85, 0.0, 14'400});
    rows.push_back({4042,
                    p.home + "/Library/Developer/CoreSimulator/Devices/5D3A0F0E-1C2B-4E8A-9F31-7B2C6D4E8A10/data/"
                             "Containers/Bundle/Application/0B1E9C55-3F0A-4C8E-A2D4-61E7F9B3C2A8/Acme.app/Acme",
                    160, 0.2, 3'600});
}

// The checkout-flow monorepo's dev servers, started from a shell of the Cursor editor.
void addCheckoutTree(std::vector<Row>& rows, const Paths& p) {
    const std::string node = Paths::node, workerd = p.modules + Paths::workerd;
    constexpr std::int64_t treeAge = 11'520;
    auto app = [&](const char* name) { return p.checkout + "/apps/" + name; };
    const std::size_t first = rows.size();
    rows.push_back({4021, "/bin/zsh", 5, 0.0, treeAge});
    rows.push_back({4046, p.home + "/.bun/bin/bun", 120, 0.3, treeAge, {"bun", "run", "dev"}, p.checkout});
    const std::string turbo = p.modules + "/turbo-darwin-arm64/bin/turbo";
    rows.push_back({4047, turbo, 55, 0.2, treeAge, {turbo, "run", "dev"}, p.checkout});
    rows.push_back({4048, node, 1380, 3.4, treeAge, {node, p.modules + "/.bin/next", "dev"}, app("web"), {3000}});
    rows.push_back(
        {4049, node, 1450, 1.9, treeAge, {node, p.modules + "/next/dist/server/lib/start-server.js"}, app("web")});
    rows.push_back({4048, node, 230, 0.6, treeAge, {node, p.modules + "/.bin/wrangler", "dev"}, app("api"), {8787}});
    rows.push_back({4051, workerd, 140, 0.4, treeAge, {}, app("api")});
    rows.push_back({4048, node, 210, 0.5, treeAge, {node, p.modules + "/.bin/wrangler", "dev"}, app("auth"), {8788}});
    rows.push_back({4053, workerd, 120, 0.3, treeAge, {}, app("auth")});
    rows.push_back({4048, node, 360, 0.8, treeAge, {node, p.modules + "/.bin/vite"}, app("admin"), {5173}});
    rows.push_back({4055, p.modules + Paths::esbuild, 45, 0.0, treeAge, {}, app("admin")});
    rows.push_back({4048, node, 410, 0.5, treeAge, {node, p.modules + "/.bin/astro", "dev"}, app("docs"), {4321}});
    rows.push_back(
        {4048, node, 250, 0.4, treeAge, {node, p.modules + "/.bin/tsx", "watch", "src/index.ts"}, app("jobs")});
    for (const char* package : {"ui", "db", "billing", "email"})
        rows.push_back({4048, node, 170, 0.6, treeAge, {node, p.modules + "/.bin/tsc", "--watch", "--noEmit"},
                        p.checkout + "/packages/" + package});
    for (std::size_t i = first; i < rows.size(); ++i) rows[i].responsible = cursorPath;
}

// A dev server in a terminal with one browser tab connected, and a workerd whose parent quit.
void addOtherServers(std::vector<Row>& rows, const Paths& p) {
    const std::string node = Paths::node;
    constexpr std::int64_t terminalAge = 176'400;
    const std::size_t first = rows.size();
    rows.push_back({4030, "/bin/zsh", 5, 0.0, terminalAge});
    rows.push_back({4063, node, 340, 0.2, terminalAge, {node, p.pixel + "/node_modules/.bin/vite"}, p.pixel, {5174}, 1});
    rows.push_back({4064, p.pixel + "/node_modules" + Paths::esbuild, 38, 0.0, terminalAge, {}, p.pixel});
    for (std::size_t i = first; i < rows.size(); ++i) rows[i].responsible = terminalPath;
    rows.push_back({1, p.acme + "/node_modules" + Paths::workerd, 160, 0.0, 33'480, {}, p.acme + "/apps/api", {8790}});
}

Process process(Row row, pid_t pid, Date now) {
    ProcessSnapshot snapshot{
        .pid = pid,
        .parentPID = row.parent,
        .path = row.path,
        .name = std::string(sys::PathText::lastComponent(row.path)),
        .memoryBytes = row.megabytes * 1'000'000,
        .cpuPercent = row.cpu,
        .responsiblePath = std::move(row.responsible),
        .started = ago(now, row.age),
        .arguments = row.arguments.empty() ? std::vector<std::string>{row.path} : row.arguments,
        .folder = row.folder,
        .cgroup = {},
        .isSessionProcess = false,
    };
    if (row.arguments.empty()) row.arguments = {row.path};
    return {std::move(snapshot), std::move(row.arguments), std::move(row.folder), std::move(row.ports), row.clients};
}

std::vector<Process> remaining(const std::string& home, const Pids& gone, Date now) {
    std::vector<Process> kept;
    for (Process& row : processes(home, now))
        if (!gone.contains(row.snapshot.pid)) kept.push_back(std::move(row));
    return kept;
}

std::vector<ProcessSnapshot> snapshots(const std::vector<Process>& rows) {
    std::vector<ProcessSnapshot> out;
    out.reserve(rows.size());
    for (const Process& row : rows) out.push_back(row.snapshot);
    return out;
}

} // namespace

std::vector<TCPSocket> Process::sockets() const {
    std::vector<TCPSocket> out;
    for (int port : ports) out.push_back({TCPSocket::State::listening, port, 0});
    for (int i = 0; i < clients && !ports.empty(); ++i)
        out.push_back({TCPSocket::State::established, ports.front(), 61'000 + i});
    return out;
}

std::vector<Process> processes(const std::string& home, Date now) {
    const Paths paths(home);
    std::vector<Row> rows;
    addApps(rows);
    addDaemonsAndSimulator(rows, paths);
    addCheckoutTree(rows, paths);
    addOtherServers(rows, paths);
    std::vector<Process> out;
    out.reserve(rows.size());
    pid_t pid = 4001;
    for (Row& row : rows) out.push_back(process(std::move(row), pid++, now));
    return out;
}

ProcessSample sample(const std::string& home, const Pids& gone, Date now) {
    return ProcessSample(snapshots(remaining(home, gone, now)));
}

std::vector<DeveloperTool> developerTools(const std::string& home, const Pids& gone, Date now) {
    const std::vector<Process> rows = remaining(home, gone, now);
    std::unordered_map<pid_t, const Process*> index;
    for (const Process& row : rows) index.emplace(row.snapshot.pid, &row);
    auto lookup = [&index](pid_t pid) -> const Process* {
        const auto found = index.find(pid);
        return found == index.end() ? nullptr : found->second;
    };
    // A gone pid is missing from the sample and from every lookup alike.
    const DeveloperTools::Inspection inspection{
        .arguments = [&](pid_t pid) { return lookup(pid) ? lookup(pid)->arguments : std::vector<std::string>{}; },
        .workingDirectory = [&](pid_t pid) { return lookup(pid) ? lookup(pid)->folder : std::nullopt; },
        .sockets = [&](pid_t pid) { return lookup(pid) ? lookup(pid)->sockets() : std::vector<TCPSocket>{}; },
    };
    return DeveloperTools::find(ProcessSample(snapshots(rows)), inspection, home);
}

std::map<std::string, double> idleTimes(const std::vector<DeveloperTool>& tools) {
    std::map<std::string, double> out;
    for (const DeveloperTool& tool : tools) {
        if (tool.kind != DeveloperTool::Kind::devServer) continue;
        // workerd's idle time is the age of the orphaned one; the others idle a little less than
        // their tree has been running.
        out[tool.id] = tool.clients > 0 ? 0.0 : tool.title == "workerd" ? 33'480.0 : 10'260.0;
    }
    return out;
}

std::int64_t memory(const Pids& pids, const std::string& home) {
    std::int64_t total = 0;
    // Memory figures do not depend on the start times, so any instant builds the table.
    for (const Process& row : processes(home, Date{}))
        if (pids.contains(row.snapshot.pid)) total += row.snapshot.memoryBytes;
    return total;
}

} // namespace tidra::DemoMac
