#pragma once

#include <sys/types.h>

#include <cstdint>
#include <functional>

namespace tidra::sys {

class ProcReader;

// Signals a process only after checking that it is still the process the caller means: a pid
// read minutes or hours ago may since have been given to another process.
namespace ProcessSignal {

enum class Outcome {
    // The signal was delivered.
    sent,
    // No process with that pid exists any more (nothing was signalled).
    gone,
    // The pid now belongs to another process: the one meant is gone. Nothing was signalled.
    replaced,
    // The process exists but may not be signalled by us (EPERM).
    notPermitted,
    // Anything else, e.g. a kernel without pidfds. Nothing was signalled.
    failed,
};

// Opens a pidfd for `pid`, which pins the process, reads its start time from the reader's
// <pid>/stat and passes it (in clock ticks since boot) to `isExpected`; only when that answers
// true is `signal` sent through the pidfd. A reused pid can therefore never receive the signal:
// if the process ended and its pid was reused after the pidfd was opened, the stat read shows
// the newcomer's start time and `isExpected` turns it away.
// A stat that cannot be read (the process ended, or proc hides it) gives `gone` only when the
// kernel confirms the process is gone; a live process whose start cannot be checked is never
// signalled and gives `failed` (or `notPermitted`).
// Refuses pids below 1 (which `kill` would spread to process groups) with `failed`.
Outcome send(pid_t pid, int signal, const ProcReader& reader,
             const std::function<bool(std::uint64_t startTicks)>& isExpected);

} // namespace ProcessSignal
} // namespace tidra::sys
