#pragma once

#include "files/PhotoDetail.h"
#include "files/SimilarPhotoFinder.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace tidra::SimilarPhotoKeeper {

// What the search reads of one grouped photo to choose the one to keep.
struct Judged {
    SimilarPhotoFinder::Rating rating;
    // Block noise at the photo's own resolution (PhotoDetail::blockiness).
    std::optional<float> blockiness;
    // The whole picture at a few hundred pixels, to tell how far it lies from the others.
    std::vector<float> look;
};

// Nothing when no thumbnail can be decoded. Safe to call from many threads at once.
std::optional<Judged> judge(const std::string& path);

// The photos of one group, made ready for bestFirst: each score becomes the photo's quality
// less how far it lies from the rest of its group (the other photos of a group are mostly
// copies of one shot, each edited its own way, so the shot is the one they all resemble) and
// less a penalty for block noise; the result names the photos whose extra pixels carry no
// detail beyond a smaller photo of the group, with the pixels they count as.
std::map<std::string, std::int64_t> weigh(std::vector<SimilarPhoto>& photos,
                                          const std::vector<Judged>& judged);

} // namespace tidra::SimilarPhotoKeeper
