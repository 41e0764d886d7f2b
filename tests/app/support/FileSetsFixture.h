#pragma once

#include "files/DuplicateGroup.h"
#include "files/SimilarPhotoGroup.h"
#include "services/FileServices.h"

#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

namespace tidra::test {

// A set of identical files of `size` bytes each, every file with its own data.
DuplicateGroup identical(std::int64_t size, const std::vector<std::string>& paths);
// A set of similar photos of 1,000 bytes each, best first, every photo with its own data.
SimilarPhotoGroup similar(const std::vector<std::string>& paths);

// A move to the Trash without a disk: each path is moved unless the test refused it or said
// it vanished. Records every call; safe from a worker.
struct FakeTrash {
  std::mutex mutex;
  std::vector<std::vector<std::string>> calls;
  std::set<std::string> refused;
  std::set<std::string> vanished;

  std::function<TrashOutcome(const PathGuard&, const std::vector<std::string>&)> entry();
  std::size_t callCount();
};

// File services answering with fixed sets and moving through `trash`.
FileServices fakeFileServices(std::vector<DuplicateGroup> duplicates, std::vector<SimilarPhotoGroup> photos,
                              std::shared_ptr<FakeTrash> trash);

}  // namespace tidra::test
