#include "core/files/PhotoFixture.h"
#include "files/ImageLibraries.h"

#include <exiv2/exiv2.hpp>
#include <vips/vips.h>

#include <cmath>
#include <memory>
#include <stdexcept>

namespace tidra::test::PhotoFixture {
namespace {

struct Unref {
    void operator()(VipsImage* image) const { g_object_unref(image); }
};
using Image = std::unique_ptr<VipsImage, Unref>;

// Takes the output by address: it is read only after the operation has filled it in.
Image check(int status, VipsImage** out) {
    if (status != 0 || !*out) throw std::runtime_error(std::string("vips: ") + vips_error_buffer());
    return Image(*out);
}

Image perlin(int width, int height, int cellSize, int seed) {
    VipsImage* out = nullptr;
    return check(vips_perlin(&out, width, height, "cell_size", cellSize, "uchar", TRUE, "seed", seed, nullptr), &out);
}

// Random colour fields with large shapes, like a landscape, and fine texture on top, so that a
// softened copy loses detail; nothing alike between seeds.
Image scene(int width, int height, int seed) {
    Image bands[3];
    for (int b = 0; b < 3; ++b) {
        Image shapes = perlin(width, height, std::max(width, height) / 4, seed * 3 + b);
        Image texture = perlin(width, height, 4, seed * 3 + b + 1000);
        VipsImage* out = nullptr;
        Image sum = check(vips_add(shapes.get(), texture.get(), &out, nullptr), &out);
        bands[b] = check(vips_linear1(sum.get(), &out, 0.5, 0.0, "uchar", TRUE, nullptr), &out);
    }
    VipsImage* in[3] = {bands[0].get(), bands[1].get(), bands[2].get()};
    VipsImage* out = nullptr;
    Image joined = check(vips_bandjoin(in, &out, 3, nullptr), &out);
    return check(vips_copy(joined.get(), &out, "interpretation", VIPS_INTERPRETATION_sRGB, nullptr), &out);
}

// Broad fields of strong colour, like a sunset over a meadow: what a greyscale copy loses.
Image vivid(int width, int height, int seed) {
    Image bands[3];
    for (int b = 0; b < 3; ++b) {
        Image fields = perlin(width, height, std::max(width, height) / 2, seed * 3 + b);
        VipsImage* out = nullptr;
        // Stretched so that the bands part ways: each cell has a colour of its own.
        bands[b] = check(vips_linear1(fields.get(), &out, 2.0, -128.0, "uchar", TRUE, nullptr), &out);
    }
    Image texture = perlin(width, height, 4, seed + 1000);
    VipsImage* in[3] = {bands[0].get(), bands[1].get(), bands[2].get()};
    VipsImage* out = nullptr;
    Image joined = check(vips_bandjoin(in, &out, 3, nullptr), &out);
    Image textured = check(vips_add(joined.get(), texture.get(), &out, nullptr), &out);
    Image scaled = check(vips_linear1(textured.get(), &out, 0.8, 0.0, "uchar", TRUE, nullptr), &out);
    return check(vips_copy(scaled.get(), &out, "interpretation", VIPS_INTERPRETATION_sRGB, nullptr), &out);
}

// Black lines of "text" on white: a photographed page.
Image page(int width, int height, int seed) {
    VipsImage* out = nullptr;
    Image white = check(vips_black(&out, width, height, "bands", 3, nullptr), &out);
    white = check(vips_linear1(white.get(), &out, 1.0, 255.0, "uchar", TRUE, nullptr), &out);
    Image drawn = check(vips_copy(white.get(), &out, "interpretation", VIPS_INTERPRETATION_sRGB, nullptr), &out);
    double black[3] = {0, 0, 0};
    for (int y = height / 10; y < height * 9 / 10; y += 24)
        for (int x = width / 10 + (seed + y) % 7; x < width * 9 / 10; x += 14)
            if (vips_draw_rect(drawn.get(), black, 3, x, y, 8, 12, "fill", TRUE, nullptr) != 0)
                throw std::runtime_error("vips_draw_rect");
    return drawn;
}

Image flat(int width, int height) {
    VipsImage* out = nullptr;
    Image black = check(vips_black(&out, width, height, "bands", 3, nullptr), &out);
    Image grey = check(vips_linear1(black.get(), &out, 1.0, 128.0, "uchar", TRUE, nullptr), &out);
    return check(vips_copy(grey.get(), &out, "interpretation", VIPS_INTERPRETATION_sRGB, nullptr), &out);
}

Image sepia(const Image& image) {
    const double weights[] = {0.393, 0.769, 0.189, 0.349, 0.686, 0.168, 0.272, 0.534, 0.131};
    Image matrix(vips_image_new_matrix_from_array(3, 3, weights, 9));
    VipsImage* out = nullptr;
    Image toned = check(vips_recomb(image.get(), &out, matrix.get(), nullptr), &out);
    return check(vips_cast_uchar(toned.get(), &out, nullptr), &out);
}

// Glyph-sized marks, white edged in black, along the lower right corner.
Image watermark(Image image) {
    const int w = image->Xsize, h = image->Ysize, glyph = std::max(6, h / 40);
    VipsImage* out = nullptr;
    Image drawn = check(vips_copy(image.get(), &out, nullptr), &out);
    drawn = Image(vips_image_copy_memory(drawn.get()));
    double black[3] = {0, 0, 0}, white[3] = {255, 255, 255};
    for (int i = 0; i < 14; ++i) {
        const int x = w - w / 3 + i * glyph * 3 / 2, y = h - 2 * glyph - (i % 3) * glyph / 4;
        if (vips_draw_rect(drawn.get(), black, 3, x - 1, y - 1, glyph + 2, 2 * glyph / 3 + 2, "fill", TRUE, nullptr) ||
            vips_draw_rect(drawn.get(), white, 3, x, y, glyph, 2 * glyph / 3, "fill", TRUE, nullptr))
            throw std::runtime_error("vips_draw_rect");
    }
    return drawn;
}

Image apply(Image image, const Variant& v) {
    VipsImage* out = nullptr;
    const int width = image->Xsize, height = image->Ysize;
    if (v.exposure != 1.0 || v.lift != 0.0)
        image = check(vips_linear1(image.get(), &out, v.exposure, v.lift, "uchar", TRUE, nullptr), &out);
    if (v.contrast != 1.0)
        image = check(vips_linear1(image.get(), &out, v.contrast, 128 * (1 - v.contrast), "uchar", TRUE, nullptr),
                      &out);
    if (v.sepia) image = sepia(image);
    if (v.watermark) image = watermark(std::move(image));
    if (v.greyscale) image = check(vips_colourspace(image.get(), &out, VIPS_INTERPRETATION_B_W, nullptr), &out);
    if (v.blur > 0) image = check(vips_gaussblur(image.get(), &out, v.blur, nullptr), &out);
    if (v.angle != 0) {
        // Cut back inside the turned picture, as a camera turned by hand would frame it.
        const int margin = int(std::ceil(std::max(width, height) * std::sin(std::abs(v.angle) * M_PI / 180)));
        image = check(vips_rotate(image.get(), &out, v.angle, nullptr), &out);
        image = check(vips_crop(image.get(), &out, (image->Xsize - width) / 2 + margin,
                                (image->Ysize - height) / 2 + margin, width - 2 * margin, height - 2 * margin, nullptr),
                      &out);
    }
    if (v.crop > 0) {
        const int dx = int(width * v.crop / 2), dy = int(height * v.crop / 2);
        image = check(vips_crop(image.get(), &out, dx, dy, width - 2 * dx, height - 2 * dy, nullptr), &out);
    }
    if (v.size != 1.0) image = check(vips_resize(image.get(), &out, v.size, nullptr), &out);
    return image;
}

Exiv2::URationalValue rational(const std::string& text) {
    Exiv2::URationalValue value;
    value.read(text);
    return value;
}

void writeExif(const std::string& path, const Exif& exif) {
    auto image = Exiv2::ImageFactory::open(path);
    image->readMetadata();
    auto& data = image->exifData();
    if (exif.make) data["Exif.Image.Make"] = *exif.make;
    if (exif.model) data["Exif.Image.Model"] = *exif.model;
    if (exif.exposureTime) data["Exif.Photo.ExposureTime"] = rational(*exif.exposureTime);
    if (exif.fNumber) data["Exif.Photo.FNumber"] = rational(*exif.fNumber);
    if (exif.userComment) data["Exif.Photo.UserComment"] = "charset=Ascii " + *exif.userComment;
    if (exif.dateTimeOriginal) data["Exif.Photo.DateTimeOriginal"] = *exif.dateTimeOriginal;
    if (exif.orientation) data["Exif.Image.Orientation"] = std::uint16_t(*exif.orientation);
    image->writeMetadata();
}

} // namespace

Exif camera() {
    Exif exif;
    exif.make = "Fixture";
    exif.model = "Camera 1";
    return exif;
}

void write(const std::string& path, int width, int height, int seed, const Exif& exif, const Variant& variant,
           Content content) {
    ImageLibraries::start();
    Image image = content == Content::scene   ? scene(width, height, seed)
                  : content == Content::vivid ? vivid(width, height, seed)
                  : content == Content::page  ? page(width, height, seed)
                                              : flat(width, height);
    image = apply(std::move(image), variant);
    const std::string target = path.ends_with(".jpg") ? path + "[Q=" + std::to_string(variant.quality) + "]" : path;
    if (vips_image_write_to_file(image.get(), target.c_str(), nullptr) != 0)
        throw std::runtime_error(std::string("vips save: ") + vips_error_buffer());
    if (exif.make || exif.model || exif.exposureTime || exif.fNumber || exif.userComment || exif.dateTimeOriginal ||
        exif.orientation)
        writeExif(path, exif);
}

void resave(const std::string& from, const std::string& to, double size) {
    ImageLibraries::start();
    VipsImage* loaded = vips_image_new_from_file(from.c_str(), nullptr);
    Image image = check(loaded ? 0 : -1, &loaded);
    VipsImage* out = nullptr;
    image = check(vips_resize(image.get(), &out, size, nullptr), &out);
    const std::string target = to + "[Q=90]";
    if (vips_image_write_to_file(image.get(), target.c_str(), nullptr) != 0)
        throw std::runtime_error(std::string("vips save: ") + vips_error_buffer());
}

} // namespace tidra::test::PhotoFixture
