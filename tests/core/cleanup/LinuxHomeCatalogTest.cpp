#include "cleanup/CleanupCatalog.h"

#include "support/CatalogFixture.h"
#include "support/LiveHome.h"

#include <gtest/gtest.h>

namespace tidra {
namespace {

using Paths = std::vector<std::string>;
using test::Kind;

struct HomeExpected {
    std::string id;
    Kind kind;
    Paths paths; // relative to the home folder
    Safety safety;
};

// What must never be offered, whatever lies around it: keys, keyrings, credentials, history
// and browser profiles.
const Paths& secrets() {
    static const Paths paths{
        ".ssh/id_ed25519",
        ".gnupg/private-keys-v1.d/key.key",
        ".local/share/keyrings/login.keyring",
        ".gradle/gradle.properties",
        ".docker/config.json",
        ".android/adbkey",
        ".bash_history",
        ".config/google-chrome/Default/Login Data",
        ".mozilla/firefox/abc.default-release/key4.db",
        ".var/app/org.kept.Player/config/player/token",
    };
    return paths;
}

// A developer's Linux home, with each tool's data where that tool keeps it on Linux and the
// machine's apps installed the Linux ways, built through the live environment.
struct LinuxHome {
    test::LiveHome live;
    test::TempHome& home = live.home;

    LinuxHome() {
        for (const auto& secret : secrets()) home.file(secret, 10);
        for (const char* folder :
             {".npm/_cacache/index-v5", ".cache/yarn/v6/npm-left-pad", ".yarn/berry/cache", ".cache/puppeteer/chrome",
              ".cache/ms-playwright/chromium-1140", ".cache/node-gyp/20.11.1", ".cache/typescript/5.4",
              ".gradle/caches/modules-2", ".cache/Google/AndroidStudio2024.1/caches", ".cache/Google/Chrome",
              ".cache/Homebrew/downloads", ".cache/JetBrains/IntelliJIdea2024.1", ".cache/pip/http",
              ".cache/go-build/00", ".cache/node/corepack", ".cache/mesa_shader_cache",
              ".cache/huggingface/hub/models--gpt2", ".cache/tracker3/files", ".config/JetBrains/IntelliJIdea2023.3",
              ".config/JetBrains/IntelliJIdea2024.1", ".local/share/JetBrains/IntelliJIdea2023.3",
              ".local/share/JetBrains/Toolbox", ".config/Google/AndroidStudio2023.1",
              ".config/Google/AndroidStudio2024.1", ".config/google-chrome/OptGuideOnDeviceModel/2024.1",
              ".cursor/extensions", ".config/Cursor/User", ".windsurf/extensions", ".config/Windsurf/User",
              ".var/app/org.gone.Notes/data", ".var/app/org.kept.Player/cache/covers",
              "snap/spotify/common/.cache/spotify"})
            home.dir(folder);
        home.file(".local/share/Trash/files/old.txt", 10);
        home.file(".local/share/Trash/info/old.txt.trashinfo", 10);
        home.file("Downloads/tool_1.0_amd64.deb", 10);
        home.file("Downloads/Editor-1.0.AppImage", 10);
        home.file("Downloads/notes.txt", 10);
        // Installed: Cursor as an AppImage, the player as a Flatpak with its exported entry.
        home.file("Applications/Cursor-0.45.14-x86_64.AppImage", 10);
        home.symlink(".local/share/flatpak/app/org.kept.Player/current", "x86_64/stable");
        home.text(".local/share/flatpak/exports/share/applications/org.kept.Player.desktop",
                  "[Desktop Entry]\nName=Player\n");
        home.text("system/applications/firefox-esr.desktop", "[Desktop Entry]\nName=Firefox ESR\n");
    }

