#pragma once

#include "files/PhotoThumbnail.h"
#include "files/SimilarPhotoFinder.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace tidra::SimilarPhotoKeeper {

// What the search reads of one grouped photo to choose the one to keep.
struct Judged {
    SimilarPhotoFinder::Rating rating;
    // The JPEG quality it was saved at, from its quantization table; nothing for other formats.
    std::optional<int> quality;
    // The whole picture at a few hundred pixels, to tell how far it lies from the others.
    std::vector<float> look;
};

// The judgement of a photo's decoded thumbnail, with the quality read from its file.
Judged judge(const std::string& path, const Thumbnail& thumbnail);

// The photos of one group, made ready for bestFirst: each score becomes the photo's quality
// less how far it lies from the rest of its group (the other photos of a group are mostly
// copies of one shot, each edited its own way, so the shot is the one they all resemble) and
// less a penalty for being saved at a clearly lower JPEG quality than the best of the group.
// The result names the photos whose extra pixels were not shown to hold detail beyond a
// smaller photo of the group, and those found enlarged from one.
std::map<std::string, SimilarPhotoFinder::Detail> weigh(std::vector<SimilarPhoto>& photos,
                                                        const std::vector<Judged>& judged);

} // namespace tidra::SimilarPhotoKeeper
