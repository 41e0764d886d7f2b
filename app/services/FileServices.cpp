#include "services/FileServices.h"

#include "files/KeptFile.h"
#include "files/SearchMemory.h"
#include "platform/FileAccess.h"
#include "platform/FileStatus.h"

namespace tidra {

namespace {

// No photo library on this desktop finds its own duplicates or is harmed by files changing
// inside it, so there is none to warn about.
bool holdsPhotoLibrary(const std::string&) { return false; }

}  // namespace

FileServices FileServices::live() {
  FileServices services;
  services.findLargeFiles = [](const std::string& root, std::int64_t minimumBytes, std::int64_t limit,
                               const std::set<std::string>& excluding, const LargeFileFinder::Progress& progress,
                               const LargeFileFinder::Unreadable& unreadable) {
    SearchMemory::settle();
    auto found = LargeFileFinder::find(root, minimumBytes, limit, excluding, progress, [] { return false; }, unreadable);
    // The walk's paths went through the workers' heaps; the app lives on long after.
    SearchMemory::giveBack();
    return found;
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
  services.hasPhotosLibrary = holdsPhotoLibrary;
  services.keptFileStands = KeptFile::hasContent;
  services.keptPhotoStands = KeptFile::isUnchanged;
  services.trashFiles = trashEach;
  return services;
}

std::int64_t FileServices::regularFileBytes(const std::string& path) {
  const auto status = sys::FileStatus::of(path);
  const bool alone = status && status->type == sys::FileStatus::Type::regular && status->linkCount == 1;
  return alone ? status->allocatedBytes : 0;
}

}  // namespace tidra
