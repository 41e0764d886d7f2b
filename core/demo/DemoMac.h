#pragma once

#include "apps/InstalledApps.h"
#include "cleanup/CleanupItem.h"
#include "cleanup/CleanupRecord.h"
#include "cleanup/Docker.h"
#include "files/DuplicateGroup.h"
#include "files/LargeFile.h"
#include "files/SimilarPhotoGroup.h"
#include "performance/DeveloperTool.h"
#include "performance/ProcessSample.h"
#include "performance/ProcessSnapshot.h"
#include "performance/SlownessInputs.h"
#include "performance/StartupItem.h"
#include "performance/TCPSocket.h"
#include "projects/ProjectScan.h"
#include "system/DiskUsage.h"
#include "system/MemorySnapshot.h"

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

// The fixed data set of an imaginary developer's computer that demo mode shows in place of every
// engine result. Every function builds fresh values from its arguments: nothing is read from or
// written to the disk, no tool runs, no clock is read. Paths are the home folder exactly as passed
// followed by a literal suffix (no separator added or removed); the folders need not exist and
// must never be touched. Dates are `now` minus fixed ages, so the data looks equally fresh on every
// run. Safe to call from any thread.
namespace tidra::DemoMac {

using Date = std::chrono::system_clock::time_point;
using Pids = std::set<pid_t>;

// ---- Processes and performance ----

// One row of the demo process table.
struct Process {
    ProcessSnapshot snapshot;
    // The argument vector; the first element names the program.
    std::vector<std::string> arguments;
    // Working folder; absent for most rows.
    std::optional<std::string> folder;
    // Listening TCP ports, in order.
    std::vector<int> ports;
    // Established client connections; above 0 only for a row with a port.
    int clients = 0;

    // One listening socket per port, then one established socket per client from the first
    // port to remote port 61000 + i.
    std::vector<TCPSocket> sockets() const;

    bool operator==(const Process&) const = default;
};

// The 66 rows, pids 4001 to 4066 in order, every one started at `now` minus its age.
std::vector<Process> processes(const std::string& home, Date now);
// The rows whose pid is not in `gone`, grouped as the live sampler groups.
ProcessSample sample(const std::string& home, const Pids& gone, Date now);
// What the engine's recogniser finds among the rows not in `gone`, in its order.
std::vector<DeveloperTool> developerTools(const std::string& home, const Pids& gone, Date now);
// Idle seconds of every dev-server tool by tool id; other kinds get no entry.
std::map<std::string, double> idleTimes(const std::vector<DeveloperTool>& tools);
// Bytes the rows with these pids hold; unknown pids add nothing.
std::int64_t memory(const Pids& pids, const std::string& home);
// The memory figures after processes holding `stopped` bytes were stopped: under pressure at
// first, normal from 4,000,000,000 stopped bytes on. Negative amounts count as none.
MemorySnapshot memory(std::int64_t stopped);

// ---- Storage, cleanup, history, files, startup, diagnosis ----

// Where the demo cleanup items and apps lie: home + "/.tidra-demo".
std::string root(const std::string& home);
// A 494 GB disk with 31.74 GB free plus what the demo freed so far; the free space stays
// between none and the whole disk.
DiskUsage disk(std::int64_t freed);
// Docker running with fixed reclaimable figures.
const DockerStatus& docker();
// The 29 fixed items under the demo root, then Docker's four prune items for `docker()`.
std::vector<CleanupItem> cleanupItems(const std::string& home);
// Ten large files, largest first.
std::vector<LargeFile> largeFiles(const std::string& home, Date now);
// Six startup items; the first is the one leftover.
std::vector<StartupItem> startupItems(const std::string& home);
// Two earlier removals, newest first.
std::vector<CleanupRecord> history(Date now);
// The slowness check's inputs of the demo machine without the `gone` processes, at `now`.
SlownessInputs slownessInputs(const std::string& home, const Pids& gone, std::int64_t safeBytes,
                              std::int64_t freed, Date now);

// ---- Projects ----

// home + "/Projects".
std::vector<std::string> projectRoots(const std::string& home);
// Eleven artifact rows (owners 0 to 10) and eleven worktree rows (owners 11 to 21), each row
// holding its real bytes alone, so any selection frees the sum of its rows' real bytes.
ProjectScan projectScan(const std::string& home, Date now);

// ---- Duplicates and similar photos ----

// Eight sets of identical files, the file to keep first, the sets that free most first.
std::vector<DuplicateGroup> duplicateGroups(const std::string& home, Date now);
// Four sets of similar photos, best first, the sets that free most first.
std::vector<SimilarPhotoGroup> similarPhotoGroups(const std::string& home, Date now);

// ---- Applications ----

// One demo app with what it occupies, the bundle first.
struct DemoApp {
    struct Part {
        std::string path;
        std::int64_t bytes = 0;
        bool operator==(const Part&) const = default;
    };
    InstalledApp app;
    std::vector<Part> parts;
    bool operator==(const DemoApp&) const = default;
};

// Twelve apps under the demo root's Applications folder, their parts under its Library.
std::vector<DemoApp> installedApps(const std::string& home, Date now);

} // namespace tidra::DemoMac
