#include "performance/SlownessFinding.h"

namespace tidra {

const std::vector<DeveloperTool>& SlownessFinding::Fix::stoppedTools() const {
    static const std::vector<DeveloperTool> none;
    const auto* stop = std::get_if<Stop>(&value);
    return stop ? stop->tools : none;
}

std::optional<SlownessFinding::Level> slownessLevelFromRawValue(int raw) {
    if (raw < 0 || raw > 3) return std::nullopt;
    return SlownessFinding::Level(raw);
}

} // namespace tidra
