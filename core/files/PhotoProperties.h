#pragma once

#include <optional>
#include <string>

namespace tidra {

// What the similar-photo search reads of an image file's own metadata before it decodes any
// pixels. Width and height are the stored dimensions, not swapped for the EXIF orientation;
// 0 when the file does not tell.
struct PhotoProperties {
    int width = 0;
    int height = 0;
    // Presence of the camera tags; their values do not matter.
    bool hasMake = false;
    bool hasModel = false;
    bool hasExposureTime = false;
    bool hasFNumber = false;
    // The EXIF user comment as text, without its character-set prefix.
    std::optional<std::string> userComment;
    // The EXIF capture date text exactly as stored.
    std::optional<std::string> dateTimeOriginal;

    // Reads the properties of the first image in the file: HEIC and HEIF through libheif,
    // everything else through exiv2. Nothing when the file cannot be opened or is no image
    // these libraries know. Safe to call from many threads at once.
    static std::optional<PhotoProperties> read(const std::string& path);

    bool operator==(const PhotoProperties&) const = default;
};

} // namespace tidra
