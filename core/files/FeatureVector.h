#pragma once

#include "files/PhotoThumbnail.h"

#include <vector>

namespace tidra::FeatureVector {

// Elements of every vector: a 16 by 16 luminance layout, a 4 by 4 colour layout of two
// chromaticity channels, and 8 gradient orientations in each of 4 by 4 cells.
inline constexpr int length = 16 * 16 + 4 * 4 * 2 + 4 * 4 * 8;
// Prints are made from thumbnails of this side: the vector averages cells of a 64 by 64 grid at
// its finest, so a larger thumbnail would only cost decoding (and gives the same groups).
inline constexpr int thumbnailSide = 256;
// Every vector has this Euclidean length (or is all zeros for a blank grey picture). It is
// calibrated on real photos (bench/similar_photos.sh) so that a Euclidean distance of 0.35
// separates shots of one scene and the copies people keep of them (re-encoded, re-exposed or
// brightened, cropped by up to a tenth, turned, shrunk, blurred or made grey) from different
// photos.
inline constexpr float scale = 0.5f;

// The descriptor of a thumbnail. Insensitive to resampling, brightness and contrast, and
// nearly so to the loss of colour, to blur and to small crops; never NaN. Pure and
// thread-safe.
std::vector<float> of(const Thumbnail& thumbnail);

} // namespace tidra::FeatureVector
