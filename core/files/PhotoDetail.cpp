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

// The side of the window measured: enough texture to judge, little to decode.
constexpr int window = 768;
// The spread of a difference is taken in tiles of this side, and the busier tiles speak for
// the picture: sky and shadow hold no detail at any resolution.
constexpr int tile = 32;
// Below this share of the smaller photo's own finest detail, the larger one adds nothing.
constexpr double enlargedShare = 0.48;
// A smaller photo with less detail than this (grey levels) at that step is too smooth to tell
// detail from compression noise.
constexpr double leastDetail = 1.0;

// The photo as grey floats at full resolution, decoded when first read; read top to bottom
// once only, when `access` says so.
Image grey(const std::string& path, VipsAccess access = VIPS_ACCESS_RANDOM) {
    if (PhotoThumbnail::isRawName(path)) return nullptr;
    Image image(vips_image_new_from_file(path.c_str(), "access", access, nullptr));
    image = step(image, [](VipsImage* in, VipsImage** out) {
        return vips_colourspace(in, out, VIPS_INTERPRETATION_B_W, nullptr);
    });
    image = step(image, [](VipsImage* in, VipsImage** out) { return vips_extract_band(in, out, 0, nullptr); });
    return step(image, [](VipsImage* in, VipsImage** out) { return vips_cast_float(in, out, nullptr); });
}

// The middle of the picture, at most `side` square, on the compression's 8-pixel block grid,
// held in memory.
Image middle(const Image& image, int side) {
    if (!image) return nullptr;
    const int w = std::min(side, image->Xsize), h = std::min(side, image->Ysize);
    if (w < 2 * tile || h < 2 * tile) return nullptr;
    const Image part = step(image, [&](VipsImage* in, VipsImage** out) {
        return vips_crop(in, out, (in->Xsize - w) / 2 / 8 * 8, (in->Ysize - h) / 2 / 8 * 8, w, h, nullptr);
    });
    return part ? Image(vips_image_copy_memory(part.get())) : nullptr;
}

const float* pixels(const Image& image) {
    return static_cast<const float*>(static_cast<const void*>(VIPS_IMAGE_ADDR(image.get(), 0, 0)));
}

// The spread of a held float image in its busier tiles: the third quartile of theirs.
std::optional<double> busySpread(const Image& band) {
    if (!band) return std::nullopt;
    const float* values = pixels(band);
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

// `image` resized to exactly `width` by `height`.
Image resized(const Image& image, int width, int height) {
    Image out = step(image, [&](VipsImage* in, VipsImage** result) {
        return vips_resize(in, result, double(width) / in->Xsize, "vscale", double(height) / in->Ysize, nullptr);
    });
    if (out && (out->Xsize != width || out->Ysize != height))
        out = step(out, [&](VipsImage* in, VipsImage** result) {
            return vips_embed(in, result, 0, 0, width, height, "extend", VIPS_EXTEND_COPY, nullptr);
        });
    return out;
}

// The busy spread of a minus b, both held and of one size.
std::optional<double> spreadOfDifference(const Image& a, const Image& b) {
    if (!a || !b) return std::nullopt;
    return busySpread(step(a, [&](VipsImage* in, VipsImage** out) {
        VipsImage* lost = nullptr;
        if (vips_subtract(in, b.get(), &lost, nullptr) != 0) return -1;
        *out = vips_image_copy_memory(lost);
        g_object_unref(lost);
        return *out ? 0 : -1;
    }));
}

// What shrinking a held picture by `factor` and enlarging it back loses.
std::optional<double> finestStep(const Image& image, double factor) {
    if (!image) return std::nullopt;
    const Image small = resized(image, std::max(1, int(image->Xsize / factor)), std::max(1, int(image->Ysize / factor)));
    const Image back = resized(small, image->Xsize, image->Ysize);
    return spreadOfDifference(image, back ? Image(vips_image_copy_memory(back.get())) : nullptr);
}

double blockinessOf(const Image& image) {
    const float* grey = pixels(image);
    const int w = image->Xsize, h = image->Ysize;
    double across[2] = {0, 0}, counts[2] = {0, 0};
    const auto add = [&](float a, float b, int position) {
        const int edge = position % 8 == 7;
        across[edge] += std::abs(double(a) - b);
        counts[edge] += 1;
    };
    for (int y = 0; y + 1 < h; ++y)
        for (int x = 0; x + 1 < w; ++x) {
            add(grey[y * w + x], grey[y * w + x + 1], x);
            add(grey[y * w + x], grey[(y + 1) * w + x], y);
        }
    const double inside = across[0] / std::max(1.0, counts[0]);
    return inside > 0 ? across[1] / std::max(1.0, counts[1]) / inside : 1.0;
}

} // namespace

std::optional<float> blockiness(const std::string& path) {
    ImageLibraries::start();
    const Image window = middle(grey(path, VIPS_ACCESS_SEQUENTIAL), 384);
    vips_error_clear();
    if (!window) return std::nullopt;
    return static_cast<float>(blockinessOf(window));
}

std::optional<bool> addsDetail(const std::string& larger, const std::string& smaller) {
    ImageLibraries::start();
    const Image big = grey(larger), small = grey(smaller);
    std::optional<bool> result;
    if (big && small && small->Xsize < big->Xsize &&
        std::abs(double(big->Xsize) / big->Ysize - double(small->Xsize) / small->Ysize) <
            0.01 * double(big->Xsize) / big->Ysize) {
        const double factor = double(big->Xsize) / small->Xsize;
        const auto beyond = spreadOfDifference(middle(big, window), middle(resized(small, big->Xsize, big->Ysize), window));
        const auto own = finestStep(middle(small, int(window / factor)), factor);
        if (beyond && own && *own >= leastDetail) result = *beyond >= enlargedShare * *own;
    }
    vips_error_clear();
    return result;
}

} // namespace tidra::PhotoDetail
