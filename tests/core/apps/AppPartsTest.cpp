#include "apps/AppFootprint.h"
#include "apps/AppParts.h"

#include "support/LinuxAppsHome.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

namespace tidra {
namespace {

using Strings = std::vector<std::string>;

// A home where names collide: an old Tidra AppImage beside Tidra's own data, nvim.appimage
// beside the system's nvim, an AppImage called "Code" beside the system's VS Code, and what
// the Zettlr AppImage put into the desktop (a command link, icons, a MIME package).
struct CollidingHome {
    test::TempHome temp;
    std::string home = temp.path("home");
    std::string systemBin = temp.dir("usr/bin");

    CollidingHome() {
        const std::string head = test::appImageHead();
        for (const char* image : {"Downloads/Tidra-0.9.AppImage", "Apps/nvim.appimage", "Apps/Code.AppImage",
                                  "Apps/Zettlr-3.0.AppImage"}) {
            temp.text(std::string("home/") + image, head + "x");
            temp.chmod(std::string("home/") + image, 0755);
        }
        temp.file("home/.config/Tidra/settings.conf", 10);
        temp.file("home/.local/share/Tidra/history.json", 10);
        temp.file("home/.cache/Tidra/thumbs", 10);
        temp.file("home/.config/nvim/init.lua", 10);
        temp.file("home/.cache/nvim/luac", 10);
        temp.symlink("home/.local/bin/nvim", "../../Apps/nvim.appimage");
        temp.text("usr/bin/nvim", "#!/bin/sh\n");
        temp.chmod("usr/bin/nvim", 0755);
        temp.file("home/.config/Code/settings.json", 10);
        temp.file("home/.config/Zettlr/config.json", 10);
        temp.file("home/.cache/Zettlr/x", 10);
        temp.symlink("home/.local/bin/zettlr", home + "/Apps/Zettlr-3.0.AppImage");
        temp.symlink("home/bin/zettlr-old", home + "/Apps/gone.AppImage");
        temp.symlink("home/bin/other", systemBin + "/nvim");
        temp.file("home/.local/share/icons/hicolor/256x256/apps/zettlr.png", 10);
        temp.file("home/.local/share/icons/hicolor/scalable/apps/zettlr.svg", 10);
        temp.file("home/.local/share/icons/hicolor/scalable/apps/zettlr-extra.svg", 10);
        temp.file("home/.local/share/icons/hicolor/scalable/apps/code.svg", 10);
        temp.file("home/.local/share/mime/packages/zettlr.xml", 10);
        temp.file("home/.local/share/mime/packages/other.xml", 10);
        temp.file("home/.local/share/applications/zettlr.desktop", 10);
    }

    InstalledApp image(const std::string& relative, const std::string& name, const std::string& id,
                       const std::string& icon = "") const {
        return {home + "/" + relative, name, id, std::nullopt, std::nullopt, false, AppKind::appImage, icon};
    }
    Strings partsOf(const InstalledApp& app, const std::vector<InstalledApp>& listed) const {
        return AppParts::of(app, listed, home, false, {systemBin, home + "/.local/bin", home + "/bin"});
    }
};

TEST(AppPartsTest, AnOldTidraNeverTakesTidrasOwnData) {
    CollidingHome f;
    const auto old = f.image("Downloads/Tidra-0.9.AppImage", "Tidra", "Tidra-0.9.AppImage");
    EXPECT_EQ(f.partsOf(old, {old}), Strings{});
}

TEST(AppPartsTest, WhatACommandOfTheSameNameReadsStays) {
    CollidingHome f;
    const auto nvim = f.image("Apps/nvim.appimage", "nvim", "nvim.appimage");
    // The system's nvim reads ~/.config/nvim and ~/.cache/nvim as well; the link is the app's own.
    EXPECT_EQ(f.partsOf(nvim, {nvim}), Strings{f.home + "/.local/bin/nvim"});
    // Alone, the AppImage's own link does not make its name anybody else's.
    EXPECT_EQ(AppParts::of(nvim, {nvim}, f.home, false, {f.home + "/.local/bin"}),
              (Strings{f.home + "/.cache/nvim", f.home + "/.config/nvim", f.home + "/.local/bin/nvim"}));
}

TEST(AppPartsTest, WhatAnotherListedAppGoesByStays) {
    CollidingHome f;
    const auto code = f.image("Apps/Code.AppImage", "Code", "Code.AppImage");
    const InstalledApp vscode{"/usr/share/applications/code.desktop", "Visual Studio Code", "code", std::nullopt,
                              std::nullopt, true, AppKind::systemPackage, "vscode"};
    EXPECT_EQ(f.partsOf(code, {code, vscode}), Strings{});
    EXPECT_EQ(f.partsOf(code, {code}), Strings{f.home + "/.config/Code"});
}

TEST(AppPartsTest, TheLinksIconsAndMimePackagesAnAppImageInstalledLeaveWithIt) {
    CollidingHome f;
    auto zettlr = f.image("Apps/Zettlr-3.0.AppImage", "Zettlr", "zettlr", "zettlr");
    zettlr.launchers = {f.home + "/.local/share/applications/zettlr.desktop"};
    const std::string share = f.home + "/.local/share/";
    EXPECT_EQ(f.partsOf(zettlr, {zettlr}),
              (Strings{f.home + "/.cache/Zettlr", f.home + "/.config/Zettlr", f.home + "/.local/bin/zettlr",
                       share + "icons/hicolor/256x256/apps/zettlr.png", share + "icons/hicolor/scalable/apps/zettlr.svg",
                       share + "mime/packages/zettlr.xml", share + "applications/zettlr.desktop"}));
    // Another listed app with that icon name keeps the icons and the MIME package.
    const auto twin = f.image("Apps/Code.AppImage", "Other", "other", "zettlr");
    EXPECT_EQ(f.partsOf(zettlr, {zettlr, twin}),
              (Strings{f.home + "/.cache/Zettlr", f.home + "/.config/Zettlr", f.home + "/.local/bin/zettlr",
                       share + "applications/zettlr.desktop"}));
}

TEST(AppPartsTest, SettingsFoundByNameAloneAreAGuess) {
    const std::string home = "/home/u";
    const struct {
        std::string path;
        std::string id;
        bool guess;
    } cases[] = {
        {home + "/.config/nvim", "nvim.appimage", true},
        {home + "/.local/share/Zettlr", "zettlr", true},
        {home + "/.local/state/Zettlr", "zettlr", true},
        {home + "/Library/Application Support/Tool", "com.example.tool", true},
        {home + "/.cache/nvim", "nvim.appimage", false},
        {home + "/Library/Caches/Tool", "com.example.tool", false},
        {home + "/Library/Logs/Tool", "com.example.tool", false},
        {home + "/.config/com.example.tool", "com.example.tool", false},
        {home + "/.config/com.example.Tool.beta", "com.example.tool", false},
        {home + "/.var/app/org.example.Notes", "org.example.Notes", false},
        {home + "/.local/bin/nvim", "nvim.appimage", false},
        {home + "/.config/nvim/init.lua", "nvim.appimage", false},
        {"/elsewhere/.config/nvim", "nvim.appimage", false},
    };
    for (const auto& c : cases) EXPECT_EQ(AppFootprint::isSettingsFoundByName(c.path, c.id, home), c.guess) << c.path;
}

} // namespace
} // namespace tidra
