#pragma once

#include <cstdint>
#include <string>

namespace tidra::sys {

// What one file operation did to one path.
struct Outcome {
    enum class Status {
        // The operation happened, completely.
        done,
        // The path was not there (any more): nothing was done and nothing is wrong.
        missing,
        // Nothing, or not everything, was done; `reason` says why.
        failed,
    };

    Status status = Status::done;
    // A short readable text for `failed`; empty otherwise.
    std::string reason;
    // For a removal: the allocated bytes (blocks x 512) of the entries this very call
    // unlinked whose last link went with them; folders' own blocks are not counted. An entry
    // another process removed first counts nothing here. 0 for anything else.
    std::int64_t bytes = 0;

    static Outcome done() { return {}; }
    static Outcome missing() { return {Status::missing, {}}; }
    static Outcome failed(std::string reason) { return {Status::failed, std::move(reason)}; }
    // A failure described by the system's text for `errorNumber`.
    static Outcome failedWith(int errorNumber) { return failed(errorText(errorNumber)); }

    // The system's text for an errno value ("Permission denied").
    static std::string errorText(int errorNumber);
};

} // namespace tidra::sys
