#include "support/LinuxAppsHome.h"

namespace tidra::test {
namespace {

std::string entry(const std::string& name, const std::string& exec, const std::string& extra = "") {
    return "[Desktop Entry]\nType=Application\nName=" + name + "\nExec=" + exec + "\n" + extra;
}

void flatpak(TempHome& temp, const std::string& installation, const std::string& id, const std::string& name,
             const std::string& group = "Application") {
    const std::string app = installation + "/" + id;
    temp.text(app + "/x86_64/stable/abc123/metadata", "[" + group + "]\nname=" + id + "\nruntime=org.example.Platform\n");
    temp.symlink(app + "/x86_64/stable/active", "abc123");
    temp.symlink(app + "/current", "x86_64/stable");
    temp.text(app + "/x86_64/stable/abc123/export/share/applications/" + id + ".desktop",
              entry(name, "/usr/bin/flatpak run " + id, "Icon=" + id + "\n"));
    temp.file(app + "/x86_64/stable/abc123/files/bin/run", 5000);
}

} // namespace

std::string appImageHead() { return std::string("\x7f" "ELF\x02\x01\x01\0AI\x02", 11); }

LinuxAppsHome::LinuxAppsHome() {
    const std::string home = homePath();
    const std::string head = appImageHead();
    temp.text("home/Applications/Cursor-1.2.3-x86_64.AppImage", head + std::string(3000, 'c'));
    temp.text("home/Applications/fake.AppImage", std::string("\x7f" "ELF\x02\x01\x01\0\0\0\0", 11) + "x");
    temp.symlink("home/Applications/linked.AppImage", "Cursor-1.2.3-x86_64.AppImage");
    temp.text("home/Downloads/Obsidian-1.5.12.AppImage", head + std::string(2000, 'o'));
    temp.text("home/Downloads/notes.txt", "keep me");
    temp.text("home/Tools/etcher.AppImage", head + std::string(1000, 'e'));
    temp.text("home/opt/toolbox/bin/toolbox", "#!/bin/sh\n");
    temp.text("home/Apps/nvim.appimage", head + std::string(500, 'n'));
    temp.symlink("home/.local/bin/nvim", "../../Apps/nvim.appimage");
    for (const char* program : {"Applications/Cursor-1.2.3-x86_64.AppImage", "Downloads/Obsidian-1.5.12.AppImage",
                                "Tools/etcher.AppImage", "opt/toolbox/bin/toolbox", "Apps/nvim.appimage"})
        temp.chmod(std::string("home/") + program, 0755);

    const std::string cursor = home + "/Applications/Cursor-1.2.3-x86_64.AppImage";
    temp.text("home/.local/share/applications/cursor.desktop", entry("Cursor", cursor + " --no-sandbox %U", "Icon=cursor\n"));
    temp.text("home/.local/share/applications/etcher.desktop",
              entry("Etcher", "\"" + home + "/Tools/etcher.AppImage\"", "X-AppImage-Version=2.0\n"));
    temp.text("home/.local/share/applications/toolbox.desktop", entry("Toolbox", home + "/opt/toolbox/bin/toolbox"));
    temp.text("home/.local/share/applications/org.gnome.TextEditor.desktop",
              entry("My Text Editor", "/usr/bin/gnome-text-editor --new-window"));
    temp.text("home/.local/share/applications/quiet.desktop",
              entry("Quiet", home + "/opt/toolbox/bin/toolbox", "NoDisplay=true\n"));
    temp.text("home/.local/share/applications/nvim.desktop", entry("Neovim", "nvim %F", "Icon=nvim\n"));
    temp.text("home/.config/autostart/cursor.desktop", entry("Cursor", cursor + " --hidden"));
    temp.text("home/.config/autostart/other.desktop", entry("Other", "/usr/bin/other"));

    flatpak(temp, "home/.local/share/flatpak/app", "org.example.Notes", "Notes");
    temp.text("home/.local/share/flatpak/app/org.example.Notes/x86_64/stable/abc123/files/share/metainfo/"
              "org.example.Notes.metainfo.xml",
              "<component><releases><release date=\"2026-01-01\" version=\"4.5\"/></releases></component>");
    temp.file("home/.local/share/flatpak/app/org.example.Notes/x86_64/stable/abc123/export/share/icons/hicolor/"
              "128x128/apps/org.example.Notes.png", 10);
    flatpak(temp, "home/.local/share/flatpak/app", "org.example.Platform", "Platform", "Runtime");

    temp.file("home/.config/Cursor/settings.json", 300);
    temp.file("home/.cache/cursor/data", 400);
    temp.file("home/.config/obsidian/obsidian.json", 200);
    temp.file("home/.var/app/org.example.Notes/data/notes.db", 600);
    temp.file("home/.config/org.example.Notes/prefs", 50);
    temp.file("home/.config/unrelated/keep", 70);
    temp.file("home/.ssh/id_ed25519", 64);
    temp.file("home/.local/share/keyrings/login.keyring", 64);

    temp.text("system/applications/org.gnome.TextEditor.desktop",
              entry("Text Editor", "/usr/bin/gnome-text-editor", "Icon=org.gnome.TextEditor\n"));
    temp.text("system/applications/snappy_snappy.desktop", entry("Snappy", "/snap/bin/snappy"));
    temp.text("system/applications/settings-panel.desktop", entry("Panel", "/usr/bin/panel", "NoDisplay=true\n"));
    temp.text("system/applications/link.desktop", "[Desktop Entry]\nType=Link\nName=Site\nURL=https://example.com\n");
    flatpak(temp, "var-flatpak/app", "org.inkscape.Inkscape", "Inkscape");
}

LinuxAppPlaces LinuxAppsHome::places() const {
    auto places = LinuxAppPlaces::live(homePath(), false);
    places.systemEntries = {path("system/applications")};
    places.systemFlatpaks = path("var-flatpak/app");
    places.flatpakTool = path("no-flatpak");
    return places;
}

} // namespace tidra::test
