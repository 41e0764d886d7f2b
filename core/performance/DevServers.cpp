// Dev-server recognition of DeveloperTools: process trees under a runtime or node_modules
// process, started in a project folder.
#include "performance/DeveloperTools.h"

#include "performance/ProcessGroups.h"
#include "platform/PathText.h"
#include "system/Utf8.h"

#include <utf8proc.h>

#include <algorithm>
#include <map>
#include <unordered_map>

namespace tidra::DeveloperTools {
namespace {

using Index = std::unordered_map<pid_t, const ProcessSnapshot*>;

constexpr int kMaxMoves = 64;
constexpr std::size_t kSummaryLength = 80;

bool holds(std::string_view text, std::string_view part) { return text.find(part) != std::string_view::npos; }

const ProcessSnapshot* lookUp(const Index& index, pid_t pid) {
    const auto it = index.find(pid);
    return it == index.end() ? nullptr : it->second;
}

bool isDevChain(const ProcessSnapshot& p) {
    return !holds(p.path, ".app/") && (runtimes().contains(p.name) || holds(p.path, "/node_modules/"));
}

// The topmost process of the first unbroken dev chain met on the way up from `p`.
const ProcessSnapshot& rootOf(const ProcessSnapshot& p, const Index& index) {
    const ProcessSnapshot* cur = &p;
    for (int moves = 0; moves < kMaxMoves; ++moves) {
        const ProcessSnapshot* parent = lookUp(index, cur->parentPID);
        if (!parent || parent->pid == cur->pid) break;
        if (isDevChain(*cur) && !isDevChain(*parent)) break;
        cur = parent;
    }
    return *cur;
}

struct Tree {
    const ProcessSnapshot* root;
    std::vector<const ProcessSnapshot*> members;
};

// Trees in order of their first member; members in candidate order.
std::vector<Tree> trees(const std::vector<ProcessSnapshot>& candidates, const Index& index) {
    std::vector<Tree> out;
    std::map<pid_t, std::size_t> byRoot;
    for (const ProcessSnapshot& p : candidates) {
        if (ProcessGroups::isSystemService(p.path)) continue;
        const ProcessSnapshot& root = rootOf(p, index);
        if (!isDevChain(root)) continue;
        // Only when the move limit cut the walk short of the chain's top.
        if (const auto* parent = lookUp(index, root.parentPID); parent && isDevChain(*parent)) continue;
        const auto [it, added] = byRoot.emplace(root.pid, out.size());
        if (added) out.push_back({&root, {}});
        out[it->second].members.push_back(&p);
    }
    return out;
}

// Left behind: re-parented to init, or on Linux to the user's service manager, which adopts
// the orphans of a closed terminal.
bool isOrphan(const ProcessSnapshot& root, const Index& index) {
    if (!holds(root.path, "/node_modules/")) return false;
    if (root.parentPID == 1) return true;
    const ProcessSnapshot* parent = lookUp(index, root.parentPID);
    return parent && (parent->path == "/usr/lib/systemd/systemd" || parent->path == "/lib/systemd/systemd");
}

struct Network {
    std::vector<int> ports;
    int clients = 0;
};

Network network(const Tree& tree, const SocketsOf& socketsOf) {
    std::vector<TCPSocket> sockets;
    for (const auto* member : tree.members)
        for (const auto& socket : socketsOf(member->pid)) sockets.push_back(socket);
    Network out;
    for (const auto& socket : sockets)
        if (socket.state == TCPSocket::State::listening) out.ports.push_back(socket.localPort);
    std::sort(out.ports.begin(), out.ports.end());
    out.ports.erase(std::unique(out.ports.begin(), out.ports.end()), out.ports.end());
    const auto isPort = [&](int port) { return std::binary_search(out.ports.begin(), out.ports.end(), port); };
    out.clients = int(std::count_if(sockets.begin(), sockets.end(), [&](const TCPSocket& s) {
        return s.state == TCPSocket::State::established && isPort(s.localPort) && !isPort(s.remotePort);
    }));
    return out;
}

bool anyMemberNamed(const Tree& tree, const ArgumentsOf& arguments) {
    return std::any_of(tree.members.begin(), tree.members.end(), [&](const ProcessSnapshot* member) {
        return member != tree.root && devServerName(commandLine(arguments(member->pid)));
    });
}

std::string lastComponent(std::string_view path) {
    while (path.size() > 1 && path.back() == '/') path.remove_suffix(1);
    return std::string(path == "/" ? path : sys::PathText::lastComponent(path));
}

std::string summaryWord(std::string_view argument, std::string_view folder) {
    static constexpr std::string_view modules = "/node_modules/";
    if (holds(argument, "/node_modules/.bin/")) return lastComponent(argument);
    if (const auto at = argument.rfind(modules); at != std::string_view::npos)
        return std::string(argument.substr(at + modules.size()));
    if (sys::PathText::isInside(argument, folder))
        return std::string(argument.substr(folder.size() + 1));
    if (argument.starts_with('/')) return lastComponent(argument);
    return std::string(argument);
}

// The first `count` user-perceived characters of valid UTF-8 text; absent when the text has no
// more than `count`.
std::optional<std::string> headIfLonger(const std::string& text, std::size_t count) {
    const auto* bytes = reinterpret_cast<const utf8proc_uint8_t*>(text.data());
    const auto size = utf8proc_ssize_t(text.size());
    utf8proc_int32_t state = 0, previous = -1;
    std::size_t graphemes = 0;
    for (utf8proc_ssize_t at = 0; at < size;) {
        utf8proc_int32_t c = 0;
        const auto length = utf8proc_iterate(bytes + at, size - at, &c);
        if (length <= 0) return std::nullopt;
        if (previous < 0 || utf8proc_grapheme_break_stateful(previous, c, &state)) {
            if (graphemes == count) return text.substr(0, std::size_t(at));
            ++graphemes;
        }
        previous = c;
        at += length;
    }
    return std::nullopt;
}

std::string detail(const Tree& tree, const std::string& folder, const std::string& home, const Network& net,
                   bool orphan) {
    const std::size_t count = tree.members.size();
    std::string text = count == 1 ? "In " : std::to_string(count) + " processes in ";
    text += shownFolder(folder, home);
    if (net.ports.size() == 1) text += ", listening on port " + std::to_string(net.ports.front());
    if (net.ports.size() > 1) text += ", listening on " + std::to_string(net.ports.size()) + " ports";
    text += ".";
    if (orphan) {
        text += " Whatever started it has quit, so it was most likely left behind.";
    } else if (const auto app = appName(tree.root->responsiblePath)) {
        text += " Started from " + *app + ".";
    }
    return Utf8::repaired(text);
}

std::string consequence(std::size_t members) {
    if (members == 1) return "Stops it. Start it again when you need it.";
    if (members == 2) return "Stops both processes. Start it again when you need it.";
    return "Stops all " + std::to_string(members) + " processes. Start it again when you need it.";
}

std::string title(const ProcessSnapshot& root, const std::optional<std::string>& name,
                  const std::vector<std::string>& arguments, const std::string& folder) {
    if (name) return *name;
    // Unreadable arguments would summarise to nothing; the name at least says what runs.
    if (runtimes().contains(root.name) && !arguments.empty()) return summary(arguments, folder);
    return Utf8::repaired(root.name);
}

std::optional<DeveloperTool> describe(const Tree& tree, const Index& index, const Inspection& inspection,
                                      const std::string& home) {
    const ProcessSnapshot& root = *tree.root;
    const auto folder = inspection.workingDirectory(root.pid);
    if (!folder || !isWorkFolder(*folder, home)) return std::nullopt;
    const auto arguments = inspection.arguments(root.pid);
    const auto name = devServerName(commandLine(arguments));
    const Network net = network(tree, inspection.sockets);
    const bool orphan = isOrphan(root, index);
    if (!name && net.ports.empty() && !orphan && !anyMemberNamed(tree, inspection.arguments)) return std::nullopt;

    DeveloperTool tool;
    tool.id = "tree-" + std::to_string(root.pid);
    tool.kind = DeveloperTool::Kind::devServer;
    tool.title = title(root, name, arguments, *folder);
    tool.detail = detail(tree, *folder, home, net, orphan);
    tool.consequence = consequence(tree.members.size());
    auto members = tree.members;
    std::sort(members.begin(), members.end(), [](const auto* a, const auto* b) { return a->pid < b->pid; });
    DeveloperTool::Stop::Signal signal;
    for (const auto* member : members) {
        tool.pids.push_back(member->pid);
        signal.processes.push_back({member->pid, member->started});
        tool.memoryBytes += member->memoryBytes;
        tool.cpuPercent += member->cpuPercent;
    }
    tool.stop = std::move(signal);
    tool.started = root.started;
    tool.folder = *folder;
    tool.clients = net.clients;
    return tool;
}

} // namespace

std::vector<DeveloperTool> devServers(const std::vector<ProcessSnapshot>& candidates, const Inspection& inspection,
                                      const std::string& home) {
    Index index;
    for (const ProcessSnapshot& p : candidates) index.emplace(p.pid, &p);
    std::vector<DeveloperTool> tools;
    for (const Tree& tree : trees(candidates, index))
        if (auto tool = describe(tree, index, inspection, home)) tools.push_back(std::move(*tool));
    return tools;
}

std::optional<std::string> devServerName(std::string_view commandLine) {
    static const std::pair<std::string_view, std::string_view> names[] = {
        {"vite", "Vite dev server"},
        {"next dev", "Next.js dev server"},
        {"next-server", "Next.js dev server"},
        {"webpack serve", "webpack dev server"},
        {"webpack-dev-server", "webpack dev server"},
        {"wrangler", "Wrangler dev server"},
        {"astro dev", "Astro dev server"},
        {"nuxi dev", "Nuxt dev server"},
        {"nuxt dev", "Nuxt dev server"},
        {"remix dev", "Remix dev server"},
        {"react-scripts start", "React dev server"},
        {"nodemon", "nodemon watcher"},
        {"tsx watch", "tsx watcher"},
        {"tsc --watch", "TypeScript watcher"},
        {"tsc -w", "TypeScript watcher"},
        {"--watch", "File watcher"},
        {"--hot", "Dev server"},
    };
    for (const auto& [pattern, name] : names)
        if (holds(commandLine, pattern)) return std::string(name);
    return std::nullopt;
}

bool isWorkFolder(std::string_view folder, std::string_view home) {
    const std::string library = std::string(home) + "/Library";
    if (folder == "/" || folder == home || holds(folder, ".app/") || folder == library) return false;
    return !folder.starts_with(library + "/");
}

std::string shownFolder(const std::string& folder, const std::string& home) {
    if (!home.empty() && folder == home) return "~";
    if (!home.empty() && sys::PathText::isInside(folder, home)) return std::string("~").append(folder, home.size());
    return folder;
}

std::string summary(const std::vector<std::string>& arguments, std::string_view folder) {
    if (arguments.empty()) return {};
    std::string text = lastComponent(arguments.front());
    for (std::size_t i = 1; i < arguments.size(); ++i) text.append(" ").append(summaryWord(arguments[i], folder));
    text = Utf8::repaired(text);
    if (!headIfLonger(text, kSummaryLength)) return text;
    return headIfLonger(text, kSummaryLength - 1).value_or(text) + "…";
}

} // namespace tidra::DeveloperTools
