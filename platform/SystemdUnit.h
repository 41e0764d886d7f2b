#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tidra::sys {

// What the startup list needs of a systemd service unit file, read as plain text.
struct SystemdUnit {
    // [Unit] Description=; empty when there is none.
    std::string description;
    // The program of the first command [Service] ExecStart= runs, without the "-@:+!" marks in
    // front of it; an empty ExecStart= drops what came before, as systemd does. Absent when no
    // command is left.
    std::optional<std::string> program;

    bool operator==(const SystemdUnit&) const = default;
};

// Parses a unit file's text: "[Section]" headers, "Key=Value" lines with blanks around both
// trimmed, lines starting with "#" or ";" ignored. Never fails.
SystemdUnit parseSystemdUnit(std::string_view text);

// Reads a unit file (a regular file of at most 1 MiB, links followed); nothing when it cannot
// be read.
std::optional<SystemdUnit> readSystemdUnit(const std::string& path);

} // namespace tidra::sys
