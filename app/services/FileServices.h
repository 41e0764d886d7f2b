#pragma once

#include "cleanup/PathGuard.h"
#include "files/DuplicateFinder.h"
#include "files/DuplicateGroup.h"
#include "files/LargeFile.h"
#include "files/LargeFileFinder.h"
#include "files/SimilarPhotoFinder.h"
#include "files/SimilarPhotoGroup.h"
#include "services/TrashMove.h"

#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <vector>

namespace tidra {

// The engine calls behind the large-file, duplicate and similar-photo finders and moves to the Trash.
// Each entry is a std::function with a working live() default; tests replace single entries.
struct FileServices {
  // --- large files ---

  // LargeFileFinder::find under `root`, leaving `excluding` out; `progress` and `unreadable`
  // are called from worker threads. Never cancelled.
  std::function<std::vector<LargeFile>(const std::string& root, std::int64_t minimumBytes, std::int64_t limit,
                                       const std::set<std::string>& excluding,
                                       const LargeFileFinder::Progress& progress,
                                       const LargeFileFinder::Unreadable& unreadable)>
      findLargeFiles;

  // --- duplicates and similar photos ---

  // DuplicateFinder::find over `roots`; `progress` is called from worker threads, `unreadable`
  // on the calling one. Never cancelled.
  std::function<std::vector<DuplicateGroup>(const std::vector<std::string>& roots, std::int64_t minimumBytes,
                                            const std::string& home, const DuplicateFinder::Progress& progress,
                                            const DuplicateFinder::Unreadable& unreadable)>
      findDuplicates;
  // SimilarPhotoFinder::find over `roots`; `progress` is called from worker threads. Never cancelled.
  std::function<std::vector<SimilarPhotoGroup>(const std::vector<std::string>& roots, float threshold,
                                               const SimilarPhotoFinder::Progress& progress)>
      findSimilarPhotos;
  // Whether the home holds a photo library that manages its own duplicates. This desktop has
  // none, so the live answer is always false.
  std::function<bool(const std::string& home)> hasPhotosLibrary;
  // Whether a file kept from a set of identical files still has the set's length and content
  // hash, and whether a kept photo is still the file the search saw. Block (the first reads
  // the whole file).
  std::function<bool(const std::string& path, std::int64_t length, const std::string& hash)> keptFileStands;
  std::function<bool(const SimilarPhoto& photo)> keptPhotoStands;
  // Moves user files to the Trash, each judged by the guard first. Blocks.
  std::function<TrashOutcome(const PathGuard& guardian, const std::vector<std::string>& paths)> trashFiles;

  // Space moving a path away gives back now, links not followed: a symbolic link, anything but
  // a regular file, and a file with another name (whose data that name keeps) give none.
  // Asked just before a move so the history records what it freed.
  std::function<std::int64_t(const std::string& path)> bytesNow = &FileServices::regularFileBytes;

  static FileServices live();
  static std::int64_t regularFileBytes(const std::string& path);
};

}  // namespace tidra
