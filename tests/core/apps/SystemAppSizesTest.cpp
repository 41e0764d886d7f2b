#include "apps/SystemAppSizes.h"

#include "support/LinuxAppsHome.h"

#include <gtest/gtest.h>

namespace tidra {
namespace {

// The system's apps as the listing knows them: a package's entry, a Snap's, a Flatpak's.
struct SystemFixture {
    test::LinuxAppsHome fixture;
    SystemAppSizes::Places places{fixture.path("dpkg-query"), fixture.path("snaps"), fixture.path("snap")};

    // A dpkg-query that knows one package, "code", owning /usr/share/applications/code.desktop.
    explicit SystemFixture(const std::string& size = "360952") {
        fixture.temp.text("dpkg-query", "#!/bin/sh\n"
                                        "case \"$1 ${4:-$3}\" in\n"
                                        "  '--search /usr/share/applications/code.desktop')\n"
                                        "    echo 'diversion by x from: /usr/share/applications/code.desktop'\n"
                                        "    echo 'code, code-insiders: /usr/share/applications/code.desktop' ;;\n"
                                        "  '--show code') printf '" + size + "' ;;\n"
                                        "  *) echo 'dpkg-query: no path found' >&2; exit 1 ;;\n"
                                        "esac\n");
        fixture.temp.chmod("dpkg-query", 0755);
        fixture.temp.file("snaps/snappy_42.snap", 7000);
        fixture.temp.file("snaps/snappy_41.snap", 9000);
        fixture.temp.symlink("snap/snappy/current", "42");
    }
    static InstalledApp system(AppKind kind, const std::string& path) {
        return {path, "App", "app", std::nullopt, std::nullopt, true, kind};
    }
};

TEST(SystemAppSizesTest, EachPackageManagerTellsItsOwnAppsSize) {
    SystemFixture f;
    const auto sizeOf = [&](AppKind kind, const std::string& path) { return SystemAppSizes::bytes(SystemFixture::system(kind, path), f.places); };
    EXPECT_EQ(sizeOf(AppKind::systemPackage, "/usr/share/applications/code.desktop"), 360952 * 1024);
    EXPECT_EQ(sizeOf(AppKind::snap, f.fixture.path("system/applications/snappy_snappy.desktop")), 7000);
    const auto inkscape = sizeOf(AppKind::systemFlatpak, f.fixture.path("var-flatpak/app/org.inkscape.Inkscape"));
    ASSERT_TRUE(inkscape);
    EXPECT_GE(*inkscape, 5000);
}

TEST(SystemAppSizesTest, NoSizeRatherThanAWrongOne) {
    SystemFixture f;
    const auto sizeOf = [&](AppKind kind, const std::string& path, const SystemAppSizes::Places& places) {
        return SystemAppSizes::bytes(SystemFixture::system(kind, path), places);
    };
    auto noDpkg = f.places;
    noDpkg.dpkgQuery = f.fixture.path("missing");
    EXPECT_EQ(sizeOf(AppKind::systemPackage, "/usr/share/applications/code.desktop", noDpkg), std::nullopt);
    EXPECT_EQ(sizeOf(AppKind::systemPackage, "/usr/share/applications/unowned.desktop", f.places), std::nullopt);
    EXPECT_EQ(sizeOf(AppKind::snap, f.fixture.path("system/applications/gone_gone.desktop"), f.places), std::nullopt);
    EXPECT_EQ(sizeOf(AppKind::systemFlatpak, f.fixture.path("var-flatpak/app/org.gone.App"), f.places), std::nullopt);
    EXPECT_EQ(sizeOf(AppKind::appImage, f.fixture.path("home/Downloads/Obsidian-1.5.12.AppImage"), f.places), std::nullopt);
    SystemFixture garbled("12 MB");
    EXPECT_EQ(sizeOf(AppKind::systemPackage, "/usr/share/applications/code.desktop", garbled.places), std::nullopt);
}

} // namespace
} // namespace tidra
