#include "performance/ProcessGroups.h"

#include "performance/DeveloperTools.h"
#include "performance/SessionProcesses.h"
#include "platform/PathText.h"
#include "system/Utf8.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <map>
#include <set>
#include <unordered_map>

namespace tidra::ProcessGroups {
namespace {

// A parent chain longer than this is cut: a loop in a damaged sample must not hang us.
constexpr int kMaxClimb = 64;

using Index = std::unordered_map<pid_t, const ProcessSnapshot*>;

struct Accumulator {
    std::string name;
    std::optional<std::string> bundlePath;
    std::vector<pid_t> pids;
    std::optional<pid_t> mainPID;
    std::int64_t memory = 0;
    double cpu = 0;
    bool isSystemService = true;
    bool isProtected = false;
    std::vector<ProcessGroup::Process> processes;
};

// Where a process belongs: its own path, or its responsible process's when a system daemon
// works for an app, or when a plain program (a shell, a dev server's node) was started by an
// app bundle, such as an editor's or a terminal's shell: it is that app's work.
struct Owner {
    std::string_view path;
    bool throughResponsible = false;
};

// The bundle up to the earliest marker, so the outermost bundle wins.
std::optional<std::string> bundleOf(std::string_view path) {
    std::size_t best = std::string_view::npos, length = 0;
    for (const std::string_view marker : {std::string_view(".app/"), std::string_view(".app.bundle/")}) {
        const auto at = path.find(marker);
        if (at < best) best = at, length = marker.size();
    }
    if (best == std::string_view::npos) return std::nullopt;
    return std::string(path.substr(0, best + length - 1));
}

Owner ownerOf(const ProcessSnapshot& p) {
    if (p.responsiblePath.empty() || isSystemService(p.responsiblePath)) return {p.path, false};
    if (isSystemService(p.path) || (!bundleOf(p.path) && bundleOf(p.responsiblePath))) return {p.responsiblePath, true};
    return {p.path, false};
}

std::string bundleName(std::string_view bundlePath) {
    std::string_view name = sys::PathText::lastComponent(bundlePath);
    name.remove_suffix(name.ends_with(".app.bundle") ? 11 : 4);
    return std::string(name);
}

// "python3.12" and "php8.2" are python and php.
std::string_view withoutVersion(std::string_view name) {
    while (!name.empty() && (std::isdigit(static_cast<unsigned char>(name.back())) || name.back() == '.'))
        name.remove_suffix(1);
    return name;
}

const ProcessSnapshot* parentOf(const ProcessSnapshot& p, const Index& index) {
    const auto found = index.find(p.parentPID);
    return found == index.end() || found->second->pid == p.pid ? nullptr : found->second;
}

bool startsProgram(const ProcessSnapshot& child, const ProcessSnapshot& parent) {
    if (isLauncher(parent) || bundleOf(parent.path)) return true;
    if (!child.cgroup.empty() && !parent.cgroup.empty() && child.cgroup != parent.cgroup) return true;
    return isInterpreter(child.name) && !isInterpreter(parent.name);
}

// The topmost process of `p`'s program.
const ProcessSnapshot& programRoot(const ProcessSnapshot& p, const Index& index) {
    const ProcessSnapshot* current = &p;
    for (int moves = 0; moves < kMaxClimb; ++moves) {
        const ProcessSnapshot* parent = parentOf(*current, index);
        if (!parent || startsProgram(*current, *parent)) break;
        current = parent;
    }
    return *current;
}

// The arguments with a shell's "-c" command split into its words, so the command reads as a
// command line rather than as one long path.
std::vector<std::string> commandWords(const std::vector<std::string>& arguments) {
    std::vector<std::string> words;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        if (i == 0 || arguments[i - 1] != "-c") {
            words.push_back(arguments[i]);
            continue;
        }
        std::string_view command = arguments[i];
        while (!command.empty()) {
            const auto start = command.find_first_not_of(" \t\n");
            if (start == std::string_view::npos) break;
            command.remove_prefix(start);
            const auto stop = std::min(command.find_first_of(" \t\n"), command.size());
            words.emplace_back(command.substr(0, stop));
            command.remove_prefix(stop);
        }
    }
    return words;
}

// "node server.js — in ~/code/webshop" for a program an interpreter runs; the executable's
// name for any other.
std::string programName(const ProcessSnapshot& root, const std::string& home) {
    if (!isInterpreter(root.name) || root.arguments.empty()) return root.name;
    auto arguments = commandWords(root.arguments);
    // A login shell's "-bash" names no file.
    if (arguments.front().starts_with('-')) arguments.front() = root.name;
    std::string name = DeveloperTools::summary(arguments, root.folder.value_or(""));
    if (root.folder) name += " — in " + DeveloperTools::shownFolder(*root.folder, home);
    return Utf8::repaired(name);
}

// "org.gnome.Evince" reads Evince; "firefox" stays.
std::string unitName(const std::string& id) {
    std::string_view name = id;
    if (name.ends_with(".desktop")) name.remove_suffix(8);
    if (const auto dot = name.rfind('.'); dot != std::string_view::npos && dot + 1 < name.size())
        name.remove_prefix(dot + 1);
    return std::string(name);
}

struct Placement {
    std::string id;
    std::string name;
    std::optional<std::string> bundle;
    const ProcessSnapshot* root = nullptr;
};

// The group of a process outside bundles: its app's unit, else its program.
Placement placeOutsideBundles(const ProcessSnapshot& p, const Index& index, const std::string& home) {
    const ProcessSnapshot& root = programRoot(p, index);
    if (const auto unit = appUnit(p.cgroup)) {
        const ProcessSnapshot* starter = parentOf(root, index);
        const bool startedInside = starter && starter->cgroup == p.cgroup && isLauncher(*starter);
        if (!startedInside)
            return {"unit:" + std::string(sys::PathText::lastComponent(p.cgroup)), unitName(*unit), {}, nullptr};
    }
    return {"program:" + std::to_string(root.pid), programName(root, home), {}, &root};
}

Placement place(const ProcessSnapshot& p, const Owner& owner, const Index& index, const std::string& home) {
    if (auto bundle = bundleOf(owner.path)) {
        std::string name = bundleName(*bundle);
        return {"app:" + name, name, std::move(bundle), nullptr};
    }
    // A process with a responsible program outside bundles is grouped under that program's name.
    if (owner.throughResponsible) {
        std::string name(sys::PathText::lastComponent(owner.path));
        return {name, name, {}, nullptr};
    }
    return placeOutsideBundles(p, index, home);
}

ProcessGroup::Process describe(const ProcessSnapshot& p, const std::string& home) {
    const auto arguments =
        p.arguments.empty() ? std::vector<std::string>{p.path.empty() ? p.name : p.path} : commandWords(p.arguments);
    std::optional<std::string> folder;
    if (p.folder) folder = DeveloperTools::shownFolder(*p.folder, home);
    return {p.pid, DeveloperTools::summary(arguments, p.folder.value_or("")), std::move(folder)};
}

void add(Accumulator& record, const ProcessSnapshot& p, const Owner& owner, const Placement& placement,
         const std::string& home) {
    const auto& bundle = placement.bundle;
    // A plain ".app" bundle names the group better than a ".app.bundle" of the same name.
    if (bundle && (!record.bundlePath || !record.bundlePath->ends_with(".app"))) record.bundlePath = bundle;
    record.pids.push_back(p.pid);
    record.memory += p.memoryBytes;
    record.cpu += p.cpuPercent;
    record.isSystemService = record.isSystemService && isSystemService(owner.path);
    record.isProtected = record.isProtected || p.isSessionProcess || SessionProcesses::isSessionName(p.name);
    record.processes.push_back(describe(p, home));
    if (bundle && !record.mainPID && !owner.throughResponsible && p.path.starts_with(*bundle + "/Contents/MacOS/"))
        record.mainPID = p.pid;
    if (placement.root) record.mainPID = placement.root->pid;
}

ProcessGroup finish(const std::string& id, Accumulator record) {
    const pid_t smallest = *std::min_element(record.pids.begin(), record.pids.end());
    ProcessGroup group;
    group.id = id;
    group.name = std::move(record.name);
    group.bundlePath = std::move(record.bundlePath);
    group.pids = std::move(record.pids);
    group.mainPID = record.mainPID.value_or(smallest);
    group.memoryBytes = record.memory;
    group.cpuPercent = record.cpu;
    group.isSystemService = record.isSystemService;
    group.isProtected = record.isProtected;
    group.processes = std::move(record.processes);
    return group;
}

} // namespace

