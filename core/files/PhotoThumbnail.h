#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tidra {

// An upright picture of at most 512 pixels (or the side asked for) on its longer side, 8-bit sRGB, three bytes per
// pixel, rows top to bottom without padding. Transparent images are laid on white.
struct Thumbnail {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;
};

namespace PhotoThumbnail {

// The longest side a thumbnail may have; smaller images keep their size.
inline constexpr int maximumSide = 512;

// Decodes the file through libvips with shrink-on-load and the EXIF orientation applied, at
// most `side` pixels (up to maximumSide) on its longer side. Raw camera files, which libvips
// cannot develop, give their largest embedded preview, turned upright by the raw file's
// orientation. Nothing when the file cannot be decoded. Safe to call from many threads at once.
std::optional<Thumbnail> make(const std::string& path, int side = maximumSide);

// Whether the name's extension (compared lower-cased) is one of the raw camera formats.
bool isRawName(const std::string& name);

} // namespace PhotoThumbnail
} // namespace tidra
