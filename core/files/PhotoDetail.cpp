#include "files/PhotoDetail.h"

#include "files/ImageLibraries.h"
#include "files/PhotoThumbnail.h"

#include <vips/vips.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>
#include <vector>

namespace tidra::PhotoDetail {
namespace {

struct Unref {
    void operator()(VipsImage* image) const { g_object_unref(image); }
};
using Image = std::unique_ptr<VipsImage, Unref>;

Image step(const Image& in, const std::function<int(VipsImage*, VipsImage**)>& operation) {
    if (!in) return nullptr;
    VipsImage* out = nullptr;
    if (operation(in.get(), &out) != 0) return nullptr;
    return Image(out);
}

// The side of the window at the smaller photo's scale: enough texture to judge, little to decode.
constexpr int window = 384;
// The spread of the Laplacian is taken in tiles of this side, and the busier tiles speak for
// the picture: sky and shadow hold no detail at any resolution.
constexpr int tile = 32;
// Below this spread (grey levels) the smaller window is too smooth for its detail to stand
// out of the compression noise.
constexpr double leastDetail = 4.0;

// The photo as grey floats at full resolution, read top to bottom once, so that decoding
// stops below the last row asked for.
Image grey(const std::string& path) {
    if (PhotoThumbnail::isRawName(path)) return nullptr;
    Image image(vips_image_new_from_file(path.c_str(), "access", VIPS_ACCESS_SEQUENTIAL, nullptr));
    image = step(image, [](VipsImage* in, VipsImage** out) {
        return vips_colourspace(in, out, VIPS_INTERPRETATION_B_W, nullptr);
    });
    image = step(image, [](VipsImage* in, VipsImage** out) { return vips_extract_band(in, out, 0, nullptr); });
    return step(image, [](VipsImage* in, VipsImage** out) { return vips_cast_float(in, out, nullptr); });
}

// The evaluated result of one more operation on a held image.
Image held(const Image& in, const std::function<int(VipsImage*, VipsImage**)>& operation) {
    const Image lazy = step(in, operation);
    return lazy ? Image(vips_image_copy_memory(lazy.get())) : nullptr;
}

// At most `side` square of the picture around its centre, held in memory.
Image middle(const Image& image, int side) {
    if (!image) return nullptr;
    const int w = std::min(side, image->Xsize), h = std::min(side, image->Ysize);
    if (w < 2 * tile || h < 2 * tile) return nullptr;
    return held(image, [&](VipsImage* in, VipsImage** out) {
        return vips_crop(in, out, (in->Xsize - w) / 2, (in->Ysize - h) / 2, w, h, nullptr);
    });
}

// The spread of a held float image in its busier tiles: the third quartile of theirs.
std::optional<double> busySpread(const Image& band) {
    if (!band) return std::nullopt;
    const float* values = static_cast<const float*>(static_cast<const void*>(VIPS_IMAGE_ADDR(band.get(), 0, 0)));
    const int w = band->Xsize, h = band->Ysize;
    std::vector<double> spreads;
    for (int ty = 0; ty + tile <= h; ty += tile)
        for (int tx = 0; tx + tile <= w; tx += tile) {
            double sum = 0, squares = 0;
            for (int y = ty; y < ty + tile; ++y)
                for (int x = tx; x < tx + tile; ++x) {
                    const double v = values[std::size_t(y) * w + x];
                    sum += v;
                    squares += v * v;
                }
            const double n = tile * tile, mean = sum / n;
            spreads.push_back(std::sqrt(std::max(0.0, squares / n - mean * mean)));
        }
    if (spreads.empty()) return std::nullopt;
    std::ranges::sort(spreads);
    return spreads[spreads.size() * 3 / 4];
}

// The busy spread of a held window's Laplacian.
std::optional<double> detailOf(const Image& window) {
    if (!window) return std::nullopt;
    const Image kernel(vips_image_new_matrixv(3, 3, 0.0, 1.0, 0.0, 1.0, -4.0, 1.0, 0.0, 1.0, 0.0));
    return busySpread(held(window, [&](VipsImage* in, VipsImage** out) {
        return vips_conv(in, out, kernel.get(), "precision", VIPS_PRECISION_FLOAT, nullptr);
    }));
}

} // namespace

std::optional<double> detailKept(const std::string& larger, const std::string& smaller) {
    ImageLibraries::start();
    std::optional<double> share;
    const Image big = grey(larger), small = grey(smaller);
    if (big && small && small->Xsize < big->Xsize) {
        const double factor = double(big->Xsize) / small->Xsize;
        const Image own = middle(small, window);
        const Image theirs = middle(big, int(std::lround(window * factor)));
        const Image reduced = own && theirs ? held(theirs, [&](VipsImage* in, VipsImage** out) {
            return vips_resize(in, out, double(own->Xsize) / in->Xsize, "vscale", double(own->Ysize) / in->Ysize,
                               nullptr);
        })
                                            : nullptr;
        const auto mine = detailOf(own), kept = detailOf(reduced);
        if (mine && kept && *mine >= leastDetail) share = *kept / *mine;
    }
    vips_error_clear();
    return share;
}

} // namespace tidra::PhotoDetail
