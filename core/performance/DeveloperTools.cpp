#include "performance/DeveloperTools.h"

#include "performance/ProcessInspector.h"
#include "platform/PropertyList.h"

#include <utf8proc.h>

#include <algorithm>
#include <iterator>
#include <regex>

namespace tidra::DeveloperTools {
namespace {

using Kind = DeveloperTool::Kind;

bool contains(std::string_view text, std::string_view part) { return text.find(part) != std::string_view::npos; }

bool hasUpperCase(std::string_view text) {
    const auto* bytes = reinterpret_cast<const utf8proc_uint8_t*>(text.data());
    for (utf8proc_ssize_t at = 0, size = utf8proc_ssize_t(text.size()); at < size;) {
        utf8proc_int32_t c = 0;
        const auto length = utf8proc_iterate(bytes + at, size - at, &c);
        if (length <= 0) {
            ++at;  // a stray byte is no letter
            continue;
        }
        if (utf8proc_tolower(c) != c) return true;
        at += length;
    }
    return false;
}

// CFBundleName of a bundle's Info.plist, macOS layout first.
std::optional<std::string> bundleName(const std::string& bundle) {
    for (const char* info : {"/Contents/Info.plist", "/Info.plist"}) {
        const auto plist = sys::readPropertyList(bundle + info);
        if (!plist) continue;
        const std::string* name = plist->string("CFBundleName");
        return name ? std::optional(*name) : std::nullopt;
    }
    return std::nullopt;
}

// Signal stop for one process, checked by its start time when it comes.
DeveloperTool singleProcessTool(const ProcessSnapshot& p, Kind kind, std::string title, std::string detail,
                                std::string consequence) {
    DeveloperTool tool;
    tool.id = std::to_string(p.pid);
    tool.kind = kind;
    tool.title = std::move(title);
    tool.detail = std::move(detail);
    tool.consequence = std::move(consequence);
    tool.pids = {p.pid};
    tool.memoryBytes = p.memoryBytes;
    tool.cpuPercent = p.cpuPercent;
    tool.stop = DeveloperTool::Stop::Signal{{{p.pid, p.started}}};
    return tool;
}

// The Android device name: the argument after "-avd", else the first "@name".
std::optional<std::string> deviceName(const std::vector<std::string>& arguments) {
    const auto avd = std::find(arguments.begin(), arguments.end(), "-avd");
    if (avd != arguments.end() && std::next(avd) != arguments.end() && !std::next(avd)->empty())
        return *std::next(avd);
    for (const auto& argument : arguments)
        if (argument.size() > 1 && argument[0] == '@') return argument.substr(1);
    return std::nullopt;
}

// Any virtual machine runs as qemu-system-*; only Android's emulator is ours to stop.
std::optional<DeveloperTool> emulator(const ProcessSnapshot& p, const std::vector<std::string>& arguments) {
    const auto device = deviceName(arguments);
    const bool avd = std::find(arguments.begin(), arguments.end(), "-avd") != arguments.end();
    if (!device && !avd && !contains(p.path, "/emulator/")) return std::nullopt;
    std::string title = "Android emulator";
    if (device) {
        std::string shown = *device;
        std::replace(shown.begin(), shown.end(), '_', ' ');
        title += ": " + shown;
    }
    return singleProcessTool(p, Kind::emulator, title, "Emulators keep running after you stop debugging.",
                             "Closes the emulator. Anything unsaved in it is lost.");
}

// One line of the recognition table for java, dart and runtime processes.
struct Row {
    std::vector<std::string_view> names;
    // The joined arguments hold one of `anyOf` (when given) and all of `allOf`.
    std::vector<std::string_view> anyOf;
    std::vector<std::string_view> allOf;
    Kind kind;
    std::string_view title;
    // Build daemons: the detail while busy. Empty for editor tools.
    std::string_view busy;
    std::string_view consequence;