    std::vector<CleanupItem> catalog() const {
        auto env = CleanupEnvironment::live();
        // The machine's own system folders stay out of the answer.
        env.globalNpmConfigFiles = {};
        env.rootYarnCaches = {};
        return CleanupCatalog::items(env);
    }
};

TEST(LinuxHomeCatalogTest, EachToolsDataAtItsLinuxPlace) {
    LinuxHome f;
    const auto items = f.catalog();
    const HomeExpected expected[] = {
        {"gradle.caches", Kind::remove, {".gradle/caches"}, Safety::safe},
        {"android.studioCaches", Kind::remove, {".cache/Google/AndroidStudio2024.1"}, Safety::safe},
        {"npm.cache", Kind::remove, {".npm/_cacache"}, Safety::safe},
        {"yarn.cache", Kind::remove, {".cache/yarn", ".yarn/berry/cache"}, Safety::safe},
        {"puppeteer.browsers", Kind::removeContents, {".cache/puppeteer"}, Safety::safe},
        {"playwright.browsers", Kind::remove, {".cache/ms-playwright"}, Safety::safe},
        {"node.buildCaches", Kind::remove, {".cache/node-gyp", ".cache/typescript"}, Safety::safe},
        {"homebrew.cache", Kind::remove, {".cache/Homebrew"}, Safety::safe},
        {"jetbrains.caches", Kind::removeContents, {".cache/JetBrains"}, Safety::safe},
        {"pip.cache", Kind::remove, {".cache/pip"}, Safety::safe},
        {"go.buildCache", Kind::remove, {".cache/go-build"}, Safety::safe},
        {"ide.AndroidStudio2023.1", Kind::remove, {".config/Google/AndroidStudio2023.1"}, Safety::review},
        {"ide.IntelliJIdea2023.3", Kind::remove,
         {".config/JetBrains/IntelliJIdea2023.3", ".local/share/JetBrains/IntelliJIdea2023.3"}, Safety::review},
        {"chrome.onDeviceModel", Kind::remove, {".config/google-chrome/OptGuideOnDeviceModel"}, Safety::review},
        {"cache.Google", Kind::remove, {".cache/Google/Chrome"}, Safety::safe},
        {"cache.mesa_shader_cache", Kind::remove, {".cache/mesa_shader_cache"}, Safety::safe},
        {"cache.node", Kind::remove, {".cache/node"}, Safety::safe},
        {"cache.org.kept.Player", Kind::remove, {".var/app/org.kept.Player/cache"}, Safety::safe},
        {"cache.spotify", Kind::remove, {"snap/spotify/common/.cache"}, Safety::safe},
        {"leftover.Windsurf", Kind::remove, {".windsurf", ".config/Windsurf"}, Safety::review},
        {"leftover.app.org.gone.Notes", Kind::trash, {".var/app/org.gone.Notes"}, Safety::review},
        {"download.tool_1.0_amd64.deb", Kind::trash, {"Downloads/tool_1.0_amd64.deb"}, Safety::review},
        {"trash", Kind::removeContents, {".local/share/Trash/files", ".local/share/Trash/info"}, Safety::review},
    };
    ASSERT_EQ(items.size(), std::size(expected)) << ::testing::PrintToString(test::idsOf(items));
    for (std::size_t i = 0; i < items.size(); ++i) {
        const auto& e = expected[i];
        SCOPED_TRACE(e.id);
        Paths paths;
        for (const auto& p : e.paths) paths.push_back(f.home.path(p));
        EXPECT_EQ(items[i].id, e.id);
        EXPECT_EQ(test::kindOf(items[i].action), e.kind);
        EXPECT_EQ(items[i].action.paths(), paths);
        EXPECT_EQ(items[i].safety, e.safety);
    }
    EXPECT_EQ(items[17].title, "Player cache");
    EXPECT_EQ(items[20].title, "Notes settings and data");
}

// No item's paths reach a secret: none is offered itself, and none lies inside an offered folder.
TEST(LinuxHomeCatalogTest, NothingSecretIsOffered) {
    LinuxHome f;
    for (const auto& item : f.catalog())
        for (const auto& path : item.action.paths())
            for (const auto& secret : secrets()) {
                const std::string s = f.home.path(secret);
                EXPECT_FALSE(s == path || s.starts_with(path + "/")) << item.id << " reaches " << secret;
            }
}

} // namespace
} // namespace tidra
