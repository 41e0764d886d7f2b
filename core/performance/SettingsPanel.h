#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// This desktop's settings panel for one of the settings links a slowness finding carries
// (`SlownessCheck::spotlight`, `SlownessCheck::battery`). Pure: the program lookup is a
// parameter, so tests answer it from a table.
namespace tidra::SettingsPanel {

// A program (absolute path) and its arguments that open the panel.
struct Command {
    std::string program;
    std::vector<std::string> arguments;

    bool operator==(const Command&) const = default;
};

// Whether an absolute path names a program that can run.
using IsProgram = std::function<bool(const std::string& path)>;

// The first way to open the panel that exists, looking for each program in the absolute folders
// of `searchPath` (":"-separated): GNOME's `gnome-control-center search|power`, then KDE's
// `systemsettings` and `kcmshell6` with the file search (`kcm_baloofile`) or power
// (`kcm_powerdevilprofilesconfig`) module; KDE's first when `currentDesktop` (XDG_CURRENT_DESKTOP)
// names KDE. Nothing for an unknown link or when no such program exists: the button is hidden.
std::optional<Command> commandFor(std::string_view link, const std::string& searchPath,
                                  const std::string& currentDesktop, const IsProgram& isProgram);

// `commandFor` with this process's PATH and XDG_CURRENT_DESKTOP and an executable-file check.
std::optional<Command> commandFor(std::string_view link);

} // namespace tidra::SettingsPanel
