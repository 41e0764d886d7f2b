// Stopping of DeveloperTools: signals with an identity check, quit requests and stop commands.
#include "performance/DeveloperTools.h"

#include "performance/ProcessClock.h"
#include "performance/SessionProcesses.h"
#include "platform/ProcReader.h"
#include "platform/ProcessSignal.h"

#include <signal.h>
#include <unistd.h>

namespace tidra::DeveloperTools {
namespace {

using Stop = DeveloperTool::Stop;

// Docker Desktop on Linux is this systemd user service.
constexpr const char* kSystemctl = "/usr/bin/systemctl";
constexpr const char* kDockerService = "docker-desktop";

SignalOutcome outcomeOf(sys::ProcessSignal::Outcome outcome) {
    using Out = sys::ProcessSignal::Outcome;
    switch (outcome) {
    case Out::sent: return SignalOutcome::sent;
    case Out::gone: return SignalOutcome::gone;
    case Out::replaced: return SignalOutcome::replaced;
    case Out::notPermitted: return SignalOutcome::notPermitted;
    case Out::failed: return SignalOutcome::failed;
    }
    return SignalOutcome::failed;
}

// Whether the process meant is stopped, or asked to stop, after this attempt. A replaced pid
// means the process meant ended long ago; the newcomer is left alone.
bool signalOne(const DeveloperTool::ProcessRef& process, bool force, const Stopping& stopping,
               const std::set<pid_t>& session) {
    // kill(0) and kill(-1) would reach whole groups, pid 1 is init, and we do not stop ourselves
    // or the session we run in.
    if (process.pid <= 1 || process.pid == stopping.self || session.count(process.pid) != 0 || !process.started)
        return false;
    const auto& send = force ? stopping.forceTerminate : stopping.terminate;
    switch (send(process.pid, *process.started)) {
    case SignalOutcome::sent:
    case SignalOutcome::gone:
    case SignalOutcome::replaced: return true;
    case SignalOutcome::notPermitted:
    case SignalOutcome::failed: return false;
    }
    return false;
}

// Sends `signal` only while the pid still belongs to the process that started at `started`.
SignalOutcome signalIfSame(pid_t pid, int signal, std::chrono::system_clock::time_point started) {
    const sys::ProcReader reader;
    return outcomeOf(sys::ProcessSignal::send(pid, signal, reader, [&](std::uint64_t startTicks) {
        return ProcessClock::startTime(reader, startTicks) == started;
    }));
}

bool stopSignal(const Stop::Signal& stop, const Stopping& stopping) {
    const auto session = stopping.sessionProcesses ? stopping.sessionProcesses() : std::set<pid_t>{};
    bool all = true;
    for (const auto& process : stop.processes) all = signalOne(process, stop.force, stopping, session) && all;
    return all;
}

bool stopCommand(const Stop::Command& stop, const Stopping& stopping) {
    const auto output = stopping.run(stop.tool, stop.arguments, stopping.timeout);
    const bool succeeded = output && output->succeeded();
    if (stop.thenQuit) quit(*stop.thenQuit, stopping);
    return succeeded;
}

} // namespace

Stopping Stopping::live() {
    Stopping stopping;
    stopping.terminate = DeveloperTools::terminate;
    stopping.forceTerminate = DeveloperTools::forceTerminate;
    stopping.run = [](const std::string& tool, const std::vector<std::string>& arguments,
                      std::chrono::milliseconds timeout) { return Shell::run(tool, arguments, {}, timeout); };
    stopping.self = ::getpid();
    stopping.sessionProcesses = [] { return SessionProcesses::read(sys::ProcReader(), SessionProcesses::Facts::live()); };
    return stopping;
}

SignalOutcome terminate(pid_t pid, std::chrono::system_clock::time_point started) {
    return signalIfSame(pid, SIGTERM, started);
}

SignalOutcome forceTerminate(pid_t pid, std::chrono::system_clock::time_point started) {
    return signalIfSame(pid, SIGKILL, started);
}

bool stop(const DeveloperTool& tool, const Stopping& stopping) {
    if (const auto* signal = std::get_if<Stop::Signal>(&tool.stop.value)) return stopSignal(*signal, stopping);
    if (const auto* app = std::get_if<Stop::QuitApp>(&tool.stop.value)) return quit(app->bundleIdentifier, stopping);
    return stopCommand(std::get<Stop::Command>(tool.stop.value), stopping);
}

bool quit(const std::string& bundleIdentifier, const Stopping& stopping) {
    if (bundleIdentifier != "com.docker.docker") return false;
    const auto active = stopping.run(kSystemctl, {"--user", "is-active", "--quiet", kDockerService}, stopping.timeout);
    if (!active || !active->succeeded()) return false;
    const auto stopped = stopping.run(kSystemctl, {"--user", "stop", kDockerService}, stopping.timeout);
    return stopped && stopped->succeeded();
}

} // namespace tidra::DeveloperTools
