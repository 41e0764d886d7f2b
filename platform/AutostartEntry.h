#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tidra::sys {

// What the startup list needs of an XDG autostart file (a ".desktop" file): fields of its
// [Desktop Entry] group as `parseDesktopFile` reads them.
struct AutostartEntry {
    // The untranslated Name=; empty when there is none.
    std::string name;
    // The program Exec= starts (see `execProgram`); absent when there is no usable Exec=.
    std::optional<std::string> program;
    // False when Hidden=true or X-GNOME-Autostart-enabled=false: the desktop does not start it.
    bool enabled = true;

    bool operator==(const AutostartEntry&) const = default;
};

// Reads a file (a regular file of at most 1 MiB, links followed). Nothing when it cannot be
// read; any text that can be read counts, parsing never fails.
std::optional<AutostartEntry> readAutostartEntry(const std::string& path);

// The words of an (unescaped) Exec= value: split at spaces and tabs, double-quoted words with
// \" \` \$ \\ escapes taken whole, "%%" turned into "%" and words that are a lone field code
// (%f, %U, ...) dropped.
std::vector<std::string> execWords(std::string_view exec);
// The program an Exec= value starts: its first word, after a leading "env" (by file name)
// and the VAR=value words that follow it. Absent when nothing is left.
std::optional<std::string> execProgram(std::string_view exec);

} // namespace tidra::sys
