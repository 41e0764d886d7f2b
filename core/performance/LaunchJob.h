#pragma once

#include <optional>
#include <string>

namespace tidra {

// What the startup list needs of a launchd job description (a property-list dictionary).
struct LaunchJob {
    // "Label" when it is a text.
    std::optional<std::string> label;
    // "Program" when it is a text, else the first element of "ProgramArguments" when that is a
    // non-empty list whose elements are all texts.
    std::optional<std::string> program;
    // "KeepAlive": absent is false, a Boolean its value, anything else (conditions) true.
    bool keepAlive = false;
    // "RunAtLoad" when it is a Boolean, else false.
    bool runAtLoad = false;
};

// Reads an XML or binary property list at `path` (links followed). Nothing when the file
// cannot be read, is not a regular file of at most 16 MiB, or does not hold a dictionary.
std::optional<LaunchJob> readLaunchJob(const std::string& path);

} // namespace tidra
