// Project finding against `find` as the floor and npkill (list mode, nothing deleted), on one
// generated tree of JavaScript, Rust, Gradle and Python projects. Parity first: all three must
// list the same node_modules folders, and the finder must find every other artifact the
// generator made. Then the same work is compared, every side as a whole process over
// interleaved rounds: the finder against a `find` that prunes what the finder never enters
// (.git, node_modules and the artifact folders), and, as npkill sizes every folder it lists,
// the finder with the size of each node_modules folder against npkill.
//
// usage: project_finder --root DIR [--npkill PATH] [--projects N] [--module-files F] [--rounds R]
//        project_finder --once find|sizes ROOT         one search (with sizes), for the timing
//        project_finder --once npkill ROOT PATH         one npkill search, for the timing
#include "fs/SizeScanner.h"
#include "projects/ProjectFinder.h"
#include "system/Shell.h"

#include "BenchSupport.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <optional>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using Paths = std::set<std::string>;

struct Settings {
    std::string root;
    std::string npkill;
    int projects = 200;
    int moduleFiles = 1000;
    int rounds = 5;
};

Settings parse(int argc, char** argv) {
    const bench::Flags flags(argc, argv);
    Settings s;
    s.root = flags.text("--root");
    s.npkill = flags.text("--npkill");
    s.projects = flags.count("--projects", s.projects);
    s.moduleFiles = flags.count("--module-files", s.moduleFiles);
    s.rounds = flags.count("--rounds", s.rounds);
    return s;
}

// ---- the tree ----

void touch(const std::string& path) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd >= 0) ::close(fd);
}

