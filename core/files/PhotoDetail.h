#pragma once

#include <optional>
#include <string>

namespace tidra::PhotoDetail {

// The detail of a photo in a window at a fixed place (centred across, a third of the way
// down), seen at its own size divided by `factor` (1 for its own scale): the spread of the
// Laplacian of the window reduced by `factor`, in its busier tiles, so that neither contrast
// nor brightness counts. The window is `side` pixels square after the reduction, so the
// windows of two photos of one frame compared at the smaller one's scale show the same part
// of the picture. Decodes the photo only down to the window. Nothing when it cannot be
// decoded, is raw, or is smaller than the window. Safe from many threads.
//
// A photo reduced from a larger one holds no more detail than the larger one shows at its
// scale; an enlargement, resampled once more on the way, shows less of its source's detail
// at the source's scale than the source itself, whatever the factor.
std::optional<double> detailAt(const std::string& path, double factor, int side = 384);

// Below this (grey levels) a window's detail is too little to stand out of compression noise.
inline constexpr double leastDetail = 4.0;

} // namespace tidra::PhotoDetail
