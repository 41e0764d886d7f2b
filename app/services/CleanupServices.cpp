#include "services/CleanupServices.h"

#include "cleanup/AdminCleanup.h"
#include "cleanup/Cleaner.h"
#include "cleanup/CleanupCatalog.h"
#include "platform/FileAccess.h"
#include "system/PrivacyAccess.h"
#include "system/SystemStats.h"

namespace tidra {

CleanupServices CleanupServices::live() {
  CleanupServices services;
  services.catalog = [](const CleanupEnvironment& env) { return CleanupCatalog::items(env); };
  services.measure = [](const CleanupItem& item) { return item.measure(); };
  services.perform = [](const PathGuard& guardian, const CleanupAction& action) {
    return Cleaner(guardian).perform(action);
  };
  services.removeAsAdmin = [](const std::vector<std::string>& paths, const std::string& explanation) {
    return AdminCleanup::remove(paths, explanation);
  };
  services.pinFolder = [](const std::string& home, const std::string& folder) { return PinnedFolder::read(home, folder); };
  services.loadHistory = [](const CleanupHistory& history) { return history.load(); };
  services.appendHistory = [](const CleanupHistory& history, const CleanupRecord& record) {
    return history.append(record);
  };
  services.disk = [](const std::string& folder) { return SystemStats::disk(folder); };
  services.hasFullDiskAccess = [](const std::string& home) { return PrivacyAccess::hasFullDiskAccess(home); };
  // An environment built without probes has no Docker and no tools to ask.
  services.dockerStatus = [](const CleanupEnvironment& env) {
    return env.docker ? env.docker() : DockerStatus{DockerStatus::NotInstalled{}};
  };
  services.dockerItems = [](const DockerStatus& status) { return Docker::cleanupItems(status); };
  services.toolItems = [](const CleanupEnvironment& env) {
    return env.toolItems ? env.toolItems() : std::vector<CleanupItem>{};
  };
  return services;
}

}  // namespace tidra