    bool matches(std::string_view name, std::string_view arguments) const {
        if (std::find(names.begin(), names.end(), name) == names.end()) return false;
        const auto in = [&](std::string_view part) { return contains(arguments, part); };
        return (anyOf.empty() || std::any_of(anyOf.begin(), anyOf.end(), in)) &&
               std::all_of(allOf.begin(), allOf.end(), in);
    }
};

const std::vector<Row>& rows() {
    static const std::string_view editor = "Your editor starts it again when it needs it.";
    static const std::vector<std::string_view> java = {"java"}, dart = {"dart", "dartaotruntime"},
                                               runtime = {"node", "bun", "deno"};
    static const std::vector<Row> table = {
        {java, {"GradleDaemon"}, {}, Kind::buildDaemon, "Gradle daemon", "Building.",
         "Gradle keeps it running to make builds faster. The next build starts it again, a few seconds slower."},
        {java, {"KotlinCompileDaemon"}, {}, Kind::buildDaemon, "Kotlin compile daemon", "Compiling.",
         "The next Kotlin build starts it again, a few seconds slower."},
        {java, {"jdt.ls", "org.eclipse.jdt", "redhat.java"}, {}, Kind::languageServer, "Java language server", "", editor},
        {java, {"kotlin-language-server", "org.javacs.kt"}, {}, Kind::languageServer, "Kotlin language server", "",
         editor},
        {dart, {"analysis_server", "language-server"}, {}, Kind::languageServer, "Dart analysis server", "", editor},
        {dart, {}, {"flutter_tools", "daemon"}, Kind::languageServer, "Flutter daemon", "", editor},
        {runtime, {"tsserver"}, {}, Kind::languageServer, "TypeScript server", "", editor},
    };
    return table;
}

// " 8.5" for arguments naming gradle-8.5; empty when none do.
std::string gradleVersion(const std::string& arguments) {
    static const std::regex version(R"(gradle-(\d+(?:\.\d+)+))");
    std::smatch match;
    if (!std::regex_search(arguments, match, version) || !match[1].matched) return {};
    return " " + match[1].str();
}

std::string detail(const Row& row, const ProcessSnapshot& p) {
    if (!row.busy.empty())
        return p.cpuPercent < 1.0 ? "Idle, waiting for the next build." : std::string(row.busy);
    const auto app = appName(p.responsiblePath);
    return app ? "Runs for " + *app + "." : "Runs for your editor.";
}

// Sums of the processes' memory and CPU under one tool.
DeveloperTool aggregate(const std::vector<ProcessSnapshot>& processes) {
    DeveloperTool tool;
    for (const auto& p : processes) {
        tool.pids.push_back(p.pid);
        tool.memoryBytes += p.memoryBytes;
        tool.cpuPercent += p.cpuPercent;
    }
    return tool;
}

} // namespace

Inspection Inspection::of(const ProcessInspector& inspector) {
    return {[&inspector](pid_t pid) { return inspector.arguments(pid); },
            [&inspector](pid_t pid) { return inspector.workingDirectory(pid); },
            [&inspector](pid_t pid) { return inspector.tcpSockets(pid); }};
}

const std::set<std::string, std::less<>>& runtimes() {
    static const std::set<std::string, std::less<>> names = {"node", "bun", "deno"};
    return names;
}

std::string commandLine(const std::vector<std::string>& arguments) {
    std::string line;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        if (i > 0) line += ' ';
        line += arguments[i];
    }
    return line;
}

std::optional<std::string> appName(std::string_view path) {
    const auto app = path.find(".app/"), appBundle = path.find(".app.bundle/");
    const auto marker = std::min(app, appBundle);
    if (marker == std::string_view::npos) return std::nullopt;
    const std::size_t extension = marker == appBundle ? std::string_view(".app.bundle").size() : 4;
    const std::string bundle(path.substr(0, marker + extension));
    const auto slash = bundle.rfind('/', marker);
    const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    std::string name = bundle.substr(nameStart, marker - nameStart);
    if (hasUpperCase(name)) return name;
    return bundleName(bundle).value_or(name);
}

std::optional<DeveloperTool> classify(const ProcessSnapshot& p, const ArgumentsOf& arguments) {
    if (p.name.starts_with("qemu-system")) return emulator(p, arguments(p.pid));
    const bool candidate = runtimes().contains(p.name) || p.name == "java" || p.name == "dart" ||
                           p.name == "dartaotruntime";
    if (!candidate) return std::nullopt;
    const std::string line = commandLine(arguments(p.pid));
    for (const Row& row : rows()) {
        if (!row.matches(p.name, line)) continue;
        std::string title(row.title);
        if (row.title == "Gradle daemon") title += gradleVersion(line);
        return singleProcessTool(p, row.kind, title, detail(row, p), std::string(row.consequence));
    }
    return std::nullopt;
}

bool isDockerProcess(const ProcessSnapshot& p) {
    return contains(p.path, "/Docker.app/") || contains(p.responsiblePath, "/Docker.app/") ||
           p.path.starts_with("/opt/docker-desktop/");
}

