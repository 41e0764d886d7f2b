#pragma once

#include <chrono>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace tidra::Shell {

// What a finished (or stopped) tool left behind.
struct Output {
    // The tool's exit code, or, for a tool ended by a signal, the signal's number (15 after
    // SIGTERM, 9 after SIGKILL), as the termination status has always been reported.
    std::int32_t status = 0;
    // Everything written to standard output / standard error, as UTF-8 with every invalid
    // sequence replaced by U+FFFD. Nothing is trimmed: trailing newlines stay.
    std::string standardOutput;
    std::string standardError;
    // The time limit ran out: the tool was stopped, or it had exited but something it started
    // in the background still held its output streams. The texts hold what came before.
    bool timedOut = false;

    // Exit code 0 within the time limit; a timed-out run never counts as a success.
    bool succeeded() const { return status == 0 && !timedOut; }
    // Standard error without spaces, tabs and line breaks at either end: a tool's own words
    // for a failure, ready to show. Empty when it wrote nothing else.
    std::string errorText() const;
};

// Runs `tool` (an absolute path, started directly: no shell, no PATH search) with
// `arguments` passed byte for byte, standard input on /dev/null, in a process group of its own.
// `environment` is laid over the caller's environment: an empty map passes the environment
// unchanged; otherwise every inherited variable is kept except those the map names, which
// take the map's values.
// At `timeout` the tool's process group gets SIGTERM, SIGKILL about three seconds later, and
// the call returns at the latest about a second after that.
// Blocks the calling thread; any number of threads may run tools at once.
// Returns nothing when the tool could not be started: missing or not executable, a relative
// path, an argument or variable holding a NUL byte, or a variable name that is empty or
// holds "=". A tool that failed or was stopped still gives an Output; judging it is the
// caller's business.
std::optional<Output> run(const std::string& tool, const std::vector<std::string>& arguments,
                          const std::map<std::string, std::string>& environment,
                          std::chrono::milliseconds timeout);

} // namespace tidra::Shell
