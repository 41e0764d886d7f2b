#pragma once

#include "performance/ProcessGroup.h"
#include "performance/ProcessSnapshot.h"

#include <string>
#include <vector>

namespace tidra {

// The result of one sampling: the processes in the order the system listed them (not sorted)
// and their groups (see ProcessGroups::groups).
struct ProcessSample {
    std::vector<ProcessSnapshot> processes;
    std::vector<ProcessGroup> groups;

    ProcessSample() = default;
    // A sample of these snapshots, grouped; folders below `home` are named from "~".
    explicit ProcessSample(std::vector<ProcessSnapshot> snapshots, const std::string& home = {});
};

} // namespace tidra
