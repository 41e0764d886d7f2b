#include "files/FeatureVector.h"
#include "files/PhotoThumbnail.h"
#include "files/SimilarPhotoFinder.h"

#include <algorithm>

namespace tidra::SimilarPhotoFinder {

std::optional<Print> print(const File& file) {
    // Metadata first: no pixel is decoded for a file that fails the cheap tests.
    const auto properties = PhotoProperties::read(file.path);
    if (!properties || !isCameraPhoto(*properties)) return std::nullopt;
    if (std::min(properties->width, properties->height) < shortestSide) return std::nullopt;
    const auto thumbnail = PhotoThumbnail::make(file.path, FeatureVector::thumbnailSide);
    if (!thumbnail) return std::nullopt;

    std::optional<Date> date;
    if (properties->dateTimeOriginal) date = cameraDate(*properties->dateTimeOriginal);
    return Print{file, FeatureVector::of(*thumbnail), properties->width, properties->height,
                 date.value_or(file.modified)};
}

} // namespace tidra::SimilarPhotoFinder
