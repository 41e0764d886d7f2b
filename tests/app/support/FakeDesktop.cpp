#include "support/FakeDesktop.h"

#include "platform/UrlOpener.h"
#include "support/InMemoryPreferences.h"
#include "support/FakeFileRevealer.h"
#include "support/FakeFolderChooser.h"
#include "support/FakeRunningApps.h"
#include "support/FakeThumbnailer.h"

namespace tidra::test {

DesktopServices fakeDesktop() {
  return {std::make_shared<FakeThumbnailer>(), std::make_shared<FakeRunningApps>(),
          std::make_shared<FakeUrlOpener>(), std::make_shared<InMemoryPreferences>(),
          std::make_shared<FakeFolderChooser>(), std::make_shared<FakeFileRevealer>()};
}

ProjectServices quietProjects() {
  ProjectServices services;
  services.defaultRoots = [](const std::string&) { return std::vector<std::string>{}; };
  return services;
}

ApplicationServices quietApplications() {
  ApplicationServices services;
  services.ownBundleID = [] { return std::nullopt; };
  services.hasFullDiskAccess = [](const std::string&) { return true; };
  services.listApps = [](const std::string&, const std::vector<std::string>&, const std::set<std::string>&) {
    return std::vector<InstalledApp>{};
  };
  return services;
}

FileServices quietFiles() {
  FileServices services;
  services.findLargeFiles = [](auto&&...) { return std::vector<LargeFile>{}; };
  services.findDuplicates = [](auto&&...) { return std::vector<DuplicateGroup>{}; };
  services.findSimilarPhotos = [](auto&&...) { return std::vector<SimilarPhotoGroup>{}; };
  services.hasPhotosLibrary = [](const std::string&) { return false; };
  return services;
}

}  // namespace tidra::test
