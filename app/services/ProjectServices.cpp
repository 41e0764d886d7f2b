#include "services/ProjectServices.h"

#include "cleanup/Cleaner.h"
#include "platform/FileAccess.h"
#include "platform/PathText.h"
#include "performance/ProcessInspector.h"
#include "projects/ProjectFinder.h"

#include <QDir>

#include <sys/stat.h>

namespace tidra {

ProjectServices ProjectServices::live() {
  ProjectServices services;
  services.defaultRoots = [](const std::string& home) { return ProjectFinder::defaultRoots(home); };
  services.workingDirectories = [] { return ProcessInspector().workingDirectories(); };
  services.scan = [](const std::vector<std::string>& roots, const std::string& home, const PathGuard& guard,
                     const std::vector<std::string>& workingDirectories, const ProjectScanner::StageReport& stage,
                     const ProjectScanner::IsCancelled& isCancelled) {
    return ProjectScanner::scan(roots, home, guard, workingDirectories, stage, isCancelled);
  };
  services.perform = [](const PathGuard& guard, const CleanupAction& action) { return Cleaner(guard).perform(action); };
  services.exists = [](const std::string& path) {
    struct stat status {};
    return ::lstat(path.c_str(), &status) == 0;
  };
  services.realHome = [] { return QDir::homePath().toStdString(); };
  return services;
}

bool ProjectServices::sameVolume(const std::string& project, const std::string& path) {
  return sys::mountId(std::string(sys::PathText::parentFolder(project))) == sys::mountId(path);
}

}  // namespace tidra