std::vector<ProcessGroup> groups(const std::vector<ProcessSnapshot>& processes, const std::string& home) {
    Index index;
    for (const ProcessSnapshot& p : processes) index.emplace(p.pid, &p);
    std::map<std::string, Accumulator> records;
    for (const ProcessSnapshot& p : processes) {
        const Owner owner = ownerOf(p);
        Placement placement = place(p, owner, index, home);
        auto [it, isNew] = records.try_emplace(placement.id);
        if (isNew) it->second.name = std::move(placement.name);
        add(it->second, p, owner, placement, home);
    }
    std::vector<ProcessGroup> out;
    out.reserve(records.size());
    for (auto& [id, record] : records) out.push_back(finish(id, std::move(record)));
    std::stable_sort(out.begin(), out.end(), [](const ProcessGroup& a, const ProcessGroup& b) {
        return a.memoryBytes > b.memoryBytes;
    });
    return out;
}

bool isSystemService(std::string_view path) {
    static const std::array<std::string_view, 6> prefixes{
        "/usr/libexec/", "/usr/sbin/", "/sbin/", "/Library/Apple/", "/usr/lib/systemd/", "/lib/systemd/"};
    if (path.empty() || path.find("/System/Library/") != std::string_view::npos) return true;
    return std::any_of(prefixes.begin(), prefixes.end(),
                       [&](std::string_view prefix) { return path.starts_with(prefix); });
}

