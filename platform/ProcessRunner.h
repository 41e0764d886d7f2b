#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace tidra::sys::ProcessRunner {

struct Request {
    // Absolute path of the executable; started as is, no shell and no PATH search.
    std::string tool;
    // argv[1...]; argv[0] is the tool path.
    std::vector<std::string> arguments;
    // The child's complete environment as "NAME=value" entries.
    std::vector<std::string> environment;
    // Time after the start at which the child's process group is sent SIGTERM.
    std::chrono::milliseconds timeout{0};
    // Time after SIGTERM at which the group is sent SIGKILL.
    std::chrono::milliseconds grace{std::chrono::seconds(3)};
};

struct Result {
    // The exit code of a child that exited, or the number of the signal that ended it.
    int status = 0;
    // The raw bytes the child wrote to standard output and standard error.
    std::string standardOutput;
    std::string standardError;
    // The time limit was reached before the child had ended and both streams had closed
    // (also when a background grandchild kept the streams open after the child exited).
    bool timedOut = false;
};

// Runs one child in its own process group with standard input on /dev/null and both output
// streams drained together, so neither pipe can fill up. Blocks until the child has ended and
// both streams are closed, or at most `timeout` + `grace` + one second. Returns nothing when
// the child could not be started (missing or non-executable file, relative path, no
// resources). Safe to call from many threads at once.
std::optional<Result> run(const Request& request);

} // namespace tidra::sys::ProcessRunner
