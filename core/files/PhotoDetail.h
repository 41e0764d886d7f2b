#pragma once

#include <optional>
#include <string>

namespace tidra::PhotoDetail {

// How much more the grey level jumps across the 8-pixel block edges of JPEG compression than
// between the other pixels, in a window in the middle of the photo at its own resolution:
// higher for a copy saved at a lower quality than its original. Nothing when the file cannot
// be decoded (raw camera files included) or is too small to tell. Safe to call from many
// threads at once.
std::optional<float> blockiness(const std::string& path);

// Whether the photo at `larger` holds detail beyond `smaller`, a photo of the same scene with
// fewer pixels: what `larger` differs from `smaller` enlarged to its size, against the detail
// `smaller` itself holds at that step of resolution. An enlarged copy differs by little more
// than noise; a photo and its reduced copy differ by the finest detail. Nothing when either
// cannot be decoded, is too small, or their frames differ in shape. Safe from many threads.
std::optional<bool> addsDetail(const std::string& larger, const std::string& smaller);

} // namespace tidra::PhotoDetail
