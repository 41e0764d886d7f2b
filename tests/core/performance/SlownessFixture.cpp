#include "SlownessFixture.h"

#include <variant>

namespace tidra::test {

ProcessGroup group(std::string name, double cpu, std::int64_t memory, std::vector<pid_t> pids, bool systemService) {
    ProcessGroup g;
    g.id = name;
    g.name = std::move(name);
    g.mainPID = pids.front();
    g.pids = std::move(pids);
    g.memoryBytes = memory;
    g.cpuPercent = cpu;
    g.isSystemService = systemService;
    return g;
}

DeveloperTool tool(std::string id, DeveloperTool::Kind kind, std::string title, std::vector<pid_t> pids,
                   std::int64_t memory, double cpu) {
    DeveloperTool t;
    t.id = std::move(id);
    t.kind = kind;
    t.title = std::move(title);
    t.pids = std::move(pids);
    t.memoryBytes = memory;
    t.cpuPercent = cpu;
    return t;
}

std::string describe(const std::optional<SlownessFinding::Fix>& fix) {
    if (!fix) return "-";
    using Fix = SlownessFinding::Fix;
    if (const auto* stop = std::get_if<Fix::Stop>(&fix->value)) {
        std::string out = "stop";
        for (const auto& t : stop->tools) out += " " + t.id;
        return out;
    }
    if (const auto* quit = std::get_if<Fix::Quit>(&fix->value)) return "quit " + quit->group.id;
    if (const auto* settings = std::get_if<Fix::OpenSettings>(&fix->value)) return "settings " + settings->url;
    return "cleanup";
}

} // namespace tidra::test
