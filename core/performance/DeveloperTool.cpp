#include "performance/DeveloperTool.h"

namespace tidra {

std::string_view rawValue(DeveloperTool::Kind kind) {
    using Kind = DeveloperTool::Kind;
    switch (kind) {
    case Kind::buildDaemon: return "buildDaemon";
    case Kind::languageServer: return "languageServer";
    case Kind::devServer: return "devServer";
    case Kind::emulator: return "emulator";
    case Kind::simulator: return "simulator";
    case Kind::containers: return "containers";
    }
    return {};
}

std::optional<DeveloperTool::Kind> developerToolKindFromRawValue(std::string_view raw) {
    for (const auto kind : DeveloperTool::allKinds)
        if (rawValue(kind) == raw) return kind;
    return std::nullopt;
}

} // namespace tidra
