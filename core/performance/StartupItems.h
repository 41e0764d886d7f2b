#pragma once

#include "performance/StartupItem.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tidra::StartupItems {

// Moves one file (a link itself, never its target) to the Trash of the user whose home
// folder is `home`. Nothing on success, else the reason for the user.
using Trash = std::function<std::optional<std::string>(const std::string& path, const std::string& home)>;

// The default Trash: the path guard's verdict first, then the freedesktop.org Trash of `home`.
// A file that is no longer there is a failure: nothing was moved.
std::optional<std::string> moveToTrash(const std::string& path, const std::string& home);

// Everything outside the home folder the startup list reads and removal uses; tests swap in
// fixture folders, a fake systemctl and a fake Trash.
struct Machine {
    std::string autostart = "/etc/xdg/autostart";
    // systemd's folders of user services set up for every user, and of system services.
    std::string userUnits = "/etc/systemd/user";
    std::string systemUnits = "/etc/systemd/system";
    // ":"-separated folders where an autostart entry's bare command name is looked for
    // (the process's PATH by default).
    std::string searchPath = currentSearchPath();
    std::string systemctl = "/usr/bin/systemctl";
    Trash trash = moveToTrash;
    // The running user's home folder: `systemctl --user` reaches that user's session only, so
    // it runs only when the home is this one.
    std::string ownHome = currentHome();
    // dpkg's database ("status" and "info/<package>.list"): the units of the base system's
    // packages (priority required, important or standard) are not listed system-wide.
    std::string dpkgDatabase = "/var/lib/dpkg";

    static std::string currentSearchPath();
    static std::string currentHome();
};

// Every startup item, in the order of the scopes, each scope's autostart entries before its
// services, files in byte order of their names:
//   user:     <home>/.config/autostart/*.desktop, <home>/.config/systemd/user/*.service
//   allUsers: autostart/*.desktop, userUnits/*.service
//   system:   the services a link in systemUnits/*.wants/ enables (read through the link),
//             except the base system's: those a base package of dpkg's database installed and
//             systemd's own ("systemd-*"); a unit file of the administrator's in systemUnits
//             always shows
// A service starts automatically when a link in a "*.wants" folder next to it is named after it
// or leads to a file of its name (template instances). Its label is its Description=, with a
// template instance's specifiers filled in from its name ("Getty on %I" for getty@tty1 is
// "Getty on tty1"); where one cannot be filled in (a template itself), the unit's name without
// ".service". Its program is ExecStart='s (see `sys::SystemdUnit`); only an absolute program
// path that does not exist makes it missing. Folders that cannot be listed and files that
// cannot be read contribute nothing. Never fails.
std::vector<StartupItem> list(const std::string& home, const Machine& machine = {});

// Removes one leftover of the user's own. The item may be stale, so its file is read again and
// the program looked for again first. For a service in `machine.ownHome`,
// `systemctl --user disable --now -- <name>` runs first (at most 30 seconds; a service that was
// not enabled is fine, and a machine without systemctl has no session to stop it in); then the
// unit file and every "*.wants" link to it still there go to the Trash. For any other home
// only the files move: its units run in no session of ours. An autostart entry's file goes to
// the Trash. Returns nothing on success, else a message for the user:
//   "Only leftovers among your own startup items can be removed." when the item is not a user
//     leftover, its file is not directly in <home>/.config/autostart (".desktop") or
//     <home>/.config/systemd/user (".service"), the path holds "." or ".." components, or the
//     file is a link leading out of its folder; nothing is run or moved,
//   "The startup file can no longer be read." / "Its program is there again, so it is no
//     longer a leftover." when the new look disagrees with the item; nothing is run or moved,
//   "systemctl did not stop and disable it: <its words>" (or "…: exit code N", "…: it did not
//     finish in time") when systemctl refused; nothing is moved,
//   or the Trash's reason (the service has already been disabled).
std::optional<std::string> removeLeftover(const StartupItem& item, const std::string& home,
                                          const Machine& machine = {});

} // namespace tidra::StartupItems
