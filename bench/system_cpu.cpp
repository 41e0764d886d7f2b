// The machine-wide CPU reading of the slowness check against `ps -A -o pcpu=,comm=`, the
// command it stands in for: starts a crowd of idle children and one busy child, checks that
// both see them under the same names and that the busy child reads alike, then times one
// reading pass (two full readings without the wait) against ps.
//
// usage: system_cpu [--processes N] [--rounds R]
#include "performance/SlownessCheck.h"
#include "performance/SystemCPU.h"

#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct Settings {
    int processes = 300;
    int rounds = 30;
};

Settings parse(int argc, char** argv) {
    Settings s;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string flag = argv[i];
        if (flag == "--processes") s.processes = std::max(1, std::atoi(argv[i + 1]));
        else if (flag == "--rounds") s.rounds = std::max(1, std::atoi(argv[i + 1]));
    }
    return s;
}

// A named child that dies with us, so an interrupted run leaves nothing behind.
pid_t startChild(bool busy) {
    const pid_t pid = ::fork();
    if (pid != 0) return pid;
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (::getppid() == 1) ::_exit(0);
    ::prctl(PR_SET_NAME, busy ? "tidra-busy" : "tidra-idle");
    volatile unsigned long spin = 0;
    for (;;) {
        if (busy) spin = spin + 1;
        else ::pause();
    }
}

double medianMs(int rounds, const std::function<void()>& work) {
    std::vector<double> times;
    for (int i = 0; i < rounds; ++i) {
        const auto start = Clock::now();
        work();
        times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

double valueOf(const std::map<std::string, double>& cpu, const char* name) {
    const auto found = cpu.find(name);
    return found != cpu.end() ? found->second : -1;
}

} // namespace

int main(int argc, char** argv) {
    const Settings settings = parse(argc, argv);
    std::vector<pid_t> children;
    for (int i = 0; i < settings.processes; ++i) children.push_back(startChild(false));
    const pid_t busy = startChild(true);
    children.push_back(busy);
    // ps averages over the child's life: let the start-up settle into it.
    std::this_thread::sleep_for(std::chrono::seconds(2));

    const auto run = tidra::SlownessCheck::shellRun();
    const auto ours = tidra::SystemCPU::measure();
    const auto ps = tidra::SlownessCheck::systemCPU(run);
    const double oursBusy = valueOf(ours, "tidra-busy"), psBusy = valueOf(ps, "tidra-busy");
    const bool idleSeen = ours.count("tidra-idle") && ps.count("tidra-idle");
    const bool same = idleSeen && oursBusy >= 0 && psBusy >= 0 && std::abs(oursBusy - psBusy) <= 15;
    std::printf("parity: busy child %.1f %% (ours) vs %.1f %% (ps), idle children %s; %zu names vs %zu\n", oursBusy,
                psBusy, idleSeen ? "seen by both" : "MISSING", ours.size(), ps.size());

    tidra::SystemCPU::Options noWait;
    noWait.wait = [](std::chrono::milliseconds) {};
    const double oursMs = medianMs(settings.rounds, [&] { tidra::SystemCPU::measure(noWait); });
    const double psMs = medianMs(settings.rounds, [&] { tidra::SlownessCheck::systemCPU(run); });
    for (const pid_t pid : children) ::kill(pid, SIGKILL);
    for (const pid_t pid : children) ::waitpid(pid, nullptr, 0);

    std::printf("SystemCPU::measure, two readings  %8.2f ms (median of %d; the 1 s wait left out)\n", oursMs,
                settings.rounds);
    std::printf("ps -A -o pcpu=,comm=              %8.2f ms  (%.1fx ours)\n", psMs, psMs / oursMs);
    return same ? 0 : 1;
}
