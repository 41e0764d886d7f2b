// The remedies the slowness check offers for one app, and its wording of numbers.
#include "performance/SlownessCheck.h"

#include "performance/SessionProcesses.h"

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <set>

namespace tidra::SlownessCheck {
namespace {

bool holdsAll(const DeveloperTool& tool, const std::vector<pid_t>& pids) {
    const std::set<pid_t> toolPids(tool.pids.begin(), tool.pids.end());
    return std::all_of(pids.begin(), pids.end(), [&](pid_t pid) { return toolPids.count(pid) != 0; });
}

} // namespace

std::optional<DeveloperTool> owner(const ProcessGroup& group, const std::vector<DeveloperTool>& tools) {
    // An empty group would be held "entirely" by any tool, and stopping that tool is no remedy.
    if (group.pids.empty()) return std::nullopt;
    for (const auto& tool : tools) {
        if (holdsAll(tool, group.pids)) return tool;
    }
    return std::nullopt;
}

bool isProtected(const ProcessGroup& group) {
    const pid_t self = ::getpid();
    return group.isProtected || SessionProcesses::isSessionName(group.name) ||
           std::find(group.pids.begin(), group.pids.end(), self) != group.pids.end();
}

std::optional<SlownessFinding::Fix> fixFor(const ProcessGroup& group, const std::vector<DeveloperTool>& tools) {
    if (auto tool = owner(group, tools)) return SlownessFinding::Fix::Stop{{std::move(*tool)}};
    if (isProtected(group)) return std::nullopt;
    return SlownessFinding::Fix::Quit{group};
}

std::optional<std::string> fixTitle(const ProcessGroup& group, const std::vector<DeveloperTool>& tools) {
    const auto tool = owner(group, tools);
    if (!tool) {
        if (isProtected(group)) return std::nullopt;
        return "Quit " + group.name;
    }
    switch (tool->kind) {
    case DeveloperTool::Kind::emulator: return "Stop Android Emulator";
    case DeveloperTool::Kind::simulator: return "Stop Simulator";
    case DeveloperTool::Kind::containers: return "Quit Docker Desktop";
    default: return "Stop " + tool->title;
    }
}

std::string percent(double value) {
    if (std::isnan(value)) value = 0;
    // Clamped first: converting a double beyond the 64-bit range is undefined.
    const double limit = 9.2e18;
    const double rounded = std::round(std::clamp(value, -limit, limit));
    return std::to_string(static_cast<std::int64_t>(rounded)) + " %";
}

std::string duration(double seconds) {
    if (!(seconds > 0)) seconds = 0;
    const auto minutes = static_cast<std::int64_t>(std::min(seconds, 9.2e18) / 60);
    if (minutes == 1) return "1 minute";
    if (minutes < 60) return std::to_string(minutes) + " minutes";
    if (minutes < 120) return "1 hour";
    if (minutes < 2880) return std::to_string(minutes / 60) + " hours";
    return std::to_string(minutes / 1440) + " days";
}

} // namespace tidra::SlownessCheck