bool isShell(std::string_view name) {
    static const std::set<std::string_view> shells = {"sh", "bash", "dash", "zsh", "fish", "ksh", "mksh", "tcsh", "csh", "ash"};
    return shells.count(name) != 0;
}

bool isInterpreter(std::string_view name) {
    static const std::set<std::string_view> runtimes = {"node",   "nodejs", "bun",  "deno", "python", "pypy",
                                                        "ruby",   "perl",   "php",  "java", "dotnet", "lua",
                                                        "luajit", "Rscript", "julia"};
    return isShell(name) || runtimes.count(withoutVersion(name)) != 0;
}

bool isInteractiveShell(const ProcessSnapshot& process) {
    if (!isShell(process.name)) return false;
    const auto& arguments = process.arguments;
    if (arguments.empty() || arguments.front().starts_with('-')) return true;
    bool runsSomething = false;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "-i") return true;
        // "-c" and "-ec" run a command; anything that is no option is a script.
        if (!argument.starts_with('-') || (argument.size() > 1 && argument[1] != '-' && argument.find('c') != std::string::npos))
            runsSomething = true;
    }
    return !runsSomething;
}

bool isLauncher(const ProcessSnapshot& parent) {
    static const std::set<std::string_view> starters = {
        // Terminals and multiplexers.
        "tmux", "screen", "SCREEN", "xterm", "uxterm", "urxvt", "rxvt", "st", "alacritty", "kitty", "wezterm-gui",
        "foot", "konsole", "gnome-terminal-server", "xfce4-terminal", "mate-terminal", "lxterminal", "qterminal",
        "terminator", "tilix", "sakura", "terminology", "guake", "yakuake", "ptyxis", "kgx", "blackbox",
        // Remote and local logins.
        "sshd", "login", "su", "sudo", "doas", "mosh-server"};
    return parent.pid <= 1 || parent.isSessionProcess || isSystemService(parent.path) || isInteractiveShell(parent) ||
           starters.count(parent.name) != 0 || SessionProcesses::isSessionName(parent.name);
}

std::optional<std::string> appUnit(std::string_view cgroup) {
    std::string_view leaf = sys::PathText::lastComponent(cgroup);
    if (!leaf.starts_with("app-")) return std::nullopt;
    leaf.remove_prefix(4);
    if (leaf.ends_with(".scope")) {
        leaf.remove_suffix(6);
        const auto random = leaf.rfind('-');
        if (random == std::string_view::npos) return std::nullopt;
        leaf = leaf.substr(0, random);
    } else if (leaf.ends_with(".service") && leaf.find('@') != std::string_view::npos) {
        leaf = leaf.substr(0, leaf.find('@'));
    } else {
        return std::nullopt;
    }
    // What is left is "[<launcher>-]<id>"; the id carries its own dashes escaped.
    if (const auto dash = leaf.rfind('-'); dash != std::string_view::npos) leaf.remove_prefix(dash + 1);
    if (leaf.empty()) return std::nullopt;
    std::string id;
    for (std::size_t i = 0; i < leaf.size(); ++i) {
        if (leaf.substr(i).starts_with("\\x2d")) {
            id += '-';
            i += 3;
        } else {
            id += leaf[i];
        }
    }
    return id;
}

} // namespace tidra::ProcessGroups
