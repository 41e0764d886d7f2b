#include "performance/StartupItem.h"

namespace tidra {

const std::array<StartupItem::Scope, 3>& allScopes() {
    static const std::array<StartupItem::Scope, 3> scopes = {StartupItem::Scope::user, StartupItem::Scope::allUsers,
                                                             StartupItem::Scope::system};
    return scopes;
}

std::string_view scopeText(StartupItem::Scope scope) {
    switch (scope) {
    case StartupItem::Scope::user: return "Your account";
    case StartupItem::Scope::allUsers: return "All users";
    case StartupItem::Scope::system: return "System-wide service";
    }
    return {};
}

std::optional<StartupItem::Scope> scopeFromText(std::string_view text) {
    for (const auto scope : allScopes())
        if (scopeText(scope) == text) return scope;
    return std::nullopt;
}

} // namespace tidra