// `count` empty files in folders of 25 below `folder`, two levels deep like unpacked packages.
// Names are made relative to an open folder: creating files is what the generator waits on.
void fill(const std::string& folder, const std::string& prefix, int count) {
    bench::makeFolders(folder);
    for (int i = 0; i < count; i += 25) {
        const std::string package = folder + "/" + prefix + std::to_string(i / 25);
        ::mkdir(package.c_str(), 0755);
        ::mkdir((package + "/lib").c_str(), 0755);
        const int lib = ::open((package + "/lib").c_str(), O_DIRECTORY | O_CLOEXEC);
        for (int j = i; j < std::min(count, i + 25); ++j) {
            const std::string name = std::string("f").append(std::to_string(j)).append(".js");
            const int fd = ::openat(lib, name.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
            if (fd >= 0) ::close(fd);
        }
        if (lib >= 0) ::close(lib);
    }
}

// What the generator made besides node_modules: label to count.
using Expected = std::map<std::string, int>;

Expected generate(const Settings& s) {
    Expected expected;
    for (int i = 0; i < s.projects; ++i) {
        // Every tenth project sits one level deeper inside a group repository.
        const std::string p = s.root + (i % 10 == 9 ? "/group" + std::to_string(i) + "/app" : "") + "/p" +
                              std::to_string(i);
        bench::makeFolders(p + "/.git/objects/aa");
        bench::makeFolders(p + "/src/components/ui");
        for (const char* file : {"package.json", "README.md", "src/index.js", "src/components/ui/Button.js"})
            touch(p + "/" + file);
        fill(p + "/node_modules", "pkg", s.moduleFiles);
        switch (i % 4) {
        case 1:
            touch(p + "/Cargo.toml");
            fill(p + "/target/debug", "deps", 400);
            ++expected["Rust build output"];
            break;
        case 2:
            touch(p + "/build.gradle");
            touch(p + "/gradlew");
            fill(p + "/build/intermediates", "classes", 400);
            bench::makeFolders(p + "/.gradle/8.5");
            expected["Gradle build output"]++, expected["Gradle project cache"]++;
            break;
        case 3:
            touch(p + "/pyproject.toml");
            fill(p + "/.venv/lib/python3.11/site-packages", "mod", 1000);
            ++expected["Python environment"];
            break;
        default: break;
        }
        if (i % 10 == 9) bench::makeFolders(s.root + "/group" + std::to_string(i) + "/.git");
    }
    expected["Node packages"] = s.projects;
    return expected;
}

// ---- the tools ----

// The folders the finder never enters, pruned the same way, printing node_modules.
std::vector<std::string> findFloorArguments(const std::string& root) {
    return {root,     "(",  "-name",   ".git",   "-o", "-name", "target", "-o",     "-name",
            "build",  "-o", "-name",   ".gradle", "-o", "-name", ".venv", ")",      "-prune",
            "-o",     "-name", "node_modules", "-prune", "-print"};
}

Paths findFloor(const std::string& root) {
    const auto output = tidra::Shell::run("/usr/bin/find", findFloorArguments(root), {}, std::chrono::minutes(10));
    std::istringstream lines(output ? output->standardOutput : "");
    Paths paths;
    for (std::string line; std::getline(lines, line);) paths.insert(line);
    return paths;
}

// npkill only runs on a terminal: give it a tall pseudo-terminal so every result is drawn,
// stop the clock at its "Search completed" line, then ask it to quit.
std::optional<Paths> npkill(const std::string& tool, const std::string& root) {
    struct winsize size{};
    size.ws_row = 4000;
    size.ws_col = 250;
    int master = -1;
    const pid_t pid = ::forkpty(&master, nullptr, nullptr, &size);
    if (pid < 0) return std::nullopt;
    if (pid == 0) {
        ::execl(tool.c_str(), tool.c_str(), "-nu", "-d", root.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    std::string screen;
    char buffer[65536];
    bool completed = false;
    for (pollfd waiting{master, POLLIN, 0}; !completed && ::poll(&waiting, 1, 600000) > 0;) {
        const ssize_t n = ::read(master, buffer, sizeof buffer);
        if (n <= 0) break;
        screen.append(buffer, std::size_t(n));
        completed = screen.find("Search completed") != std::string::npos;
    }
    if (::write(master, "q", 1) != 1 || !completed) ::kill(pid, SIGKILL);
    for (ssize_t n; (n = ::read(master, buffer, sizeof buffer)) > 0;) {}
    ::close(master);
    ::waitpid(pid, nullptr, 0);
    if (!completed) return std::nullopt;
    Paths paths;
    const std::regex path(std::regex_replace(root, std::regex(R"([.^$|()\[\]{}*+?\\])"), R"(\$&)") +
                          R"(/[^\s\x1b]*/node_modules)");
    for (std::sregex_iterator it(screen.begin(), screen.end(), path), end; it != end; ++it) paths.insert(it->str());
    return paths;
}

// ---- measuring ----

// The finder, and with `sizes` the size of every node_modules folder it found, as npkill gives.
void findOnce(const std::string& root, bool sizes) {
    const auto found = tidra::ProjectFinder::find({root});
    if (!sizes) return;
    for (const auto& artifact : found.artifacts)
        if (artifact.kind.folder == "node_modules") tidra::SizeScanner::measure({artifact.path}, [] { return false; });
}

int once(const std::vector<std::string>& args) {
    if (args.size() == 2 && (args[0] == "find" || args[0] == "sizes")) findOnce(args[1], args[0] == "sizes");
    else if (args.size() == 3 && args[0] == "npkill") return npkill(args[2], args[1]) ? 0 : 1;
    else return 2;
    return 0;
}

bool parity(const tidra::ProjectFinder::Result& ours, const Expected& expected, const Paths& floor,
            const std::optional<Paths>& npkilled) {
    Paths modules;
    Expected found;
    for (const auto& artifact : ours.artifacts) {
        ++found[artifact.kind.label];
        if (artifact.kind.folder == "node_modules") modules.insert(artifact.path);
    }
    bool same = found == expected && modules == floor;
    std::printf("parity: finder %zu node_modules, find %zu, npkill %s; %zu projects, %zu artifacts\n",
                modules.size(), floor.size(),
                npkilled ? std::to_string(npkilled->size()).c_str() : "(not run)", ours.projects.size(),
                ours.artifacts.size());
    for (const auto& [label, count] : expected)
        if (found[label] != count) std::printf("  %s: found %d, made %d\n", label.c_str(), found[label], count);
    if (npkilled && *npkilled != floor) {
        std::printf("  npkill lists other folders than find\n");
        same = false;
    }
    return same;
}

} // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::string(argv[1]) == "--once") return once(std::vector<std::string>(argv + 2, argv + argc));
    const Settings s = parse(argc, argv);
    if (s.root.empty()) {
        std::fprintf(stderr, "usage: project_finder --root DIR [--npkill PATH] [--projects N] "
                             "[--module-files F] [--rounds R]\n");
        return 2;
    }
    std::printf("tree: %d projects, %d files per node_modules, under %s\n", s.projects, s.moduleFiles,
                s.root.c_str());
    const auto started = Clock::now();
    const Expected expected = generate(s);
    std::printf("generated in %.1f s\n", std::chrono::duration<double>(Clock::now() - started).count());

    const auto ours = tidra::ProjectFinder::find({s.root});
    const auto npkilled = s.npkill.empty() ? std::nullopt : npkill(s.npkill, s.root);
    if (!s.npkill.empty() && !npkilled) std::printf("npkill did not finish its search\n");
    if (!parity(ours, expected, findFloor(s.root), npkilled)) return 1;

    const auto self = bench::selfPath();
    std::vector<std::string> floor{"/usr/bin/find"};
    for (auto& word : findFloorArguments(s.root)) floor.push_back(std::move(word));
    std::printf("listing the folders (the finder against find with the same prunes):\n");
    const std::vector<bench::Contender> listing{{"tidra", {self, "--once", "find", s.root}}, {"find", floor}};
    bench::printRace(listing, bench::race(listing, s.rounds), s.rounds);
    if (!s.npkill.empty()) {
        // npkill runs on a terminal of this program's making: its time includes that start.
        std::printf("listing and sizing the node_modules folders (the finder and sizes against npkill):\n");
        const int rounds = std::min(s.rounds, 3);
        const std::vector<bench::Contender> sizing{{"tidra", {self, "--once", "sizes", s.root}},
                                                   {"npkill", {self, "--once", "npkill", s.root, s.npkill}}};
        bench::printRace(sizing, bench::race(sizing, rounds), rounds);
    }
    return 0;
}
