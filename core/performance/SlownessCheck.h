#pragma once

#include "performance/DeveloperTool.h"
#include "performance/ProcessGroup.h"
#include "performance/SlownessFinding.h"
#include "performance/SlownessInputs.h"
#include "platform/ThermalZones.h"

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The "Why Is My Computer Slow?" check: explains from one snapshot of the machine what makes it
// slow, with a remedy where one exists. No state; every operation may run on any thread.
namespace tidra::SlownessCheck {

// ---- Findings ----

// The findings of one snapshot: never empty ("fine" alone when nothing was found), most
// serious first, equal levels in check order (heat, memory, disk, processor, indexing, backup,
// power saving, idle servers, Docker, display). Pure: the same inputs give the same list.
std::vector<SlownessFinding> findings(const SlownessInputs& inputs);

// Seconds of idleness from which a dev server counts as idle (30 minutes).
inline constexpr double idleServer = 1800;

// Settings links of the indexing and the battery panes, kept as the original platform's
// addresses; the application maps them to this desktop's panels.
inline constexpr std::string_view spotlight = "x-apple.systempreferences:com.apple.preference.spotlight";
inline constexpr std::string_view battery = "x-apple.systempreferences:com.apple.preference.battery";

// ---- Remedies for one app ----

// The first tool, in list order, that owns the group: it holds every pid of the group. Holding
// only the main pid is not enough: a program's group may hold more than the tool recognised in
// it, and stopping the tool would leave the rest of the busy program running. A group without
// pids is owned by none.
std::optional<DeveloperTool> owner(const ProcessGroup& group, const std::vector<DeveloperTool>& tools);

// True for a group that must never be quit: our own app (it holds our pid) and the processes
// the desktop session stands on (`ProcessGroup::isProtected`, or a group named as one of them);
// quitting one of them ends or cripples the session, and may take every unsaved document with it.
bool isProtected(const ProcessGroup& group);

// Stop the owning tool when there is one; else quit the group, unless it is protected, which
// gives nothing (its finding then carries no button).
std::optional<SlownessFinding::Fix> fixFor(const ProcessGroup& group, const std::vector<DeveloperTool>& tools);

// The button title of `fixFor`'s remedy ("Quit <name>", "Stop Android Emulator", "Stop
// Simulator", "Quit Docker Desktop", "Stop <tool title>"); nothing exactly when `fixFor` is.
std::optional<std::string> fixTitle(const ProcessGroup& group, const std::vector<DeveloperTool>& tools);

// ---- Wording ----

// Whole percent, halves away from zero, then " %": 87.4 gives "87 %". Values beyond the
// 64-bit range are clamped to it; not-a-number reads 0.
std::string percent(double value);

// "1 minute", "<m> minutes" (0 included), "1 hour" (60 to 119 minutes), "<h> hours" below two
// days, then "<d> days"; every count is cut, not rounded. Negative or not-a-number seconds
// read "0 minutes".
std::string duration(double seconds);

// ---- Probes ----

// Runs a tool (absolute path) with arguments and answers its standard output, or nothing when
// it could not run.
using Run =
    std::function<std::optional<std::string>(const std::string& tool, const std::vector<std::string>& arguments)>;

// `Shell::run` with no extra environment and 10 seconds; a run that timed out answers nothing.
Run shellRun();

// Lines of "<cpu> <command>": the key is the command's last path component (spaces inside it
// kept), values of one key sum. Lines whose first word is not a number, or without a command,
// are skipped.
std::map<std::string, double> parsePS(const std::string& text);

// Whether a backup tool runs now: a process whose kernel name is "deja-dup", "borg", "restic"
// or "duplicity" below `procRoot` (tests point it at a fixture laid out like /proc).
bool backupRunning(const std::string& procRoot = "/proc");

// Whether the power-profiles daemon's active profile is "power-saver" (`powerprofilesctl get`);
// false when it is not installed or not running.
bool lowPowerMode(const Run& run = shellRun());

// The slowness check's heat for a thermal level, by position; any value beyond critical reads
// normal.
SlownessInputs::Heat heat(sys::ThermalZones::Level level);

} // namespace tidra::SlownessCheck
