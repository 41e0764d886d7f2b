#pragma once

#include "files/CloneID.h"

#include <chrono>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

namespace tidra {

// One photo of a group of similar photos; `path` is its identity.
struct SimilarPhoto {
    std::string path;
    std::int64_t bytes = 0;
    int pixelWidth = 0;
    int pixelHeight = 0;
    // Capture date, else modification time.
    std::chrono::system_clock::time_point date;
    float score = 0;
    // Photos with equal clone ids share their data blocks.
    CloneID cloneID;
    // The file's own identity (device, inode) and modification time when it was found, so a
    // photo replaced since is told apart.
    CloneID identity;
    std::chrono::system_clock::time_point modified;

    const std::string& id() const { return path; }
    // The last path component.
    std::string name() const;
    // The path without its last component; "/" for a photo in the root folder.
    std::string folder() const;
    std::int64_t pixels() const { return std::int64_t{pixelWidth} * pixelHeight; }

    bool operator==(const SimilarPhoto&) const = default;
};

// Photos judged alike, the one to keep first.
struct SimilarPhotoGroup {
    std::vector<SimilarPhoto> photos;

    // The first photo's path; empty for a group without photos.
    std::string id() const;
    // Bytes that deleting the photos with these paths gives back, clone-aware (see
    // UserFiles::freed). Unknown paths count nothing.
    std::int64_t freed(const std::set<std::string>& removing) const;
    // What deleting every photo but the first gives back.
    std::int64_t reclaimable() const;

    bool operator==(const SimilarPhotoGroup&) const = default;
};

} // namespace tidra
