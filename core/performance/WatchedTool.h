#pragma once

#include <chrono>
#include <optional>
#include <string>

namespace tidra {

// What idle-server tracking reads of a running developer tool: the fields of the same names
// of the developer tool value, with its kind reduced to whether it is a dev server.
struct WatchedTool {
    // Stable across samples ("tree-" + root pid for a dev server).
    std::string id;
    bool isDevServer = false;
    // When the server's root process started; identifies this run of the server. Must compare
    // exactly equal from one sample to the next for the same run.
    std::optional<std::chrono::system_clock::time_point> started;
    // The server's working folder, as handed to folder activity.
    std::optional<std::string> folder;
    // Client connections to the server's listening ports.
    int clients = 0;

    bool operator==(const WatchedTool&) const = default;
};

} // namespace tidra
