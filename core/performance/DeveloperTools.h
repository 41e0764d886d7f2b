#pragma once

#include "performance/DeveloperTool.h"
#include "performance/ProcessSample.h"
#include "performance/ProcessSnapshot.h"
#include "performance/TCPSocket.h"
#include "system/Shell.h"

#include <sys/types.h>

#include <chrono>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace tidra {
class ProcessInspector;
}

// Recognising running developer tools in a process sample, and stopping them. No state; every
// operation may run on any thread.
namespace tidra::DeveloperTools {

// Argument list of a process, executable first; empty when it cannot be read.
using ArgumentsOf = std::function<std::vector<std::string>(pid_t)>;
// Working folder of a process; absent when it cannot be read.
using WorkingDirectoryOf = std::function<std::optional<std::string>(pid_t)>;
// TCP sockets of a process; empty when they cannot be read.
using SocketsOf = std::function<std::vector<TCPSocket>(pid_t)>;

// The closer looks at single processes that recognition needs; all three must be set. They may
// be called several times for one pid, always from the calling thread.
struct Inspection {
    ArgumentsOf arguments;
    WorkingDirectoryOf workingDirectory;
    SocketsOf sockets;

    // The live answers of `inspector`, which must outlive the inspection.
    static Inspection of(const ProcessInspector& inspector);
};

// JavaScript runtime process names: "node", "bun", "deno".
const std::set<std::string, std::less<>>& runtimes();

// The arguments joined with single spaces: the text every command-line test looks at.
std::string commandLine(const std::vector<std::string>& arguments);

// ---- Recognition of single processes and of Docker Desktop and the simulators ----

// The display name of the application bundle holding `path` (the earliest ".app/" or
// ".app.bundle/"): the bundle's name without extension when it has any upper-case letter,
// else the bundle's CFBundleName (Contents/Info.plist, or Info.plist for a shallow bundle),
// else the lower-case name. Absent outside bundles.
std::optional<std::string> appName(std::string_view path);

// A build daemon, language server or Android emulator; absent for every other process.
// Reads the arguments at most once, and only for processes named qemu-system*, java, dart,
// dartaotruntime, node, bun or deno. A qemu-system process counts as an emulator only with
// Android evidence (an "-avd" argument, an "@device" argument or an executable below an
// "/emulator/" folder): other virtual machines are not developer tools.
std::optional<DeveloperTool> classify(const ProcessSnapshot& process, const ArgumentsOf& arguments);

// Docker Desktop's processes: a path or responsible path inside "/Docker.app/", or an
// executable below "/opt/docker-desktop/" (its Linux home; this also takes its qemu VM).
bool isDockerProcess(const ProcessSnapshot& process);
// The iOS simulators' processes ("launchd_sim" and anything inside CoreSimulator or
// Simulator.app).
bool isSimulatorProcess(const ProcessSnapshot& process);
// One tool for all simulator processes; absent unless at least one is named "launchd_sim"
// (one per booted device).
std::optional<DeveloperTool> simulatorTool(const std::vector<ProcessSnapshot>& processes);
// One tool for all Docker Desktop processes; absent unless one is named "com.docker.backend".
std::optional<DeveloperTool> dockerTool(const std::vector<ProcessSnapshot>& processes);

// ---- Dev servers ----

// Dev-server trees among `candidates` (processes nothing else recognised, in sample order):
// each tree grouped under its topmost runtime or node_modules process, kept when that process
// works in a work folder and the tree has a known dev command, listens on a port or was left
// behind by a terminal that quit. One tool per tree, in order of each tree's first member.
std::vector<DeveloperTool> devServers(const std::vector<ProcessSnapshot>& candidates, const Inspection& inspection,
                                      const std::string& home);
// The name of the first known dev command `commandLine` contains ("Vite dev server", ...).
std::optional<std::string> devServerName(std::string_view commandLine);
// False for "/", the home folder, folders inside an application bundle and the home's Library;
// true for every other folder, also outside the home folder.
bool isWorkFolder(std::string_view folder, std::string_view home);
// The home folder written "~", a folder below it from "~" ("~/code/webshop"); any other
// folder as it is.
std::string shownFolder(const std::string& folder, const std::string& home);
// A short, readable command line: executable names and folder-relative paths, at most 80
// characters (longer ones end in "…", cut between characters as a reader sees them).
std::string summary(const std::vector<std::string>& arguments, std::string_view folder);

// ---- Finding and stopping ----

// Every running developer tool of `sample`, largest memory first; equal memory keeps the order
// of discovery (classified tools in sample order, then dev servers, the simulators, Docker).
std::vector<DeveloperTool> find(const ProcessSample& sample, const Inspection& inspection, const std::string& home);
// The same with the sample's own arguments and folders, and the live sockets of this moment.
std::vector<DeveloperTool> find(const ProcessSample& sample, const std::string& home);

// What signalling one process came to.
enum class SignalOutcome { sent, gone, replaced, notPermitted, failed };

// The side effects of stopping; tests replace them.
struct Stopping {
    // Sends SIGTERM to the process if it still is the one that started at `started`.
    std::function<SignalOutcome(pid_t pid, std::chrono::system_clock::time_point started)> terminate;
    // The same with SIGKILL, for a forced signal stop.
    std::function<SignalOutcome(pid_t pid, std::chrono::system_clock::time_point started)> forceTerminate;
    // Runs a command; `Shell::run` without extra environment by default.
    std::function<std::optional<Shell::Output>(const std::string& tool, const std::vector<std::string>& arguments,
                                               std::chrono::milliseconds timeout)>
        run;
    // Limit for a stop command and for each quit request.
    std::chrono::milliseconds timeout = std::chrono::seconds(60);
    // Our own pid, which is never signalled.
    pid_t self = 0;
    // The processes the session stands on, read when a signal stop begins; never signalled.
    // Unset means none.
    std::function<std::set<pid_t>()> sessionProcesses;

    // The live effects: pidfd signalling with a start-time check, Shell::run, getpid(), and
    // the session's processes as `SessionProcesses::read` finds them in /proc.
    static Stopping live();
};

// Carries out the tool's stop. True when every process of a signal stop was signalled or is
// gone (an empty list included), when a quit found the application running and asked it to
// quit, or when a stop command ran and succeeded within the limit; a command's `thenQuit` is
// asked whatever the command did, and its answer does not count. Pids at or below 1, our own
// pid, the session's processes and processes without a start time are never signalled and make
// the answer false; so does a process we may not signal, while the others are still signalled.
bool stop(const DeveloperTool& tool, const Stopping& stopping = Stopping::live());

// Asks the application with this identifier to quit. Linux has no application registry: Docker
// Desktop ("com.docker.docker") is its systemd user service, stopped when it is active; any
// other identifier answers false. True when the application was running and the stop worked.
bool quit(const std::string& bundleIdentifier, const Stopping& stopping = Stopping::live());

// The live `terminate`: pidfd, start time from /proc compared with `started`, then SIGTERM.
SignalOutcome terminate(pid_t pid, std::chrono::system_clock::time_point started);
// The live `forceTerminate`: the same check, then SIGKILL.
SignalOutcome forceTerminate(pid_t pid, std::chrono::system_clock::time_point started);

} // namespace tidra::DeveloperTools
