#include "performance/IdleServers.h"

#include <algorithm>

namespace tidra {

void IdleServers::observe(const std::vector<DeveloperTool>& tools,
                          const std::map<std::string, TimePoint>& folderChanges, TimePoint now) {
    std::map<std::string, Watch> watches;
    for (const auto& tool : tools) {
        if (tool.kind != DeveloperTool::Kind::devServer) continue;
        const auto old = watches_.find(tool.id);
        Watch watch = old != watches_.end() && old->second.started == tool.started
                          ? old->second
                          : Watch{tool.started, now, false, false};
        std::optional<TimePoint> active;
        if (tool.clients > 0) active = now;
        if (tool.folder) {
            const auto change = folderChanges.find(*tool.folder);
            if (change != folderChanges.end() && change->second > watch.idleSince)
                active = active ? std::max(*active, change->second) : change->second;
        }
        if (active) {
            watch.idleSince = *active;
            watch.reported = false;
        }
        watches[tool.id] = watch;
    }
    watches_ = std::move(watches);
}

const IdleServers::Watch* IdleServers::watchOf(const DeveloperTool& tool) const {
    const auto found = watches_.find(tool.id);
    return found != watches_.end() && found->second.started == tool.started ? &found->second : nullptr;
}

std::optional<IdleServers::Seconds> IdleServers::idleTime(const DeveloperTool& tool, TimePoint now) const {
    const Watch* watch = watchOf(tool);
    if (!watch) return std::nullopt;
    return std::max(Seconds(now - watch->idleSince), Seconds(0));
}

std::vector<DeveloperTool> IdleServers::takeIdle(const std::vector<DeveloperTool>& tools, Seconds threshold,
                                               TimePoint now) {
    std::vector<DeveloperTool> taken;
    for (const auto& tool : tools) {
        const Watch* found = watchOf(tool);
        if (!found || found->kept || found->reported || Seconds(now - found->idleSince) < threshold) continue;
        watches_[tool.id].reported = true;
        taken.push_back(tool);
    }
    return taken;
}

void IdleServers::keep(const std::string& id) {
    if (const auto found = watches_.find(id); found != watches_.end()) found->second.kept = true;
}

} // namespace tidra
