#pragma once

#include "performance/ProcessGroup.h"
#include "performance/ProcessSnapshot.h"

#include <string_view>
#include <vector>

namespace tidra::ProcessGroups {

// Folds the snapshots of one sample into groups: one per application bundle (the outermost
// ".app/" or ".app.bundle/" in the path wins, so helpers nested in a bundle join it), else one
// per executable name whatever its folder. A system-service process whose responsible process
// is not a system service joins that process's group but never becomes its main process; so
// does a program outside any bundle whose responsible process lies in an app bundle (the shell
// of an editor or a terminal, and the dev servers started from it).
// Sorted by memory, largest first; equal memory by id, so the order is the same on every call.
// An empty list gives an empty list.
std::vector<ProcessGroup> groups(const std::vector<ProcessSnapshot>& processes);

// True for an empty path and for executables in the system's own folders ("/System/Library/"
// anywhere; "/usr/libexec/", "/usr/sbin/", "/sbin/", "/Library/Apple/" and, on Linux, the
// systemd folders "/usr/lib/systemd/" and "/lib/systemd/" at the start).
bool isSystemService(std::string_view path);

} // namespace tidra::ProcessGroups
