// Helpers the benchmark programs share: command-line flags, generated files with reproducible
// content, crowds of child processes, timed runs of our code and of outside tools with the
// bytes each read.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

extern char** environ;

namespace bench {

// "--name value" pairs after the program name; a later pair wins, a lone last word is ignored.
class Flags {
public:
    Flags(int argc, char** argv) {
        for (int i = 1; i + 1 < argc; i += 2) values_[argv[i]] = argv[i + 1];
    }
    // The value given for `name`, or `fallback`.
    std::string text(const std::string& name, const std::string& fallback = {}) const {
        const auto found = values_.find(name);
        return found == values_.end() ? fallback : found->second;
    }
    // The number given for `name`, at least 1; `fallback` when it is not given.
    int count(const std::string& name, int fallback) const {
        const auto found = values_.find(name);
        return found == values_.end() ? fallback : std::max(1, std::atoi(found->second.c_str()));
    }

private:
    std::map<std::string, std::string> values_;
};

// How many children a process benchmark starts and how many timed rounds it runs:
// "--processes N --rounds N".
struct CrowdSettings {
    int processes;
    int rounds;
};

inline CrowdSettings crowdSettings(int argc, char** argv, int defaultProcesses, int defaultRounds = 30) {
    const Flags flags(argc, argv);
    return {flags.count("--processes", defaultProcesses), flags.count("--rounds", defaultRounds)};
}

// A child that spins (`busy`) or sleeps until killed, and dies with us, so an interrupted run
// leaves nothing behind. `name`, when given, becomes its command name.
inline pid_t startChild(bool busy, const char* name = nullptr) {
    const pid_t pid = ::fork();
    if (pid != 0) return pid;
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (::getppid() == 1) ::_exit(0);
    if (name) ::prctl(PR_SET_NAME, name);
    volatile unsigned long spin = 0;
    for (;;) {
        if (busy) spin = spin + 1;
        else ::pause();
    }
}

inline void stopChildren(const std::vector<pid_t>& children) {
    for (const pid_t pid : children) ::kill(pid, SIGKILL);
    for (const pid_t pid : children) ::waitpid(pid, nullptr, 0);
}

struct Measure {
    double seconds = 0;
    // Bytes the process asked the kernel to read (rchar): what the tool read, cached or not.
    std::int64_t bytesRead = 0;
    // Largest resident set in KiB, the figure `/usr/bin/time -v` reports (0 when measured here).
    std::int64_t peakKiB = 0;
};

inline std::int64_t readChars(const std::string& ioFile) {
    std::ifstream in(ioFile);
    std::string key;
    std::int64_t value = 0;
    while (in >> key >> value)
        if (key == "rchar:") return value;
    return 0;
}

inline Measure measureHere(const std::function<void()>& work) {
    const auto before = readChars("/proc/self/io");
    const auto start = std::chrono::steady_clock::now();
    work();
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    return {took.count(), readChars("/proc/self/io") - before};
}

// Runs `argv` with standard output into `output`; the exited child is inspected before it is
// reaped, so its read count is still there to take.
inline Measure measureTool(const std::vector<std::string>& argv, const std::string& output) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    std::vector<char*> args;
    for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    pid_t pid = 0;
    const auto start = std::chrono::steady_clock::now();
    if (posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ) != 0) {
        std::fprintf(stderr, "cannot start %s\n", args[0]);
        std::exit(2);
    }
    posix_spawn_file_actions_destroy(&actions);
    siginfo_t info{};
    waitid(P_PID, id_t(pid), &info, WEXITED | WNOWAIT);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    const auto bytes = readChars("/proc/" + std::to_string(pid) + "/io");
    struct rusage usage{};
    wait4(pid, nullptr, 0, &usage);
    return {took.count(), bytes, usage.ru_maxrss};
}

// One side of a comparison: its name and the command that does the work as a whole process,
// so that every side pays for its own start, as a user running it would.
struct Contender {
    std::string name;
    std::vector<std::string> argv;
};

struct Timing {
    // Median wall time of the rounds.
    double seconds = 0;
    // Of the last round.
    std::int64_t bytesRead = 0;
    // The largest of all rounds.
    std::int64_t peakKiB = 0;
};

