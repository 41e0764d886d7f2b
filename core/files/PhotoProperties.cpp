#include "files/PhotoProperties.h"

#include "files/FileExtension.h"
#include "files/ImageLibraries.h"

#include <exiv2/exiv2.hpp>
#include <libheif/heif.h>

#include <cstdint>
#include <memory>
#include <vector>

namespace tidra {
namespace {

bool isHeifName(const std::string& path) {
    const auto extension = FileExtension::lowered(path);
    return extension == "heic" || extension == "heif";
}

void readExif(const Exiv2::ExifData& exif, PhotoProperties& properties) {
    const auto has = [&](const char* key) { return exif.findKey(Exiv2::ExifKey(key)) != exif.end(); };
    properties.hasMake = has("Exif.Image.Make");
    properties.hasModel = has("Exif.Image.Model");
    properties.hasExposureTime = has("Exif.Photo.ExposureTime");
    properties.hasFNumber = has("Exif.Photo.FNumber");
    if (auto it = exif.findKey(Exiv2::ExifKey("Exif.Photo.UserComment")); it != exif.end()) {
        const auto* comment = dynamic_cast<const Exiv2::CommentValue*>(&it->value());
        properties.userComment = comment ? comment->comment() : it->toString();
    }
    if (auto it = exif.findKey(Exiv2::ExifKey("Exif.Photo.DateTimeOriginal")); it != exif.end())
        properties.dateTimeOriginal = it->toString();
}

// Raw formats keep their sensor size in EXIF where the container reports a preview's size.
int exifDimension(const Exiv2::ExifData& exif, const char* key) {
    auto it = exif.findKey(Exiv2::ExifKey(key));
    return it == exif.end() ? 0 : static_cast<int>(it->toLong());
}

std::optional<PhotoProperties> readWithExiv2(const std::string& path) {
    auto image = Exiv2::ImageFactory::open(path);
    if (!image.get()) return std::nullopt;
    image->readMetadata();
    PhotoProperties properties;
    const auto& exif = image->exifData();
    properties.width = image->pixelWidth();
    properties.height = image->pixelHeight();
    if (properties.width <= 0 || properties.height <= 0) {
        properties.width = exifDimension(exif, "Exif.Photo.PixelXDimension");
        properties.height = exifDimension(exif, "Exif.Photo.PixelYDimension");
    }
    readExif(exif, properties);
    return properties;
}

// A HEIF Exif block starts with a 4-byte big-endian offset to the TIFF header.
void readHeifExif(heif_image_handle* handle, PhotoProperties& properties) {
    heif_item_id id = 0;
    if (heif_image_handle_get_list_of_metadata_block_IDs(handle, "Exif", &id, 1) < 1) return;
    std::vector<std::uint8_t> block(heif_image_handle_get_metadata_size(handle, id));
    if (block.size() < 4 || heif_image_handle_get_metadata(handle, id, block.data()).code != heif_error_Ok)
        return;
    const std::size_t offset = 4 + ((std::size_t{block[0]} << 24) | (std::size_t{block[1]} << 16) |
                                    (std::size_t{block[2]} << 8) | block[3]);
    if (offset >= block.size()) return;
    Exiv2::ExifData exif;
    Exiv2::ExifParser::decode(exif, block.data() + offset, static_cast<std::uint32_t>(block.size() - offset));
    readExif(exif, properties);
}

std::optional<PhotoProperties> readWithLibheif(const std::string& path) {
    std::unique_ptr<heif_context, decltype(&heif_context_free)> context(heif_context_alloc(), heif_context_free);
    if (heif_context_read_from_file(context.get(), path.c_str(), nullptr).code != heif_error_Ok)
        return std::nullopt;
    heif_image_handle* raw = nullptr;
    if (heif_context_get_primary_image_handle(context.get(), &raw).code != heif_error_Ok) return std::nullopt;
    std::unique_ptr<heif_image_handle, decltype(&heif_image_handle_release)> handle(raw, heif_image_handle_release);
    PhotoProperties properties;
    properties.width = heif_image_handle_get_ispe_width(handle.get());
    properties.height = heif_image_handle_get_ispe_height(handle.get());
    readHeifExif(handle.get(), properties);
    return properties;
}

} // namespace

std::optional<PhotoProperties> PhotoProperties::read(const std::string& path) {
    ImageLibraries::start();
    try {
        return isHeifName(path) ? readWithLibheif(path) : readWithExiv2(path);
    } catch (...) {
        // exiv2 throws on anything it cannot parse; to us that is simply no photo.
        return std::nullopt;
    }
}

} // namespace tidra
