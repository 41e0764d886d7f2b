// The machine-wide CPU reading of the slowness check against `ps -A -o pcpu=,comm=`, the
// command it stands in for: starts a crowd of idle children and one busy child, checks that
// both see them under the same names and that the busy child reads alike, then times one
// reading pass (two full readings without the wait) against ps, each as a whole process over
// interleaved rounds.
//
// usage: system_cpu [--processes N] [--rounds R]
//        system_cpu --once             one reading pass, for the timing
#include "performance/SlownessCheck.h"
#include "performance/SystemCPU.h"

#include "BenchSupport.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

namespace {

// Children named for the parity check: both readings must list them under these names.
pid_t startChild(bool busy) { return bench::startChild(busy, busy ? "tidra-busy" : "tidra-idle"); }

double valueOf(const std::map<std::string, double>& cpu, const char* name) {
    const auto found = cpu.find(name);
    return found != cpu.end() ? found->second : -1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::string(argv[1]) == "--once") {
        tidra::SystemCPU::Options noWait;
        noWait.wait = [](std::chrono::milliseconds) {};
        tidra::SystemCPU::measure(noWait);
        return 0;
    }
    const bench::CrowdSettings settings = bench::crowdSettings(argc, argv, 300);
    std::vector<pid_t> children;
    for (int i = 0; i < settings.processes; ++i) children.push_back(startChild(false));
    const pid_t busy = startChild(true);
    children.push_back(busy);
    // ps averages over the child's life: let the start-up settle into it.
    std::this_thread::sleep_for(std::chrono::seconds(2));

    const auto run = tidra::SlownessCheck::shellRun();
    const auto ours = tidra::SystemCPU::measure();
    const auto ps = tidra::SlownessCheck::parsePS(run("/bin/ps", {"-A", "-o", "pcpu=,comm="}).value_or(""));
    const double oursBusy = valueOf(ours, "tidra-busy"), psBusy = valueOf(ps, "tidra-busy");
    const bool idleSeen = ours.count("tidra-idle") && ps.count("tidra-idle");
    const bool same = idleSeen && oursBusy >= 0 && psBusy >= 0 && std::abs(oursBusy - psBusy) <= 15;
    std::printf("parity: busy child %.1f %% (ours) vs %.1f %% (ps), idle children %s; %zu names vs %zu\n", oursBusy,
                psBusy, idleSeen ? "seen by both" : "MISSING", ours.size(), ps.size());

    // Ours takes two readings without the 1 s wait between them.
    const std::vector<bench::Contender> contenders{{"tidra", {bench::selfPath(), "--once"}},
                                                   {"ps", {"ps", "-A", "-o", "pcpu=,comm="}}};
    const auto timings = bench::race(contenders, settings.rounds);
    bench::stopChildren(children);
    bench::printRace(contenders, timings, settings.rounds);
    return same ? 0 : 1;
}
