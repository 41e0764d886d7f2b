#include "performance/SettingsPanel.h"

#include "performance/SlownessCheck.h"
#include "platform/SearchPath.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

namespace tidra::SettingsPanel {
namespace {

struct Way {
    std::string_view program;
    std::string_view argument;
};

// GNOME names its panels; KDE opens a module in its settings app or on its own.
std::vector<Way> waysFor(std::string_view link, bool kdeFirst) {
    std::string_view gnome;
    std::string_view kde;
    if (link == SlownessCheck::spotlight) {
        gnome = "search";
        kde = "kcm_baloofile";
    } else if (link == SlownessCheck::battery) {
        gnome = "power";
        kde = "kcm_powerdevilprofilesconfig";
    } else {
        return {};
    }
    std::vector<Way> ways = {{"systemsettings", kde}, {"kcmshell6", kde}};
    ways.insert(kdeFirst ? ways.end() : ways.begin(), Way{"gnome-control-center", gnome});
    return ways;
}

std::optional<std::string> find(std::string_view program, const std::string& searchPath, const IsProgram& isProgram) {
    for (const auto& folder : sys::SearchPath::folders(searchPath))
        if (const std::string path = folder + "/" + std::string(program); isProgram(path)) return path;
    return std::nullopt;
}

bool isExecutableFile(const std::string& path) {
    struct stat status {};
    return stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode) && access(path.c_str(), X_OK) == 0;
}

std::string variable(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

} // namespace

std::optional<Command> commandFor(std::string_view link, const std::string& searchPath,
                                  const std::string& currentDesktop, const IsProgram& isProgram) {
    const bool kdeFirst = currentDesktop.find("KDE") != std::string::npos;
    for (const auto& way : waysFor(link, kdeFirst))
        if (auto program = find(way.program, searchPath, isProgram))
            return Command{*program, {std::string(way.argument)}};
    return std::nullopt;
}

std::optional<Command> commandFor(std::string_view link) {
    return commandFor(link, sys::SearchPath::current(), variable("XDG_CURRENT_DESKTOP"), isExecutableFile);
}

} // namespace tidra::SettingsPanel
