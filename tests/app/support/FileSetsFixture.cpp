#include "support/FileSetsFixture.h"

#include <climits>

namespace tidra::test {

namespace {

CloneID ownData() {
  static std::uint64_t next = 1;
  return CloneID::ownIdentity(1, next++);
}

}  // namespace

DuplicateGroup identical(std::int64_t size, const std::vector<std::string>& paths) {
  DuplicateGroup group{std::string(64, 'a'), size, {}};
  for (const auto& path : paths) group.files.push_back({path, size, {}, {}, ownData()});
  return group;
}

SimilarPhotoGroup similar(const std::vector<std::string>& paths) {
  SimilarPhotoGroup group;
  for (const auto& path : paths) group.photos.push_back({path, 1000, 4000, 3000, {}, 0.5f, ownData(), {}, {}});
  return group;
}

std::function<TrashOutcome(const PathGuard&, const std::vector<std::string>&)> FakeTrash::entry() {
  return [this](const PathGuard&, const std::vector<std::string>& paths) {
    std::lock_guard lock(mutex);
    calls.push_back(paths);
    TrashOutcome outcome;
    for (const auto& path : paths) {
      if (refused.contains(path))
        outcome.failures.push_back({path, "refused"});
      else
        (vanished.contains(path) ? outcome.vanished : outcome.moved).push_back(path);
    }
    return outcome;
  };
}

std::size_t FakeTrash::callCount() {
  std::lock_guard lock(mutex);
  return calls.size();
}

FileServices fakeFileServices(std::vector<DuplicateGroup> duplicates, std::vector<SimilarPhotoGroup> photos,
                              std::shared_ptr<FakeTrash> trash) {
  FileServices services;
  services.findDuplicates = [duplicates](const std::vector<std::string>&, std::int64_t, const std::string&,
                                         const DuplicateFinder::Progress&,
                                         const DuplicateFinder::Unreadable&) { return duplicates; };
  services.findSimilarPhotos = [photos](const std::vector<std::string>&, float, const SimilarPhotoFinder::Progress&) {
    return photos;
  };
  services.hasPhotosLibrary = [](const std::string&) { return false; };
  // The fixed sets name no real files: their keepers stand unless a test says otherwise.
  services.keptFileStands = [](const std::string&, std::int64_t, const std::string&) { return true; };
  services.keptPhotoStands = [](const SimilarPhoto&) { return true; };
  // Nor do their files lie on disk: each gives back what its set says.
  services.bytesNow = [](const std::string&) { return INT64_MAX; };
  // The trash outlives every worker that may call it: the services hold it.
  services.trashFiles = [trash, move = trash->entry()](const PathGuard& guardian, const std::vector<std::string>& paths) {
    return move(guardian, paths);
  };
  return services;
}

}  // namespace tidra::test
