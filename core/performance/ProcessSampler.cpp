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
// How long a process's owner, memory and details read while it sat idle serve.
constexpr std::uint64_t kDetailsLifetime = 30 * kNanosPerSecond;

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
    auto readings = readAll(reader_->pids(), now);
    KnownProcesses known;
    std::vector<ProcessSnapshot> snapshots;
    snapshots.reserve(readings.size());
    for (auto& reading : readings) {
        if (!reading) continue;
        if (reading->known.snapshot) {
            ProcessSnapshot& snapshot = snapshots.emplace_back(*reading->known.snapshot);
            snapshot.memoryBytes = reading->known.memoryBytes;
            snapshot.cpuPercent = cpuPercent(*reading, elapsed);
        }
        known.emplace(reading->identity, std::move(reading->known));
    }
    const auto& session = sessionProcesses(now);
    for (auto& snapshot : snapshots) snapshot.isSessionProcess = session.count(snapshot.pid) != 0;
    known_ = std::move(known);
    previousTime_ = now;
    return ProcessSample(std::move(snapshots), *options_.home);
}

// A first sample reads every detail of every process, and is shared among the cores; later ones
// mostly read one small file a process, cheaper on this thread than waking the pool's workers.
std::vector<std::optional<ProcessSampler::Reading>> ProcessSampler::readAll(const std::vector<pid_t>& pids,
                                                                            std::uint64_t now) const {
    std::vector<std::optional<Reading>> readings(pids.size());
    const auto readRange = [&](std::size_t from, std::size_t to) {
        for (std::size_t i = from; i != to; ++i) readings[i] = read(pids[i], now);
    };
    if (!known_.empty()) {
        readRange(0, pids.size());
        return readings;
    }
    tbb::parallel_for(tbb::blocked_range<std::size_t>(0, pids.size(), 32),
                      [&](const auto& range) { readRange(range.begin(), range.end()); });
    return readings;
}

const std::set<pid_t>& ProcessSampler::sessionProcesses(std::uint64_t now) {
    if (!sessionRead_ || now - *sessionRead_ >= kSessionLifetime) {
        session_ = SessionProcesses::read(*reader_, *options_.session);
        sessionRead_ = now;
    }
    return session_;
}

std::optional<ProcessSampler::Reading> ProcessSampler::read(pid_t pid, std::uint64_t now) const {
    const auto stat = reader_->stat(pid);
    if (!stat || stat->isKernelThread()) return std::nullopt;
    const Identity identity{pid, stat->startTicks};
    const auto found = known_.find(identity);
    const Known* before = found == known_.end() ? nullptr : &found->second;
    Known known;
    if (needsStatus(before, *stat, now)) {
        const auto status = reader_->status(pid);
        if (!status) return std::nullopt;
        known.uid = status->effectiveUid;
        known.memoryBytes = status->memoryBytes;
        known.statusRead = now;
    } else {
        known.uid = before->uid;
        known.memoryBytes = before->memoryBytes;
        known.statusRead = before->statusRead;
    }
    known.cpuTicks = stat->cpuTicks;
    known.comm = stat->comm;
    if (known.uid == *options_.owner) {
        if (needsDetails(before, *stat, now)) {
            known.snapshot = details(pid, *stat);
            known.detailsRead = now;
        } else {
            known.snapshot = before->snapshot;
            known.detailsRead = before->detailsRead;
        }
        // An orphan is adopted without running: the parent is taken fresh every time.
        known.snapshot->parentPID = stat->parent;
    }
    return Reading{identity, std::move(known)};
}

// Owner and memory move only while the process runs, or after an exec; now and then they are
// read anyway, as a process's shared memory may grow through another.
bool ProcessSampler::needsStatus(const Known* before, const sys::ProcStat& stat, std::uint64_t now) const {
    return before == nullptr || before->cpuTicks != stat.cpuTicks || before->comm != stat.comm ||
           now - before->statusRead >= kDetailsLifetime;
}

bool ProcessSampler::needsDetails(const Known* before, const sys::ProcStat& stat, std::uint64_t now) const {
    return before == nullptr || !before->snapshot || before->comm != stat.comm ||
           now - before->detailsRead >= kDetailsLifetime;
}

ProcessSnapshot ProcessSampler::details(pid_t pid, const sys::ProcStat& stat) const {
    ProcessSnapshot p;
    p.pid = pid;
    p.parentPID = stat.parent;
    p.path = reader_->executable(pid).value_or("");
    p.name = nameOf(pid, p.path, stat.comm);
    p.arguments = reader_->arguments(pid);
    p.folder = reader_->workingDirectory(pid);
    p.cgroup = unifiedGroup(reader_->file(std::to_string(pid) + "/cgroup").value_or(""));
    if (bootTime_) p.started = ProcessClock::startTime(*bootTime_, stat.startTicks);
    return p;
}

// 0 without an earlier reading of the same process, and when its CPU time went down.
double ProcessSampler::cpuPercent(const Reading& reading, std::uint64_t elapsed) const {
    const auto before = known_.find(reading.identity);
    if (before == known_.end() || elapsed == 0 || reading.known.cpuTicks < before->second.cpuTicks) return 0;
    const auto ticks = reading.known.cpuTicks - before->second.cpuTicks;
    return double(ProcessClock::nanosFromTicks(ticks)) / double(elapsed) * 100.0;
}

} // namespace tidra
