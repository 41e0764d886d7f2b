#pragma once

#include <map>
#include <string>
#include <vector>

namespace tidra::test {

// An executable shell script standing in for a command-line tool. Every call records its
// arguments and environment beside the script and answers with the canned output.
class FakeTool {
public:
    struct Answer {
        std::string standardOutput;
        std::string standardError;
        int exitStatus = 0;
        // Seconds to sleep before answering (fractions allowed).
        double sleepSeconds = 0;
        // Keep running through SIGTERM, as a stubborn tool would.
        bool ignoreTerm = false;
    };

    // Writes the script at `path` (parent folder must exist) and its records folder beside it.
    FakeTool(std::string path, Answer answer);

    const std::string& path() const { return path_; }
    // Arguments of every call, oldest first.
    std::vector<std::vector<std::string>> calls() const;
    // Arguments of the last call; empty when never called.
    std::vector<std::string> arguments() const;
    // Environment of the last call.
    std::map<std::string, std::string> environment() const;

private:
    std::vector<std::string> recordFiles(const std::string& suffix) const;
    std::string path_;
    std::string records_;
};

// An answer with this standard output, exit status and standard error, and no delay.
FakeTool::Answer reply(std::string out, int status = 0, std::string err = "");

} // namespace tidra::test
