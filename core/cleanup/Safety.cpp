#include "cleanup/Safety.h"

namespace tidra {

std::string_view rawValue(Safety safety) {
    return safety == Safety::safe ? "safe" : "review";
}

std::optional<Safety> safetyFromRawValue(std::string_view raw) {
    if (raw == "safe") return Safety::safe;
    if (raw == "review") return Safety::review;
    return std::nullopt;
}

} // namespace tidra
