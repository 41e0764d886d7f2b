#pragma once

#include "performance/DeveloperTool.h"
#include "performance/FolderActivity.h"
#include "performance/ProcessSample.h"
#include "performance/SlownessInputs.h"
#include "performance/StartupItem.h"
#include "system/DiskUsage.h"
#include "system/MemorySnapshot.h"

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tidra {

// The engine calls behind process sampling, developer tools, idle servers and the memory and
// disk figures. Each entry is a std::function with a working live() default; tests replace
// single entries. Entries may be called from a pool thread except where noted.
struct PerformanceServices {
  // One sampling of the processes; CPU figures cover the time since the previous call of the
  // same function.
  using Sample = std::function<ProcessSample()>;

  // --- The background monitor

  // A sampler of its own for each owner: two owners sampling one sampler at different
  // rhythms would distort each other's CPU figures. Calls of one Sample are serialised.
  std::function<Sample()> newSampler;
  // The developer tools and dev servers recognised in a sample; `home` is the process
  // owner's home folder. Reads /proc, so slow.
  std::function<std::vector<DeveloperTool>(const ProcessSample&, const std::string& home)> developerTools;
  // The home folder of the user running this process, whatever home the model works on.
  std::function<std::string()> ownerHome;
  // Cheap enough for the GUI thread.
  std::function<MemorySnapshot()> memory;
  // Disk figures of the volume holding a folder; nothing when they cannot be read. Cheap.
  std::function<std::optional<DiskUsage>(const std::string& folder)> disk;
  // Stops a tool its own way; true when it worked. Blocks while a stop command runs.
  std::function<bool(const DeveloperTool&)> stopTool;
  // The folder-change recorder of the idle-server tracking, made and used on the GUI thread.
  std::function<std::unique_ptr<FolderActivity>()> newFolderActivity;

  // --- The performance screen, startup items and the diagnosis

  // The startup items of the user whose home folder is given; reads files, so slow.
  std::function<std::vector<StartupItem>(const std::string& home)> startupItems;
  // Disables a leftover and moves its files to the Trash: nothing on success, else the reason.
  // Runs systemctl, so blocks up to its time limit.
  std::function<std::optional<std::string>(const StartupItem&, const std::string& home)> removeLeftover;
  // CPU percent by command name over the whole machine, measured over a short interval: blocks.
  std::function<std::map<std::string, double>()> systemCPU;
  // Whether a backup runs now; runs a tool, so slow.
  std::function<bool()> backupRunning;
  // Whether the power profile saves energy; runs a tool, so slow.
  std::function<bool()> lowPowerMode;
  // Whether this desktop has a panel for a finding's settings link; looks along PATH, so cheap
  // enough for the GUI thread.
  std::function<bool(const std::string& link)> hasSettingsPanel;
  // Starts that panel as a process of its own; true only when it started.
  std::function<bool(const std::string& link)> openSettingsPanel;
  // How hot the machine runs; reads sysfs.
  std::function<SlownessInputs::Heat()> heat;

  static PerformanceServices live();
};

}  // namespace tidra
