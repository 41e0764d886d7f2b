#pragma once

#include "performance/DeveloperTool.h"
#include "performance/ProcessGroup.h"
#include "system/DiskUsage.h"
#include "system/MemorySnapshot.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace tidra {

// One moment of the machine, everything the slowness check looks at. The application's
// diagnosis fills it from live readings (or the demo data); `SlownessCheck::findings` is a pure
// function of it.
struct SlownessInputs {
    // The machine's thermal level, cool to worst. Only hot and critical raise a finding.
    enum class Heat { normal, warm, hot, critical };

    // The check reads `compressed`, `swapUsed` and `pressure`.
    MemorySnapshot memory;
    // The home folder's volume; absent when it could not be read.
    std::optional<DiskUsage> disk;
    // Every group of a fresh process sample, system services included (the check filters them).
    std::vector<ProcessGroup> groups;
    // The developer tools recognised in the same sample.
    std::vector<DeveloperTool> developerTools;
    // Seconds each dev server has been idle, by `DeveloperTool::id`; no entry means not idle.
    std::map<std::string, double> idleTimes;
    // CPU percent by command name over the whole machine (see `SlownessCheck::systemCPU`).
    std::map<std::string, double> systemCPU;
    bool timeMachineRunning = false;
    Heat heat = Heat::normal;
    bool lowPowerMode = false;
    // Bytes the cleanup screen's safe items would free; 0 when nothing was measured.
    std::int64_t safeBytes = 0;
};

} // namespace tidra
