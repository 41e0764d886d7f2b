#include "platform/SystemdUnit.h"

#include "platform/SmallFile.h"

namespace tidra::sys {
namespace {

constexpr std::string_view blanks = " \t\r";

std::string_view trimmed(std::string_view text) {
    const auto start = text.find_first_not_of(blanks);
    if (start == std::string_view::npos) return {};
    return text.substr(start, text.find_last_not_of(blanks) - start + 1);
}

// The first word of a command line, a double-quoted word taken whole.
std::string firstWord(std::string_view command) {
    if (!command.empty() && command.front() == '"') {
        const auto end = command.find('"', 1);
        return std::string(command.substr(1, end == std::string_view::npos ? std::string_view::npos : end - 1));
    }
    return std::string(command.substr(0, command.find_first_of(blanks)));
}

// "-" ignores failure, "@" passes argv[0] next, ":" "+" "!" "!!" change privileges: none is
// part of the program.
std::optional<std::string> programOf(std::string_view command) {
    const auto start = command.find_first_not_of("-@:+!");
    if (start == std::string_view::npos) return std::nullopt;
    const std::string program = firstWord(trimmed(command.substr(start)));
    return program.empty() ? std::nullopt : std::optional(program);
}

} // namespace

SystemdUnit parseSystemdUnit(std::string_view text) {
    SystemdUnit unit;
    std::string_view section;
    bool commandSeen = false;
    for (std::size_t start = 0; start < text.size();) {
        auto end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view line = trimmed(text.substr(start, end - start));
        start = end + 1;
        if (line.empty() || line.front() == '#' || line.front() == ';') continue;
        if (line.front() == '[') {
            section = line;
            continue;
        }
        const auto equals = line.find('=');
        if (equals == std::string_view::npos) continue;
        const std::string_view key = trimmed(line.substr(0, equals));
        const std::string_view value = trimmed(line.substr(equals + 1));
        if (section == "[Unit]" && key == "Description") {
            unit.description = std::string(value);
        } else if (section == "[Service]" && key == "ExecStart") {
            if (value.empty()) {
                unit.program.reset();
                commandSeen = false;
            } else if (!commandSeen) {
                unit.program = programOf(value);
                commandSeen = true;
            }
        }
    }
    return unit;
}

std::optional<SystemdUnit> readSystemdUnit(const std::string& path) {
    const auto text = readSmallFile(path, 1u << 20);
    if (!text) return std::nullopt;
    return parseSystemdUnit(*text);
}

} // namespace tidra::sys
