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
// fixture folders, a fake launchctl and a fake Trash.
struct Machine {
    std::string launchAgents = "/Library/LaunchAgents";
    std::string launchDaemons = "/Library/LaunchDaemons";
    std::string autostart = "/etc/xdg/autostart";
    // ":"-separated folders where an autostart entry's bare command name is looked for
    // (the process's PATH by default).
    std::string searchPath = currentSearchPath();
    std::string launchctl = "/bin/launchctl";
    Trash trash = moveToTrash;

    static std::string currentSearchPath();
};

// Every startup file, in the order of the scopes, each scope's launchd folder before its
// autostart folder, files in byte order of their names:
//   user:     <home>/Library/LaunchAgents/*.plist, <home>/.config/autostart/*.desktop
//   allUsers: launchAgents/*.plist, autostart/*.desktop
//   system:   launchDaemons/*.plist
// Folders that cannot be listed and files that cannot be read or are not a dictionary
// (for property lists) contribute nothing. Never fails.
std::vector<StartupItem> list(const std::string& home, const Machine& machine = {});

// Removes one leftover of the user's own: asks launchd to unload a job (outcome ignored: a job
// that was not loaded is fine; autostart entries need no unloading), then moves the file to the
// Trash. The item may be stale, so the file is read again first and the program looked for
// again. Returns nothing on success, else a message for the user:
//   "Only leftovers in your own Login Items can be removed." when the item is not a user
//     leftover, its file is not directly in <home>/Library/LaunchAgents (".plist") or
//     <home>/.config/autostart (".desktop"), the path holds "." or ".." components, or the file
//     is a link leading out of its folder; nothing is run or moved,
//   "The startup file can no longer be read." / "Its program is there again, so it is no
//     longer a leftover." when the new look disagrees with the item; nothing is run or moved,
//   or the Trash's reason (launchd has already been asked to unload the job).
// Blocks while launchctl runs, at most 30 seconds.
std::optional<std::string> removeLeftover(const StartupItem& item, const std::string& home,
                                          const Machine& machine = {});

} // namespace tidra::StartupItems
