#pragma once

#include "performance/DeveloperTool.h"

#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace tidra {

// How long each running dev server has gone unused: no client connections and no change in
// its folder that folder activity counts. CPU and memory play no part. A plain value owned by
// one thread; time always comes in as `now`, so callers (and tests) own the clock.
class IdleServers {
public:
    using TimePoint = std::chrono::system_clock::time_point;
    using Seconds = std::chrono::duration<double>;

    // Takes in one sample of the running tools (only dev servers are tracked) and the folder
    // change times of folder activity. A server seen for the first time, or again with another
    // `started` (a restart), is idle from `now`, neither reported nor kept. A client connection
    // makes it busy at `now`; a change of exactly its folder later than its idle start makes
    // it busy at that change (the later of the two). Servers missing from `tools` are dropped;
    // of several tools with one id the last counts.
    void observe(const std::vector<DeveloperTool>& tools, const std::map<std::string, TimePoint>& folderChanges,
                 TimePoint now);

    // How long this run of the server has been idle at `now` (0 when `now` lies before its
    // idle start). Absent when it is not tracked or was restarted since the last observation.
    std::optional<Seconds> idleTime(const DeveloperTool& tool, TimePoint now) const;

    // The tracked servers among `tools`, in their order, idle for at least `threshold` and
    // neither kept nor reported in this idle period; each taken one counts as reported until
    // its next activity.
    std::vector<DeveloperTool> takeIdle(const std::vector<DeveloperTool>& tools, Seconds threshold, TimePoint now);

    // The user keeps this run of the server: it is never taken again until it restarts or
    // disappears. An id without a tracked server changes nothing.
    void keep(const std::string& id);

private:
    struct Watch {
        std::optional<TimePoint> started;
        TimePoint idleSince;
        bool reported = false;
        bool kept = false;
    };
    const Watch* watchOf(const DeveloperTool& tool) const;

    std::map<std::string, Watch> watches_;
};

} // namespace tidra