// One untimed run of each contender (warm cache), then `rounds` rounds in which every
// contender runs once, the first of each round rotating: a burst of load lands on all sides
// alike. Output is discarded.
inline std::vector<Timing> race(const std::vector<Contender>& contenders, int rounds) {
    for (const auto& c : contenders) measureTool(c.argv, "/dev/null");
    std::vector<std::vector<double>> times(contenders.size());
    std::vector<Timing> timings(contenders.size());
    for (int round = 0; round < rounds; ++round)
        for (std::size_t k = 0; k < contenders.size(); ++k) {
            const std::size_t i = (k + std::size_t(round)) % contenders.size();
            const auto m = measureTool(contenders[i].argv, "/dev/null");
            times[i].push_back(m.seconds);
            timings[i].bytesRead = m.bytesRead;
            timings[i].peakKiB = std::max(timings[i].peakKiB, m.peakKiB);
        }
    for (std::size_t i = 0; i < contenders.size(); ++i) {
        std::sort(times[i].begin(), times[i].end());
        timings[i].seconds = times[i][times[i].size() / 2];
    }
    return timings;
}

// Every benchmark prints its figures this way: one line per contender, and for each but the
// first (ours) its time over ours, so a ratio above 1 always means ours is faster.
inline void printRace(const std::vector<Contender>& contenders, const std::vector<Timing>& timings, int rounds) {
    for (std::size_t i = 0; i < contenders.size(); ++i) {
        std::printf("  %-28s %10.1f ms %9.1f MB read %8.1f MB peak", contenders[i].name.c_str(), timings[i].seconds * 1e3,
                    double(timings[i].bytesRead) / 1e6, double(timings[i].peakKiB) / 1024);
        if (i > 0) std::printf("   %s/%s %6.2f", contenders[i].name.c_str(), contenders[0].name.c_str(),
                               timings[i].seconds / timings[0].seconds);
        std::printf("\n");
    }
    std::printf("  (whole processes, median of %d interleaved rounds; a ratio above 1: %s is faster)\n", rounds,
                contenders[0].name.c_str());
}

// This program's own path, for running a share of its work as a process of its own.
inline std::string selfPath() {
    char path[4096];
    const ssize_t n = ::readlink("/proc/self/exe", path, sizeof path - 1);
    return n > 0 ? std::string(path, std::size_t(n)) : std::string();
}

// Reproducible bytes: the same seed gives the same content.
inline void fill(std::vector<unsigned char>& buffer, std::uint64_t seed) {
    std::uint64_t x = seed * 0x9E3779B97F4A7C15ull + 1;
    for (std::size_t i = 0; i + 8 <= buffer.size(); i += 8) {
        x ^= x << 13;
        x ^= x >> 7;
        x ^= x << 17;
        std::memcpy(&buffer[i], &x, 8);
    }
    for (std::size_t i = buffer.size() & ~std::size_t(7); i < buffer.size(); ++i) buffer[i] = (unsigned char)(x >> (i % 8));
}

inline void makeFolders(const std::string& path) {
    for (std::size_t slash = 1; (slash = path.find('/', slash)) != std::string::npos; ++slash)
        ::mkdir(path.substr(0, slash).c_str(), 0755);
    ::mkdir(path.c_str(), 0755);
}

// A file of `size` bytes whose content depends on `seed` only, except one byte in the middle
// that `middle` (when not 0) changes: equal heads and tails, different contents.
inline void writeFile(const std::string& path, std::int64_t size, std::uint64_t seed, unsigned char middle = 0) {
    static thread_local std::vector<unsigned char> chunk;
    const std::int64_t step = 1 << 20;
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        std::perror(path.c_str());
        std::exit(2);
    }
    for (std::int64_t at = 0; at < size; at += step) {
        chunk.resize(std::size_t(std::min(step, size - at)));
        fill(chunk, seed * 1'000'003 + std::uint64_t(at / step));
        if (middle && at <= size / 2 && size / 2 < at + step) chunk[std::size_t(size / 2 - at)] ^= middle;
        if (::write(fd, chunk.data(), chunk.size()) != ssize_t(chunk.size())) std::exit(2);
    }
    ::close(fd);
}

} // namespace bench
