#include "performance/SessionProcesses.h"

#include "platform/PathText.h"
#include "platform/ProcReader.h"

#include <unistd.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdlib>

extern char** environ;

namespace tidra::SessionProcesses {
namespace {

constexpr int kMaxAncestors = 64;
// __SO_ACCEPTCON in the Flags column of net/unix: the socket listens.
constexpr unsigned long kListening = 0x10000;

std::string valueOf(const std::map<std::string, std::string>& environment, const std::string& key) {
    const auto found = environment.find(key);
    return found == environment.end() ? std::string() : found->second;
}

// ":1", ":1.0" and "unix:1" are this machine's display 1; "host:1" is another machine's.
void addDisplay(std::vector<std::string>& out, std::string_view display) {
    if (display.starts_with("unix:")) display.remove_prefix(4);
    if (!display.starts_with(':')) return;
    display.remove_prefix(1);
    display = display.substr(0, display.find('.'));
    unsigned number = 0;
    const auto [end, error] = std::from_chars(display.data(), display.data() + display.size(), number);
    if (error != std::errc() || end != display.data() + display.size()) return;
    const std::string path = "/tmp/.X11-unix/X" + std::to_string(number);
    out.push_back(path);
    out.push_back("@" + path);
}

// "unix:path=/run/user/1000/bus;unix:abstract=/tmp/dbus-x,guid=..." names two sockets.
void addBus(std::vector<std::string>& out, std::string_view addresses) {
    while (!addresses.empty()) {
        std::string_view address = addresses.substr(0, addresses.find(';'));
        addresses.remove_prefix(std::min(addresses.size(), address.size() + 1));
        if (!address.starts_with("unix:")) continue;
        address.remove_prefix(5);
        while (!address.empty()) {
            const std::string_view pair = address.substr(0, address.find(','));
            address.remove_prefix(std::min(address.size(), pair.size() + 1));
            if (pair.starts_with("path=")) out.emplace_back(pair.substr(5));
            if (pair.starts_with("abstract=")) out.push_back("@" + std::string(pair.substr(9)));
        }
    }
}

std::map<std::string, std::string> ownEnvironment() {
    std::map<std::string, std::string> out;
    for (char** entry = environ; entry && *entry; ++entry) {
        const std::string_view text(*entry);
        const auto equals = text.find('=');
        if (equals != std::string_view::npos) out.emplace(text.substr(0, equals), text.substr(equals + 1));
    }
    return out;
}

// One line of net/unix: "Num RefCount Protocol Flags Type St Inode [Path]".
struct UnixRow {
    unsigned long flags = 0;
    std::uint64_t inode = 0;
    std::string_view path;
};

std::optional<UnixRow> parseRow(std::string_view line) {
    std::array<std::string_view, 8> fields{};
    std::size_t count = 0;
    while (count < fields.size() && !line.empty()) {
        const auto start = line.find_first_not_of(' ');
        if (start == std::string_view::npos) break;
        line.remove_prefix(start);
        // The path is the rest of the line: it may hold spaces.
        const auto stop = count == 7 ? line.size() : std::min(line.find(' '), line.size());
        fields[count++] = line.substr(0, stop);
        line.remove_prefix(stop);
    }
    if (count < 8) return std::nullopt;
    UnixRow row;
    const auto flags = fields[3];
    const auto inode = fields[6];
    if (std::from_chars(flags.data(), flags.data() + flags.size(), row.flags, 16).ec != std::errc() ||
        std::from_chars(inode.data(), inode.data() + inode.size(), row.inode).ec != std::errc())
        return std::nullopt;
    row.path = fields[7];
    return row;
}

std::string nameOf(const sys::ProcReader& reader, pid_t pid) {
    if (const auto path = reader.executable(pid)) return std::string(sys::PathText::lastComponent(*path));
    const auto stat = reader.stat(pid);
    return stat ? stat->comm : std::string();
}

// The owners of these sockets, and the processes named as the session's own.
std::set<pid_t> seedsOf(const sys::ProcReader& reader, const std::set<std::uint64_t>& inodes) {
    std::set<pid_t> seeds;
    for (const pid_t pid : reader.pids()) {
        if (isSessionName(nameOf(reader, pid))) {
            seeds.insert(pid);
            continue;
        }
        if (inodes.empty()) continue;
        const auto held = reader.socketInodes(pid);
        if (std::any_of(held.begin(), held.end(), [&](std::uint64_t inode) { return inodes.count(inode) != 0; }))
            seeds.insert(pid);
    }
    return seeds;
}

void addWithAncestors(const sys::ProcReader& reader, pid_t pid, std::set<pid_t>& out) {
    for (int moves = 0; pid >= 1 && moves < kMaxAncestors; ++moves) {
        if (!out.insert(pid).second) return;  // the rest of the chain is in already
        const auto stat = reader.stat(pid);
        if (!stat || stat->parent == pid) return;
        pid = stat->parent;
    }
}

} // namespace

Facts Facts::live() {
    Facts facts;
    facts.self = ::getpid();
    facts.sessionLeader = ::getsid(0);
    facts.sockets = socketsOf(ownEnvironment());
    return facts;
}

std::vector<std::string> socketsOf(const std::map<std::string, std::string>& environment) {
    std::vector<std::string> out;
    addDisplay(out, valueOf(environment, "DISPLAY"));
    if (const auto wayland = valueOf(environment, "WAYLAND_DISPLAY"); !wayland.empty()) {
        const auto runtime = valueOf(environment, "XDG_RUNTIME_DIR");
        if (wayland.starts_with('/')) out.push_back(wayland);
        else if (!runtime.empty()) out.push_back(runtime + "/" + wayland);
    }
    addBus(out, valueOf(environment, "DBUS_SESSION_BUS_ADDRESS"));
    if (const auto agent = valueOf(environment, "SSH_AUTH_SOCK"); !agent.empty()) out.push_back(agent);
    return out;
}

std::set<std::uint64_t> listeningInodes(std::string_view unixTable, const std::vector<std::string>& paths) {
    std::set<std::uint64_t> out;
    while (!unixTable.empty()) {
        const std::string_view line = unixTable.substr(0, unixTable.find('\n'));
        unixTable.remove_prefix(std::min(unixTable.size(), line.size() + 1));
        const auto row = parseRow(line);
        if (!row || !(row->flags & kListening) || row->inode == 0) continue;
        if (std::find(paths.begin(), paths.end(), row->path) != paths.end()) out.insert(row->inode);
    }
    return out;
}

std::set<pid_t> read(const sys::ProcReader& reader, const Facts& facts) {
    std::set<pid_t> out;
    const auto table = reader.file("net/unix").value_or("");
    std::set<pid_t> seeds = seedsOf(reader, listeningInodes(table, facts.sockets));
    seeds.insert(facts.self);
    seeds.insert(facts.sessionLeader);
    for (const pid_t seed : seeds) addWithAncestors(reader, seed, out);
    return out;
}

bool isSessionName(std::string_view name) {
    static const std::set<std::string, std::less<>> names = {
        // Display servers.
        "Xorg", "X", "Xwayland", "Xvfb", "Xvnc", "Xtigervnc", "Xephyr", "Xnest", "Xtightvnc", "Xvnc4",
        // Desktop shells, session managers and their starters.
        "gnome-shell", "plasmashell", "cinnamon", "gnome-session", "gnome-session-binary", "gnome-session-service",
        "xfce4-session", "lxsession", "lxqt-session", "mate-session", "ksmserver", "cinnamon-session",
        "startplasma-x11", "startplasma-wayland", "plasma_session", "xinit", "startx", "x-session-manager",
        "openbox-session", "startlxde", "startxfce4", "budgie-desktop", "xdg-desktop-portal",
        // Sound and the service manager.
        "pipewire", "pipewire-pulse", "wireplumber", "pulseaudio", "systemd", "init",
        // Window managers and compositors.
        "openbox", "mutter", "metacity", "marco", "muffin", "xfwm4", "compiz", "i3", "sway", "awesome", "fluxbox",
        "icewm", "bspwm", "herbstluftwm", "xmonad", "fvwm", "fvwm3", "enlightenment", "weston", "labwc", "wayfire",
        "Hyprland", "picom", "compton", "river", "niri", "dwm", "jwm", "twm", "cage", "gamescope", "kwin",
        // Screen lockers.
        "xscreensaver", "light-locker", "i3lock", "swaylock", "xsecurelock", "slock", "xss-lock", "xautolock",
        "gnome-screensaver", "kscreenlocker_greet", "xfce4-screensaver", "mate-screensaver", "cinnamon-screensaver",
        "swayidle", "hypridle", "hyprlock",
        // Keyring agents and the ssh and gpg agents.
        "gnome-keyring-daemon", "kwalletd5", "kwalletd6", "ksecretd", "ssh-agent", "gpg-agent",
        // Notification daemons.
        "dunst", "mako", "notify-osd", "xfce4-notifyd", "notification-daemon", "lxqt-notificationd", "swaync",
        "mate-notification-daemon",
        // Panels and tray hosts.
        "stalonetray", "trayer", "xfce4-panel", "lxpanel", "lxqt-panel", "mate-panel", "gnome-panel", "tint2",
        "polybar", "waybar", "budgie-panel", "snixembed"};
    return names.count(name) != 0 || name.starts_with("kwin_") || name.starts_with("dbus-") ||
           name.find("polkit") != std::string_view::npos || name.find("policykit") != std::string_view::npos;
}

} // namespace tidra::SessionProcesses