bool isSimulatorProcess(const ProcessSnapshot& p) {
    return p.name == "launchd_sim" || contains(p.path, "/CoreSimulator/Volumes/") ||
           contains(p.path, "/Library/Developer/CoreSimulator/Devices/") || contains(p.path, "/Simulator.app/");
}

std::optional<DeveloperTool> simulatorTool(const std::vector<ProcessSnapshot>& processes) {
    const auto devices = std::count_if(processes.begin(), processes.end(),
                                       [](const ProcessSnapshot& p) { return p.name == "launchd_sim"; });
    if (devices == 0) return std::nullopt;
    DeveloperTool tool = aggregate(processes);
    tool.id = "simulator";
    tool.kind = Kind::simulator;
    tool.title = devices == 1 ? "iOS Simulator (1 device running)"
                              : "iOS Simulator (" + std::to_string(devices) + " devices running)";
    tool.detail = "Simulators keep running after you stop debugging.";
    tool.consequence = "Shuts down every running simulator and quits Simulator.";
    tool.stop = DeveloperTool::Stop::Command{"/usr/bin/xcrun", {"simctl", "shutdown", "all"}, "com.apple.iphonesimulator"};
    return tool;
}

std::optional<DeveloperTool> dockerTool(const std::vector<ProcessSnapshot>& processes) {
    if (std::none_of(processes.begin(), processes.end(),
                     [](const ProcessSnapshot& p) { return p.name == "com.docker.backend"; }))
        return std::nullopt;
    DeveloperTool tool = aggregate(processes);
    tool.id = "docker";
    tool.kind = Kind::containers;
    tool.title = "Docker Desktop";
    tool.detail = "Its virtual machine keeps its memory even when no container is running.";
    tool.consequence = "Quits Docker Desktop and stops every container.";
    tool.stop = DeveloperTool::Stop::QuitApp{"com.docker.docker"};
    return tool;
}

std::vector<DeveloperTool> find(const ProcessSample& sample, const Inspection& inspection, const std::string& home) {
    std::vector<DeveloperTool> tools;
    std::vector<ProcessSnapshot> docker, simulators, candidates;
    for (const ProcessSnapshot& p : sample.processes) {
        if (isDockerProcess(p)) {
            docker.push_back(p);
        } else if (isSimulatorProcess(p)) {
            simulators.push_back(p);
        } else if (auto tool = classify(p, inspection.arguments)) {
            tools.push_back(std::move(*tool));
        } else {
            candidates.push_back(p);
        }
    }
    for (auto& server : devServers(candidates, inspection, home)) tools.push_back(std::move(server));
    if (auto tool = simulatorTool(simulators)) tools.push_back(std::move(*tool));
    if (auto tool = dockerTool(docker)) tools.push_back(std::move(*tool));
    std::stable_sort(tools.begin(), tools.end(),
                     [](const DeveloperTool& a, const DeveloperTool& b) { return a.memoryBytes > b.memoryBytes; });
    return tools;
}

// The sample read each process's arguments and folder moments ago: /proc is asked again only
// for a process the sample does not hold, and for sockets, which it did not read.
std::vector<DeveloperTool> find(const ProcessSample& sample, const std::string& home) {
    const ProcessInspector inspector;
    std::vector<std::pair<pid_t, const ProcessSnapshot*>> byPid;
    byPid.reserve(sample.processes.size());
    for (const ProcessSnapshot& p : sample.processes) byPid.emplace_back(p.pid, &p);
    std::sort(byPid.begin(), byPid.end());
    const auto sampled = [&byPid](pid_t pid) -> const ProcessSnapshot* {
        const auto it = std::lower_bound(byPid.begin(), byPid.end(), std::pair<pid_t, const ProcessSnapshot*>(pid, nullptr));
        return it != byPid.end() && it->first == pid ? it->second : nullptr;
    };
    Inspection inspection = Inspection::of(inspector);
    inspection.arguments = [&](pid_t pid) {
        const ProcessSnapshot* p = sampled(pid);
        return p ? p->arguments : inspector.arguments(pid);
    };
    inspection.workingDirectory = [&](pid_t pid) {
        const ProcessSnapshot* p = sampled(pid);
        return p ? p->folder : inspector.workingDirectory(pid);
    };
    return find(sample, inspection, home);
}

} // namespace tidra::DeveloperTools
