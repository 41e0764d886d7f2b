#pragma once

#include "performance/DeveloperTool.h"
#include "performance/ProcessGroup.h"

#include <concepts>
#include <optional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace tidra {

// One explanation of why the machine is slow, as `SlownessCheck::findings` makes it: a cause,
// how serious it is and, where something can be done, the remedy a button applies.
struct SlownessFinding {
    // Ordered by severity; the raw values are stable (0 to 3).
    enum class Level { fine = 0, info = 1, notable = 2, serious = 3 };

    // The remedy, carried out by the application once the user confirms it.
    struct Fix {
        // Stop these developer tools.
        struct Stop {
            std::vector<DeveloperTool> tools;
            bool operator==(const Stop&) const = default;
        };
        // Quit this app.
        struct Quit {
            ProcessGroup group;
            bool operator==(const Quit&) const = default;
        };
        // Open this settings link (`SlownessCheck::spotlight` or `SlownessCheck::battery`).
        struct OpenSettings {
            std::string url;
            bool operator==(const OpenSettings&) const = default;
        };
        // Show the cleanup screen.
        struct OpenCleanup {
            bool operator==(const OpenCleanup&) const = default;
        };

        using Case = std::variant<Stop, Quit, OpenSettings, OpenCleanup>;
        Case value;

        template <class T>
        requires std::constructible_from<Case, T> Fix(T fix) : value(std::move(fix)) {}

        // The tools a stop fix stops; empty for every other fix.
        const std::vector<DeveloperTool>& stoppedTools() const;

        bool operator==(const Fix&) const = default;
    };

    // Stable identity of the cause ("heat", "memory", "disk", "cpu." + key, "spotlight",
    // "timemachine", "lowpower", "idle", "docker", "windowserver", "fine"); the application
    // remembers applied fixes by it.
    std::string id;
    Level level = Level::fine;
    // Symbol name of the finding's icon; never empty.
    std::string symbol;
    std::string title;
    std::string detail;
    std::optional<Fix> fix;
    // The button's title: present exactly when `fix` is.
    std::optional<std::string> fixTitle;

    bool operator==(const SlownessFinding&) const = default;
};

// 0 to 3 give their level; any other value gives nothing.
std::optional<SlownessFinding::Level> slownessLevelFromRawValue(int raw);

} // namespace tidra
