#pragma once

#include "performance/ProcessGroup.h"
#include "performance/ProcessSnapshot.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tidra::ProcessGroups {

// Folds the snapshots of one sample into groups, one per application:
// - an application bundle (the outermost ".app/" or ".app.bundle/" in the path wins, so
//   helpers nested in a bundle join it). A system-service process whose responsible process is
//   not a system service joins that process's group but never becomes its main process; so does
//   a program outside any bundle whose responsible process lies in an app bundle;
// - else the systemd unit a desktop launched an app in (`appUnit`), with all its processes,
//   except a program started by a launcher inside the unit (a terminal's shell, say), which is
//   a program of its own;
// - else the process tree of one program: a process belongs to its parent's program unless the
//   parent is a launcher (`isLauncher`), sits in another control group, or the process is an
//   interpreter started by a program that is not one. A runtime, interpreter or shell is
//   never a group merely by its executable: each program it runs is its own group, named by its
//   command line and folder, with the folder below `home` written "~".
// A group is protected when a member is a session process (by fact, or by its executable's
// name as `SessionProcesses::isSessionName` knows it).
// Sorted by memory, largest first; equal memory by id, so the order is the same on every call.
// An empty list gives an empty list.
std::vector<ProcessGroup> groups(const std::vector<ProcessSnapshot>& processes, const std::string& home = {});

// True for an empty path and for executables in the system's own folders ("/System/Library/"
// anywhere; "/usr/libexec/", "/usr/sbin/", "/sbin/", "/Library/Apple/" and, on Linux, the
// systemd folders "/usr/lib/systemd/" and "/lib/systemd/" at the start).
bool isSystemService(std::string_view path);

// Executables that run programs given to them: node, nodejs, bun, deno, python, pypy, ruby,
// perl, php, java, dotnet, lua, Rscript, julia and the shells, with any version suffix
// ("python3.12", "php8.2").
bool isInterpreter(std::string_view name);
// sh, bash, dash, zsh, fish, ksh, mksh, tcsh, csh, ash.
bool isShell(std::string_view name);

// A shell that waits for commands rather than running a script: none of its arguments is a
// script or "-c", or it is a login shell ("-bash"), or "-i" is given. Unreadable arguments
// count as interactive.
bool isInteractiveShell(const ProcessSnapshot& process);

// Whether a parent starts unrelated programs rather than working through its children: init
// and the service manager, system services, interactive shells, terminals and multiplexers,
// ssh and login, and the session's own processes.
bool isLauncher(const ProcessSnapshot& parent);

// The application id of a desktop's app unit, the last component of the control group:
// "app[-<launcher>]-<id>-<random>.scope" or "app[-<launcher>]-<id>@<random>.service", with
// "\x2d" in the id read as "-". Absent for any other control group.
std::optional<std::string> appUnit(std::string_view cgroup);

} // namespace tidra::ProcessGroups
