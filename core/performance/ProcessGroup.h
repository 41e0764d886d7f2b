#pragma once

#include <sys/types.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tidra {

// The processes of one application, as `ProcessGroups::groups` folds them: an application
// bundle, the systemd unit a desktop launched an app in, or the process tree of one program.
struct ProcessGroup {
    // One process of the group as a person recognises it.
    struct Process {
        pid_t pid = 0;
        // A short command line (executable name, folder-relative paths, at most 80 characters).
        std::string command;
        // The working folder as people read it (below the home folder written from "~");
        // absent when it could not be read.
        std::optional<std::string> folder;
        bool operator==(const Process&) const = default;
    };

    // "app:" + `name` for a bundle group, "unit:" + the unit's name for an app's unit, else
    // "program:" + the pid of the program's topmost process. Unique in one sample, and stable
    // for as long as the app or program runs.
    std::string id;
    // Bundle name without ".app" / ".app.bundle"; the application id of an app's unit; for a
    // program run by a runtime, an interpreter or a shell, its command line and folder ("node
    // server.js — in ~/code/webshop"); else the executable's last path component, or the
    // process name when there is no path.
    std::string name;
    // Full path of the bundle (ending in ".app" or ".app.bundle"); absent outside bundles.
    std::optional<std::string> bundlePath;
    // Members in the order of the sample's snapshots; never empty.
    std::vector<pid_t> pids;
    // The bundle's main executable process when one was found, the program's topmost process,
    // else the smallest member pid.
    pid_t mainPID = 0;
    std::int64_t memoryBytes = 0;
    double cpuPercent = 0;
    // True only when every member's owning path is a system-service path.
    bool isSystemService = false;
    // True when a member is a process the desktop session stands on (see SessionProcesses):
    // such a group is never offered to quit.
    bool isProtected = false;
    // The members as `pids` lists them.
    std::vector<Process> processes;

    bool operator==(const ProcessGroup&) const = default;
};

} // namespace tidra
