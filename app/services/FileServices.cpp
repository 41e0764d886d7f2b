#include "services/FileServices.h"

#include "files/KeptFile.h"
#include "platform/FileAccess.h"
#include "platform/FileStatus.h"

#include <algorithm>

namespace tidra {

namespace {

bool picturesHoldPhotosLibrary(const std::string& home) {
  const auto names = sys::folderEntries(home + "/Pictures").value_or(std::vector<std::string>{});
  return std::any_of(names.begin(), names.end(),
                     [](const std::string& name) { return name.ends_with(".photoslibrary"); });
}

}  // namespace

FileServices FileServices::live() {
  FileServices services;
  services.findLargeFiles = [](const std::string& root, std::int64_t minimumBytes, std::int64_t limit,
                               const std::set<std::string>& excluding, const LargeFileFinder::Progress& progress,
                               const LargeFileFinder::Unreadable& unreadable) {
    return LargeFileFinder::find(root, minimumBytes, limit, excluding, progress, [] { return false; }, unreadable);
  };
  services.findDuplicates = [](const std::vector<std::string>& roots, std::int64_t minimumBytes,
                               const std::string& home, const DuplicateFinder::Progress& progress,
                               const DuplicateFinder::Unreadable& unreadable) {
    return DuplicateFinder::find(roots, minimumBytes, home, progress, [] { return false; }, sharedDataKey,
                                 unreadable);
  };
  services.findSimilarPhotos = [](const std::vector<std::string>& roots, float threshold,
                                  const SimilarPhotoFinder::Progress& progress) {
    return SimilarPhotoFinder::find(roots, threshold, progress, [] { return false; });
  };
  services.hasPhotosLibrary = picturesHoldPhotosLibrary;
  services.keptFileStands = KeptFile::hasContent;
  services.keptPhotoStands = KeptFile::isUnchanged;
  services.trashFiles = trashEach;
  return services;
}

std::int64_t FileServices::regularFileBytes(const std::string& path) {
  const auto status = sys::FileStatus::of(path);
  return status && status->type == sys::FileStatus::Type::regular ? status->allocatedBytes : 0;
}

}  // namespace tidra
