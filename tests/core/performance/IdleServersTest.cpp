#include "performance/IdleServers.h"

#include <gtest/gtest.h>

#include <functional>

namespace tidra {
namespace {

using TimePoint = IdleServers::TimePoint;
using Step = std::function<void(IdleServers&)>;

// The fake clock: minutes after an arbitrary start.
TimePoint at(double minutes) {
    return TimePoint{} + std::chrono::duration_cast<TimePoint::duration>(std::chrono::duration<double>(minutes * 60));
}

DeveloperTool server(std::string id, std::optional<int> startedMinute = 0, int clients = 0) {
    std::optional<TimePoint> started;
    if (startedMinute) started = at(-1000 + *startedMinute);
    DeveloperTool tool;
    tool.id = std::move(id);
    tool.kind = DeveloperTool::Kind::devServer;
    tool.started = started;
    tool.folder = "/p/site";
    tool.clients = clients;
    return tool;
}

const DeveloperTool a = server("a");

Step observe(double minute, std::vector<DeveloperTool> tools, std::map<std::string, TimePoint> changes = {}) {
    return [=](IdleServers& idle) { idle.observe(tools, changes, at(minute)); };
}

Step idleFor(double minute, DeveloperTool tool, std::optional<double> minutes) {
    return [=](IdleServers& idle) {
        const auto time = idle.idleTime(tool, at(minute));
        EXPECT_EQ(time.has_value(), minutes.has_value()) << "idle time at minute " << minute;
        if (time && minutes) {
            EXPECT_DOUBLE_EQ(time->count(), *minutes * 60) << "idle time at minute " << minute;
        }
    };
}

Step take(double minute, std::vector<DeveloperTool> tools, double thresholdMinutes, std::vector<std::string> ids) {
    return [=](IdleServers& idle) {
        std::vector<std::string> taken;
        for (const auto& tool : idle.takeIdle(tools, IdleServers::Seconds(thresholdMinutes * 60), at(minute)))
            taken.push_back(tool.id);
        EXPECT_EQ(taken, ids) << "taken at minute " << minute;
    };
}

Step keep(std::string id) {
    return [=](IdleServers& idle) { idle.keep(id); };
}

TEST(IdleServersTest, TracksIdlePeriodsOfDevServers) {
    const std::map<std::string, TimePoint> noChanges;
    const std::string folder = *a.folder;
    const DeveloperTool busy = server("a", 0, 1);
    const DeveloperTool restarted = server("a", 5);
    const DeveloperTool unstamped = server("a", std::nullopt);
    DeveloperTool daemon = server("d");
    daemon.kind = DeveloperTool::Kind::buildDaemon;
    const struct {
        const char* name;
        std::vector<Step> steps;
    } scenarios[] = {
        {"idle a full threshold after first seen, taken once",
         {observe(0, {a}), take(59.99, {a}, 60, {}), take(60, {a}, 60, {"a"}), take(600, {a}, 60, {}),
          idleFor(90, a, 90)}},
        {"a client starts a new idle period",
         {observe(0, {a}), take(60, {a}, 60, {"a"}), observe(70, {busy}), observe(71, {a}), take(129, {a}, 60, {}),
          take(130, {a}, 60, {"a"})}},
        {"a later folder change starts a new idle period",
         {observe(0, {a}), take(60, {a}, 60, {"a"}), observe(80, {a}, {{folder, at(75)}}), idleFor(80, a, 5),
          take(134, {a}, 60, {}), take(135, {a}, 60, {"a"})}},
        {"changes of other folders do not count", {observe(0, {a}), observe(10, {a}, {{"/p", at(5)}}), idleFor(20, a, 20)}},
        {"a change before or at the idle start does not count",
         {observe(10, {a}, {{folder, at(5)}}), idleFor(20, a, 10), take(70, {a}, 60, {"a"}),
          observe(80, {a}, {{folder, at(10)}}), idleFor(90, a, 80), take(200, {a}, 60, {})}},
        {"a client and a folder change after now: the change wins",
         {observe(0, {busy}, {{folder, at(30)}}), idleFor(40, a, 10), idleFor(20, a, 0), take(20, {a}, 1.0 / 60, {})}},
        {"a restart starts a fresh watch",
         {observe(0, {a}), take(60, {a}, 60, {"a"}), keep("a"), idleFor(61, restarted, std::nullopt),
          take(61, {restarted}, 0, {}), observe(61, {restarted}), idleFor(121, restarted, 60),
          idleFor(121, a, std::nullopt), take(121, {restarted}, 60, {"a"})}},
        {"no start time at both observations keeps the watch",
         {observe(0, {unstamped}), observe(30, {unstamped}), idleFor(60, unstamped, 60)}},
        {"a kept server still tells its idle time but is never taken",
         {keep("a"), observe(0, {a}), take(60, {a}, 60, {"a"}), observe(61, {busy}), keep("a"), observe(62, {a}),
          take(600, {a}, 60, {}), idleFor(600, a, 539)}},
        {"keeping an unknown id changes nothing", {observe(0, {a}), keep("b"), take(60, {a}, 60, {"a"})}},
        {"other kinds are not tracked",
         {observe(0, {daemon}), idleFor(60, daemon, std::nullopt), take(600, {daemon}, 0, {})}},
        {"a server that went away starts over",
         {observe(0, {a}), take(60, {a}, 60, {"a"}), observe(61, {}), idleFor(61, a, std::nullopt), observe(62, {a}),
          take(121, {a}, 60, {}), take(122, {a}, 60, {"a"})}},
        {"taken in the order given, untracked ones passed over",
         {observe(0, {server("b"), a}), take(60, {a, server("c"), server("b")}, 60, {"a", "b"})}},
    };
    for (const auto& scenario : scenarios) {
        SCOPED_TRACE(scenario.name);
        IdleServers idle;
        for (const auto& step : scenario.steps) step(idle);
    }
}

} // namespace
} // namespace tidra
