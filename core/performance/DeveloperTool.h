#pragma once

#include <sys/types.h>

#include <array>
#include <chrono>
#include <concepts>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace tidra {

// One running developer tool: a build daemon, a language server, a dev server (a tree of
// processes), an emulator, the simulators or Docker Desktop. Made by `DeveloperTools::find`;
// stopped only through `DeveloperTools::stop`.
struct DeveloperTool {
    // Declaration order is the order of `allKinds`.
    enum class Kind { buildDaemon, languageServer, devServer, emulator, simulator, containers };
    static constexpr std::array<Kind, 6> allKinds = {Kind::buildDaemon, Kind::languageServer, Kind::devServer,
                                                     Kind::emulator,    Kind::simulator,      Kind::containers};

    // One process as it was sampled. A pid alone may have been reused by the time a stop
    // arrives (a stop can come from a notification hours later), so the start time travels
    // with it and is checked just before signalling.
    struct ProcessRef {
        pid_t pid = 0;
        // Absent when it could not be read; such a process is never signalled.
        std::optional<std::chrono::system_clock::time_point> started;
        bool operator==(const ProcessRef&) const = default;
    };

    // How to stop the tool.
    struct Stop {
        // SIGTERM to each process, in order; SIGKILL when `force`d, for a process that does
        // not end when asked.
        struct Signal {
            std::vector<ProcessRef> processes;
            bool force = false;
            bool operator==(const Signal&) const = default;
        };
        // Ask the running application with this identifier to quit.
        struct QuitApp {
            std::string bundleIdentifier;
            bool operator==(const QuitApp&) const = default;
        };
        // Run a tool (absolute path) with its arguments, then, when `thenQuit` is given, ask
        // that application to quit whatever the command's outcome.
        struct Command {
            std::string tool;
            std::vector<std::string> arguments;
            std::optional<std::string> thenQuit;
            bool operator==(const Command&) const = default;
        };

        using Case = std::variant<Signal, QuitApp, Command>;
        Case value;

        template <class T>
            requires std::constructible_from<Case, T>
        Stop(T stop) : value(std::move(stop)) {}

        bool operator==(const Stop&) const = default;
    };

    // Stable across samples: the decimal pid of a single-process tool, "simulator", "docker",
    // or "tree-" + the decimal root pid of a dev server.
    std::string id;
    Kind kind = Kind::buildDaemon;
    std::string title;
    // One sentence on what it is doing.
    std::string detail;
    // One sentence on what stopping it costs.
    std::string consequence;
    // Every process of the tool (ascending for a dev server, sample order otherwise).
    std::vector<pid_t> pids;
    // The process's memory, or the sum over the tool's processes.
    std::int64_t memoryBytes = 0;
    // In percent of one processor; the process's value or the sum over the processes.
    double cpuPercent = 0;
    Stop stop = Stop::Signal{};
    // Set only for dev servers: when the root process started, its working folder and the
    // number of client connections to its listening ports. Absent / 0 for other tools.
    std::optional<std::chrono::system_clock::time_point> started;
    std::optional<std::string> folder;
    int clients = 0;

    // A build daemon below 1 % CPU (exactly 1 % is busy).
    bool isIdleDaemon() const { return kind == Kind::buildDaemon && cpuPercent < 1.0; }

    bool operator==(const DeveloperTool&) const = default;
};

// The case name ("buildDaemon", ...).
std::string_view rawValue(DeveloperTool::Kind kind);
// Exactly the case names; anything else gives nothing.
std::optional<DeveloperTool::Kind> developerToolKindFromRawValue(std::string_view raw);

} // namespace tidra
