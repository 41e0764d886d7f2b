#pragma once

#include <optional>
#include <string>

namespace tidra::PhotoDetail {

// How much detail the photo at `larger` keeps at the scale of `smaller`, a photo of the same
// scene with fewer pixels, against the detail `smaller` holds itself: a window of each at the
// same place, the larger one reduced to the smaller one's scale, compared by the spread of
// their Laplacians (so neither contrast nor brightness counts). A photo reduced from the
// larger one loses nothing the larger one holds, so the share is about one; an enlargement,
// resampled once more on the way, keeps less of its source's detail than the source itself,
// whatever the factor. Nothing when either cannot be decoded, `smaller` has no fewer pixels
// across, or the window of `smaller` is too smooth to tell detail from compression noise.
// Decodes each photo only down to the window. Safe from many threads.
std::optional<double> detailKept(const std::string& larger, const std::string& smaller);

} // namespace tidra::PhotoDetail
