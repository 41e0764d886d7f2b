#pragma once

#include "cleanup/CleanReport.h"
#include "cleanup/CleanupAction.h"
#include "cleanup/CleanupEnvironment.h"
#include "cleanup/CleanupHistory.h"
#include "cleanup/CleanupItem.h"
#include "cleanup/CleanupRecord.h"
#include "cleanup/PinnedFolder.h"
#include "cleanup/Docker.h"
#include "cleanup/PathGuard.h"
#include "fs/SizeResult.h"
#include "system/DiskUsage.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tidra {

// The engine calls behind the cleanup catalog, measuring, the cleaner, the administrator
// removal, the history, disk figures, full-disk access, Docker and tool probes. Each entry is a
// std::function with a working live() default; tests replace single entries. Every entry may
// be called from a pool thread except where noted.
struct CleanupServices {
  // The catalog of the environment's home folder, in display order; slow.
  std::function<std::vector<CleanupItem>(const CleanupEnvironment&)> catalog;
  // An item's size: its known bytes, else a walk of its paths.
  std::function<SizeResult(const CleanupItem&)> measure;
  // Runs one action through a cleaner bound to the guard; blocks while it removes.
  std::function<CleanReport(const PathGuard&, const CleanupAction&)> perform;
  // Removes allow-listed paths with administrator rights behind the password prompt: nothing
  // on success, "cancelled" when the prompt was dismissed, else the reason.
  std::function<std::optional<std::string>(const std::vector<std::string>& paths, const std::string& explanation)>
      removeAsAdmin;
  // A folder of the home folder with its entries, each by identity, read without following a
  // link below the home; nothing when it cannot be read so.
  std::function<std::optional<PinnedFolder>(const std::string& home, const std::string& folder)> pinFolder;
  std::function<std::vector<CleanupRecord>(const CleanupHistory&)> loadHistory;
  // Nothing when the record is on disk or was not to be recorded, else the reason.
  std::function<std::optional<std::string>(const CleanupHistory&, const CleanupRecord&)> appendHistory;
  // Disk figures of the volume holding a folder; nothing when they cannot be read. Cheap.
  std::function<std::optional<DiskUsage>(const std::string& folder)> disk;
  // Cheap enough for the GUI thread.
  std::function<bool(const std::string& home)> hasFullDiskAccess;
  // The environment's Docker probe; runs the tool, so slow.
  std::function<DockerStatus(const CleanupEnvironment&)> dockerStatus;
  // The prune items of a Docker status, with known sizes; pure.
  std::function<std::vector<CleanupItem>(const DockerStatus&)> dockerItems;
  // The environment's tool-item probe; runs tools, so slow.
  std::function<std::vector<CleanupItem>(const CleanupEnvironment&)> toolItems;

  static CleanupServices live();
};

}  // namespace tidra
