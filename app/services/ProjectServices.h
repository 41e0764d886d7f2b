#pragma once

#include "cleanup/CleanReport.h"
#include "cleanup/CleanupAction.h"
#include "cleanup/PathGuard.h"
#include "projects/ProjectScan.h"
#include "projects/ProjectScanner.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace tidra {

// The engine calls behind the Projects feature. Each entry is a std::function with a working
// live() default; tests replace single entries. All but `realHome` run on worker threads.
struct ProjectServices {
  // The folders searched when the user chose none.
  std::function<std::vector<std::string>(const std::string& home)> defaultRoots;
  // The working folders of the running processes, for "in use".
  std::function<std::vector<std::string>()> workingDirectories;
  std::function<ProjectScan(const std::vector<std::string>& roots, const std::string& home, const PathGuard& guard,
                            const std::vector<std::string>& workingDirectories,
                            const ProjectScanner::StageReport& stage, const ProjectScanner::IsCancelled& isCancelled)>
      scan;
  std::function<CleanReport(const PathGuard& guard, const CleanupAction& action)> perform;
  // Whether the artifact folder at `path` lies on the very volume the project's parent folder
  // lies on: a volume mounted over the project folder or anywhere down to `path` since the scan
  // holds other data, never the scanned folder.
  std::function<bool(const std::string& project, const std::string& path)> onProjectsVolume =
      &ProjectServices::sameVolume;
  // Whether anything is at the path, links not followed (a dangling link is something).
  std::function<bool(const std::string& path)> exists;
  // The user's own home folder, which alone remembers its project folders.
  std::function<std::string()> realHome;

  static ProjectServices live();
  static bool sameVolume(const std::string& project, const std::string& path);
};

}  // namespace tidra
