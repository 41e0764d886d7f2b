#include "performance/SettingsPanel.h"

#include "performance/SlownessCheck.h"

#include <gtest/gtest.h>

#include <set>

namespace tidra {
namespace {

using Command = SettingsPanel::Command;

struct Row {
    const char* name;
    std::string_view link;
    std::set<std::string> programs;
    std::string desktop;
    std::optional<Command> expected;
};

TEST(SettingsPanelTest, EachLinkOpensThisDesktopsPanelOrNothing) {
    const std::string spotlight(SlownessCheck::spotlight);
    const std::string battery(SlownessCheck::battery);
    const Row rows[] = {
        {"GNOME power", battery, {"/usr/bin/gnome-control-center"}, "GNOME", Command{"/usr/bin/gnome-control-center", {"power"}}},
        {"GNOME search", spotlight, {"/usr/bin/gnome-control-center"}, "ubuntu:GNOME",
         Command{"/usr/bin/gnome-control-center", {"search"}}},
        {"KDE settings app", spotlight, {"/usr/bin/systemsettings", "/usr/bin/kcmshell6"}, "KDE",
         Command{"/usr/bin/systemsettings", {"kcm_baloofile"}}},
        {"KDE module alone", battery, {"/usr/local/bin/kcmshell6"}, "KDE",
         Command{"/usr/local/bin/kcmshell6", {"kcm_powerdevilprofilesconfig"}}},
        {"both installed, on KDE", battery, {"/usr/bin/gnome-control-center", "/usr/bin/systemsettings"}, "KDE",
         Command{"/usr/bin/systemsettings", {"kcm_powerdevilprofilesconfig"}}},
        {"both installed, elsewhere", battery, {"/usr/bin/gnome-control-center", "/usr/bin/systemsettings"}, "XFCE",
         Command{"/usr/bin/gnome-control-center", {"power"}}},
        {"no panel program", battery, {"/usr/bin/xfce4-settings-manager"}, "XFCE", std::nullopt},
        {"a relative PATH folder is never searched", battery, {"bin/gnome-control-center"}, "GNOME", std::nullopt},
        {"unknown link", "x-apple.systempreferences:com.apple.LoginItems-Settings.extension",
         {"/usr/bin/gnome-control-center"}, "GNOME", std::nullopt},
    };
    for (const auto& row : rows) {
        const auto isProgram = [&](const std::string& path) { return row.programs.contains(path); };
        EXPECT_EQ(SettingsPanel::commandFor(row.link, "bin:/usr/local/bin:/usr/bin", row.desktop, isProgram),
                  row.expected)
            << row.name;
    }
}

} // namespace
} // namespace tidra
