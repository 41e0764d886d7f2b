#pragma once

#include "performance/ProcessGroup.h"
#include "performance/ProcessSnapshot.h"

#include <vector>

namespace tidra {

// The result of one sampling: the processes in the order the system listed them (not sorted)
// and their groups (see ProcessGroups::groups).
struct ProcessSample {
    std::vector<ProcessSnapshot> processes;
    std::vector<ProcessGroup> groups;

    ProcessSample() = default;
    // A sample of these snapshots, grouped.
    explicit ProcessSample(std::vector<ProcessSnapshot> snapshots);
};

} // namespace tidra
