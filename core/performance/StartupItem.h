#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace tidra {

// One program that starts by itself: a systemd service or an XDG autostart entry.
struct StartupItem {
    // Which folder the file was found in. Shown as one section each, in `allScopes()` order.
    enum class Scope { user, allUsers, system };

    // The service's Description= (the entry's Name=), else the file name without its ending.
    std::string label;
    Scope scope = Scope::user;
    // The program the job runs; absent when the file names none.
    std::optional<std::string> program;
    bool startsAutomatically = false;
    // Nothing exists where the program should be: an absolute path that is gone, or, for an
    // autostart entry, a bare command name found in no folder of PATH.
    bool programMissing = false;
    // Full path of the file the item was read from (".service" or ".desktop"); for a system
    // service, the link that enables it.
    std::string plistPath;

    const std::string& id() const { return plistPath; }
    // Only leftovers may be removed.
    bool isLeftover() const { return scope == Scope::user && programMissing; }

    bool operator==(const StartupItem&) const = default;
};

// user, allUsers, system.
const std::array<StartupItem::Scope, 3>& allScopes();
// The text shown for a scope: "Your account", "All users", "System-wide service".
std::string_view scopeText(StartupItem::Scope scope);
// The scope shown as `text`; nothing for any other text.
std::optional<StartupItem::Scope> scopeFromText(std::string_view text);

} // namespace tidra
