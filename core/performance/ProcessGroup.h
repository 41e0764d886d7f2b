#pragma once

#include <sys/types.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tidra {

// The processes of one application bundle or, outside bundles, of one executable name, as
// `ProcessGroups::groups` folds them.
struct ProcessGroup {
    // "app:" + `name` for a bundle group, else the same text as `name`. Unique in one sample.
    std::string id;
    // Bundle name without ".app" / ".app.bundle"; else the executable's last path component,
    // or the process name when there is no path.
    std::string name;
    // Full path of the bundle (ending in ".app" or ".app.bundle"); absent outside bundles.
    std::optional<std::string> bundlePath;
    // Members in the order of the sample's snapshots; never empty.
    std::vector<pid_t> pids;
    // The bundle's main executable process when one was found, else the smallest member pid.
    pid_t mainPID = 0;
    std::int64_t memoryBytes = 0;
    double cpuPercent = 0;
    // True only when every member's owning path is a system-service path.
    bool isSystemService = false;

    bool operator==(const ProcessGroup&) const = default;
};

} // namespace tidra
