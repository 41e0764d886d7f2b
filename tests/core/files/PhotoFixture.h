#pragma once

#include <optional>
#include <string>

namespace tidra::test::PhotoFixture {

// EXIF tags written into a fixture photo; absent ones are left out.
struct Exif {
    std::optional<std::string> make;
    std::optional<std::string> model;
    std::optional<std::string> exposureTime;  // a rational such as "1/125"
    std::optional<std::string> fNumber;       // a rational such as "28/10"
    std::optional<std::string> userComment;
    std::optional<std::string> dateTimeOriginal;
    std::optional<int> orientation;
};

// A camera's usual tags: make and model only.
Exif camera();

// How a shot differs from the scene as first taken.
struct Variant {
    double exposure = 1.0;   // factor on every pixel value
    double crop = 0.0;       // share of width and height cut off, half on each side
    double angle = 0.0;      // degrees, counter-clockwise, cropped back to the original size
    int quality = 90;        // JPEG quality
    double blur = 0.0;       // Gaussian sigma in pixels
    double lift = 0.0;       // added to every pixel value after the exposure
    double size = 1.0;       // factor on width and height, applied last
    bool greyscale = false;  // saved as a one-band grey picture
    double contrast = 1.0;   // factor on every pixel's distance from mid-grey
    bool sepia = false;      // the usual sepia colour filter
    bool watermark = false;  // a caption of crisp white marks edged in black in the lower right corner
};

// Kinds of content: a scene of muted colours, one of strong colours, a page of text, grey.
enum class Content { scene, vivid, page, flat };

// Writes a synthetic picture (format by extension: jpg, png, webp, tif) with the EXIF tags
// given. The same `seed` gives the same scene; different seeds give unrelated scenes.
// Throws on failure, which fails the test.
void write(const std::string& path, int width, int height, int seed, const Exif& exif = camera(),
           const Variant& variant = {}, Content content = Content::scene);

// Saves the picture at `from` again at `to` as a JPEG of quality 90, `size` times as wide and
// high, keeping its EXIF tags. Throws on failure.
void resave(const std::string& from, const std::string& to, double size);

} // namespace tidra::test::PhotoFixture
