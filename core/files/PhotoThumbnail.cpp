#include "files/PhotoThumbnail.h"

#include "files/FileExtension.h"
#include "files/ImageLibraries.h"

#include <exiv2/exiv2.hpp>
#include <vips/vips.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <functional>
#include <memory>
#include <set>

namespace tidra::PhotoThumbnail {
namespace {

struct Unref {
    void operator()(VipsImage* image) const { g_object_unref(image); }
};
using Image = std::unique_ptr<VipsImage, Unref>;

// Runs one libvips operation that writes its output image; the input is released either way.
Image step(Image in, const std::function<int(VipsImage*, VipsImage**)>& operation) {
    if (!in) return nullptr;
    VipsImage* out = nullptr;
    if (operation(in.get(), &out) != 0) return nullptr;
    return Image(out);
}

Image toRgb8(Image image) {
    if (image && vips_image_hasalpha(image.get())) {
        image = step(std::move(image), [](VipsImage* in, VipsImage** out) {
            VipsArrayDouble* white = vips_array_double_newv(1, 255.0);
            const int status = vips_flatten(in, out, "background", white, nullptr);
            vips_area_unref(VIPS_AREA(white));
            return status;
        });
    }
    image = step(std::move(image), [](VipsImage* in, VipsImage** out) {
        return vips_colourspace(in, out, VIPS_INTERPRETATION_sRGB, nullptr);
    });
    image = step(std::move(image), [](VipsImage* in, VipsImage** out) { return vips_cast_uchar(in, out, nullptr); });
    if (image && image->Bands > 3)
        image = step(std::move(image), [](VipsImage* in, VipsImage** out) {
            return vips_extract_band(in, out, 0, "n", 3, nullptr);
        });
    return image && image->Bands == 3 ? std::move(image) : nullptr;
}

std::optional<Thumbnail> toThumbnail(Image decoded) {
    Image image = toRgb8(std::move(decoded));
    if (!image) return std::nullopt;
    std::size_t size = 0;
    void* pixels = vips_image_write_to_memory(image.get(), &size);
    if (!pixels) return std::nullopt;
    Thumbnail thumbnail{image->Xsize, image->Ysize, {}};
    const std::size_t expected = std::size_t(thumbnail.width) * std::size_t(thumbnail.height) * 3;
    if (size == expected) {
        const auto* bytes = static_cast<const std::uint8_t*>(pixels);
        thumbnail.rgb.assign(bytes, bytes + size);
    }
    g_free(pixels);
    if (thumbnail.rgb.empty()) return std::nullopt;
    return thumbnail;
}

std::optional<Thumbnail> finish(Image decoded) {
    auto thumbnail = toThumbnail(std::move(decoded));
    // The error text is of no use to anyone and would only pile up.
    if (!thumbnail) vips_error_clear();
    return thumbnail;
}

int rawOrientation(const Exiv2::ExifData& exif) {
    auto it = exif.findKey(Exiv2::ExifKey("Exif.Image.Orientation"));
    const long value = it == exif.end() ? 1 : it->toLong();
    return value >= 1 && value <= 8 ? static_cast<int>(value) : 1;
}

std::optional<Thumbnail> fromRawPreview(const std::string& path, int side) {
    try {
        auto raw = Exiv2::ImageFactory::open(path);
        if (!raw.get()) return std::nullopt;
        raw->readMetadata();
        Exiv2::PreviewManager previews(*raw);
        const auto list = previews.getPreviewProperties();
        if (list.empty()) return std::nullopt;
        // The list runs from the smallest preview to the largest.
        const Exiv2::PreviewImage preview = previews.getPreviewImage(list.back());
        VipsImage* out = nullptr;
        if (vips_thumbnail_buffer(const_cast<Exiv2::byte*>(preview.pData()), preview.size(), &out,
                                  side, "size", VIPS_SIZE_DOWN, nullptr) != 0) {
            vips_error_clear();
            return std::nullopt;
        }
        Image image(out);
        vips_image_set_int(image.get(), VIPS_META_ORIENTATION, rawOrientation(raw->exifData()));
        image = step(std::move(image), [](VipsImage* in, VipsImage** rotated) { return vips_autorot(in, rotated, nullptr); });
        // Decoding happens here, while the preview's bytes are still alive.
        return finish(std::move(image));
    } catch (...) {
        return std::nullopt;
    }
}

} // namespace

bool isRawName(const std::string& name) {
    static const std::set<std::string> raws = {"dng", "cr2", "cr3", "nef", "arw", "raf", "orf", "rw2"};
    return raws.contains(FileExtension::lowered(name));
}

std::optional<Thumbnail> make(const std::string& path, int side) {
    ImageLibraries::start();
    side = std::clamp(side, 1, maximumSide);
    if (isRawName(path)) return fromRawPreview(path, side);
    VipsImage* out = nullptr;
    if (vips_thumbnail(path.c_str(), &out, side, "size", VIPS_SIZE_DOWN, nullptr) != 0) {
        vips_error_clear();
        return std::nullopt;
    }
    return finish(Image(out));
}

} // namespace tidra::PhotoThumbnail
