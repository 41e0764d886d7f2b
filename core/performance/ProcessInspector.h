#pragma once

#include "performance/TCPSocket.h"

#include <sys/types.h>

#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace tidra::sys {
class ProcReader;
class SocketTable;
} // namespace tidra::sys

namespace tidra {

// A closer look at single processes: arguments, working folder, TCP sockets. Nothing here fails
// loudly: a process that ended or refuses us gives an empty list or an absent folder.
//
// One inspector stands for one moment of the machine: the system's TCP table is read once, on
// the first socket question, and answers every later one. Make a new inspector for each round
// of questions (each sample); a long-lived one would report stale sockets. All operations may
// run on several threads at once.
class ProcessInspector {
public:
    // `procRoot`: the proc folder; tests point it at a fixture laid out like /proc.
    explicit ProcessInspector(std::string procRoot = "/proc");
    ~ProcessInspector();
    ProcessInspector(const ProcessInspector&) = delete;
    ProcessInspector& operator=(const ProcessInspector&) = delete;

    // The argument vector, program name first, as raw bytes; empty arguments keep their
    // place. Empty when it cannot be read (also for kernel threads).
    std::vector<std::string> arguments(pid_t pid) const;
    // The current folder; absent when it cannot be read, is empty, or was removed.
    std::optional<std::string> workingDirectory(pid_t pid) const;
    // The current folder of every process that has a readable one, in /proc order; duplicates
    // stay (many processes share a folder).
    std::vector<std::string> workingDirectories() const;
    // The process's TCP sockets, IPv4 and IPv6, in descriptor order. Sockets in other network
    // namespaces (containers) are not seen.
    std::vector<TCPSocket> tcpSockets(pid_t pid) const;

private:
    const sys::SocketTable& socketTable() const;

    std::unique_ptr<sys::ProcReader> reader_;
    mutable std::once_flag tableOnce_;
    mutable std::unique_ptr<sys::SocketTable> table_;
};

} // namespace tidra
