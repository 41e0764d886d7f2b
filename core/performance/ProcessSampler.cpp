#include "performance/ProcessSampler.h"

#include "performance/ProcessClock.h"
#include "platform/PathText.h"
#include "platform/ProcReader.h"

#include <tbb/blocked_range.h>
#include <tbb/parallel_for.h>
#include <pwd.h>
#include <time.h>
#include <unistd.h>

#include <utility>

namespace tidra {
namespace {

constexpr std::uint64_t kNanosPerSecond = 1'000'000'000;
// How long a reading of the session's processes serves; a new socket owner, such as an ssh
// agent started later, is known within this time.
constexpr std::uint64_t kSessionLifetime = 30 * kNanosPerSecond;

std::uint64_t monotonicNow() {
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return std::uint64_t(now.tv_sec) * kNanosPerSecond + std::uint64_t(now.tv_nsec);
}

std::string nameOf(pid_t pid, const std::string& path, const std::string& comm) {
    if (!path.empty()) return std::string(sys::PathText::lastComponent(path));
    if (!comm.empty()) return comm;
    return "pid " + std::to_string(pid);
}

std::string homeOf(uid_t owner) {
    const passwd* entry = ::getpwuid(owner);
    return entry && entry->pw_dir ? entry->pw_dir : "";
}

ProcessSampler::Options withDefaults(ProcessSampler::Options options) {
    if (!options.owner) options.owner = ::geteuid();
    if (!options.monotonicNanoseconds) options.monotonicNanoseconds = monotonicNow;
    if (!options.home) options.home = homeOf(*options.owner);
    if (!options.session)
        options.session = options.procRoot == "/proc" ? SessionProcesses::Facts::live() : SessionProcesses::Facts{};
    return options;
}

// The proc file holding a process's control groups has one "0::<path>" line on the unified
// hierarchy.
std::string unifiedGroup(const std::string& text) {
    const auto at = ("\n" + text).find("\n0::");
    if (at == std::string::npos) return {};
    const auto start = at + 3;
    return text.substr(start, text.find('\n', start) - start);
}

} // namespace

ProcessSampler::ProcessSampler() : ProcessSampler(Options{}) {}

ProcessSampler::ProcessSampler(Options options)
    : options_(withDefaults(std::move(options))),
      reader_(std::make_unique<sys::ProcReader>(options_.procRoot)),
      bootTime_(ProcessClock::bootTime(*reader_)) {}

ProcessSampler::~ProcessSampler() = default;

ProcessSample ProcessSampler::sample() {
    const std::lock_guard lock(mutex_);
    const std::uint64_t now = options_.monotonicNanoseconds();
    const std::uint64_t elapsed = previousTime_ != 0 ? now - previousTime_ : 0;
    const std::vector<pid_t> pids = reader_->pids();
    // Reading /proc is nearly all of the cost and each process is independent; the slots keep
    // the listing order.
    std::vector<std::optional<Reading>> readings(pids.size());
    tbb::parallel_for(tbb::blocked_range<std::size_t>(0, pids.size(), 32), [&](const auto& range) {
        for (std::size_t i = range.begin(); i != range.end(); ++i) readings[i] = read(pids[i]);
    });
    CpuTimes cpu;
    std::vector<ProcessSnapshot> snapshots;
    snapshots.reserve(pids.size());
    for (auto& reading : readings) {
        if (!reading) continue;
        reading->snapshot.cpuPercent = cpuPercent(*reading, elapsed);
        cpu.emplace(reading->identity, reading->cpuNanos);
        snapshots.push_back(std::move(reading->snapshot));
    }
    const auto& session = sessionProcesses(now);
    for (auto& snapshot : snapshots) snapshot.isSessionProcess = session.count(snapshot.pid) != 0;
    previousCPU_ = std::move(cpu);
    previousTime_ = now;
    return ProcessSample(std::move(snapshots), *options_.home);
}

const std::set<pid_t>& ProcessSampler::sessionProcesses(std::uint64_t now) {
    if (!sessionRead_ || now - *sessionRead_ >= kSessionLifetime) {
        session_ = SessionProcesses::read(*reader_, *options_.session);
        sessionRead_ = now;
    }
    return session_;
}

std::optional<ProcessSampler::Reading> ProcessSampler::read(pid_t pid) const {
    // status first: it turns away other users' processes with a single read.
    const auto status = reader_->status(pid);
    if (!status || status->effectiveUid != *options_.owner) return std::nullopt;
    const auto stat = reader_->stat(pid);
    if (!stat || stat->isKernelThread()) return std::nullopt;

    ProcessSnapshot p;
    p.pid = pid;
    p.parentPID = stat->parent;
    p.path = reader_->executable(pid).value_or("");
    p.name = nameOf(pid, p.path, stat->comm);
    p.memoryBytes = status->memoryBytes;
    p.arguments = reader_->arguments(pid);
    p.folder = reader_->workingDirectory(pid);
    p.cgroup = unifiedGroup(reader_->file(std::to_string(pid) + "/cgroup").value_or(""));
    if (bootTime_) p.started = ProcessClock::startTime(*bootTime_, stat->startTicks);
    return Reading{std::move(p), {pid, stat->startTicks}, ProcessClock::nanosFromTicks(stat->cpuTicks)};
}

// 0 without an earlier reading of the same process, and when its CPU time went down.
double ProcessSampler::cpuPercent(const Reading& reading, std::uint64_t elapsed) const {
    const auto before = previousCPU_.find(reading.identity);
    if (before == previousCPU_.end() || elapsed == 0 || reading.cpuNanos < before->second) return 0;
    return double(reading.cpuNanos - before->second) / double(elapsed) * 100.0;
}

} // namespace tidra
