#include "services/ApplicationServices.h"

#include "apps/AppParts.h"
#include "apps/AppRemover.h"
#include "apps/LinuxApps.h"
#include "apps/NaturalOrder.h"
#include "apps/SystemAppSizes.h"
#include "fs/SizeScanner.h"
#include "platform/HomeFolder.h"
#include "platform/PropertyList.h"
#include "system/PrivacyAccess.h"

namespace tidra {

namespace {

// The ".app" folder that holds the running program, read as InstalledApps reads any bundle.
std::optional<std::string> runningBundleID() {
  const std::string executable = PathGuard::runningExecutable();
  const auto end = executable.rfind(".app/");
  if (end == std::string::npos) return std::nullopt;
  const auto info = sys::readPropertyList(executable.substr(0, end + 4) + "/Contents/Info.plist");
  const std::string* id = info ? info->string("CFBundleIdentifier") : nullptr;
  if (!id || id->empty()) return std::nullopt;
  return *id;
}

std::vector<InstalledApp> listAll(const std::string& home, const std::vector<std::string>& folders,
                                  const std::set<std::string>& excluding) {
  auto apps = InstalledApps::list(folders, excluding);
  for (auto& app : LinuxApps::list(LinuxAppPlaces::live(home, home == sys::homeFolder()), excluding))
    apps.push_back(std::move(app));
  std::stable_sort(apps.begin(), apps.end(), [](const InstalledApp& a, const InstalledApp& b) {
    return NaturalOrder::compare(a.name, b.name) < 0;
  });
  return apps;
}

}  // namespace

ApplicationServices ApplicationServices::live() {
  ApplicationServices services;
  services.ownBundleID = runningBundleID;
  services.hasFullDiskAccess = PrivacyAccess::hasFullDiskAccess;
  services.listApps = listAll;
  services.footprint = [](const InstalledApp& app, const std::vector<InstalledApp>& listed, const std::string& home,
                          bool includeContainers) {
    return AppParts::of(app, listed, home, includeContainers, AppParts::commandFolders(home));
  };
  services.installedSize = [](const InstalledApp& app) { return SystemAppSizes::bytes(app); };
  services.measure = [](const std::string& path) {
    return SizeScanner::measure({path}, [] { return false; }).bytes;
  };
  services.removeApps = [](const PathGuard& guardian, const std::vector<InstalledApp>& apps) {
    return AppRemover(guardian).uninstall(apps);
  };
  services.trashLeftovers = trashEach;
  return services;
}

}  // namespace tidra
