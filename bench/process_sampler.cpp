// Process sampling against ps and top: starts a crowd of idle children and one busy child,
// checks that a sample agrees with ps about them, then times a full sample, `ps` and `top`,
// each as a whole process over interleaved rounds.
//
// usage: process_sampler [--processes N] [--rounds R]
//        process_sampler --once        one full sample, for the timing
#include "performance/ProcessSampler.h"

#include "BenchSupport.h"

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

// Runs a tool as a user would, standard output captured.
std::string run(const std::vector<std::string>& command) {
    int out[2];
    if (::pipe(out) != 0) return {};
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(out[1], 1);
        ::close(out[0]);
        ::close(out[1]);
        std::vector<char*> argv;
        for (const auto& word : command) argv.push_back(const_cast<char*>(word.c_str()));
        argv.push_back(nullptr);
        ::execvp(argv[0], argv.data());
        ::_exit(127);
    }
    ::close(out[1]);
    std::string text;
    char buffer[65536];
    for (ssize_t n; (n = ::read(out[0], buffer, sizeof buffer)) > 0;) text.append(buffer, std::size_t(n));
    ::close(out[0]);
    ::waitpid(pid, nullptr, 0);
    return text;
}

struct PsRow {
    pid_t parent = 0;
    std::string comm;
};

std::map<pid_t, PsRow> psRows(const std::string& text) {
    std::map<pid_t, PsRow> rows;
    std::istringstream in(text);
    std::string line;
    std::getline(in, line);  // header
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        pid_t pid = 0;
        PsRow row;
        std::string rss, cpu;
        if (fields >> pid >> row.parent >> rss >> cpu >> std::ws && std::getline(fields, row.comm)) rows[pid] = row;
    }
    return rows;
}

// Our children as ps and the sampler see them: same pids, same parent, same name.
bool parity(const std::vector<pid_t>& children, const tidra::ProcessSample& sample, const std::map<pid_t, PsRow>& ps) {
    std::map<pid_t, const tidra::ProcessSnapshot*> sampled;
    for (const auto& p : sample.processes) sampled[p.pid] = &p;
    int mismatches = 0;
    for (const pid_t pid : children) {
        const auto s = sampled.find(pid);
        const auto r = ps.find(pid);
        const bool same = s != sampled.end() && r != ps.end() && s->second->parentPID == r->second.parent &&
                          s->second->name.substr(0, 15) == r->second.comm;
        if (!same && ++mismatches <= 5) std::printf("  mismatch on pid %d\n", pid);
    }
    std::printf("parity: %zu children, %d mismatches (sample holds %zu processes, ps lists %zu)\n", children.size(),
                mismatches, sample.processes.size(), ps.size());
    return mismatches == 0;
}

double busyChildPercent(pid_t busy) {
    tidra::ProcessSampler sampler;
    sampler.sample();
    std::this_thread::sleep_for(std::chrono::seconds(1));
    for (const auto& p : sampler.sample().processes)
        if (p.pid == busy) return p.cpuPercent;
    return -1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::string(argv[1]) == "--once") {
        tidra::ProcessSampler().sample();
        return 0;
    }
    const bench::CrowdSettings settings = bench::crowdSettings(argc, argv, 500);
    if (!std::getenv("TERM")) ::setenv("TERM", "dumb", 1);
    std::vector<pid_t> children;
    for (int i = 0; i < settings.processes; ++i) children.push_back(bench::startChild(false));
    const pid_t busy = bench::startChild(true);
    children.push_back(busy);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));

    const std::vector<std::string> ps{"ps", "-eo", "pid,ppid,rss,pcpu,comm"};
    tidra::ProcessSampler sampler;
    const auto sample = sampler.sample();
    const bool same = parity(children, sample, psRows(run(ps)));

    const std::vector<bench::Contender> contenders{
        {"tidra", {bench::selfPath(), "--once"}}, {"ps", ps}, {"top", {"top", "-b", "-n1"}}};
    const auto timings = bench::race(contenders, settings.rounds);
    const double percent = busyChildPercent(busy);
    bench::stopChildren(children);

    std::printf("processes sampled: %zu\n", sample.processes.size());
    bench::printRace(contenders, timings, settings.rounds);
    const bool accurate = percent >= 90 && percent <= 110;
    std::printf("busy child after 1 s:  %.1f %% (%s, want 100 +- 10)\n", percent, accurate ? "ok" : "OFF");
    return same ? 0 : 1;
}
