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

// The spread of the Laplacian is taken in tiles of this side, and the busier tiles speak for
// the picture: sky and shadow hold no detail at any resolution.
constexpr int tile = 32;

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

// `side` square of the picture, centred (decoding stops below it), held in memory; nothing
// when the picture is smaller.
Image window(const Image& image, int side) {
    if (!image || side < 2 * tile || side > image->Xsize || side > image->Ysize) return nullptr;
    return held(image, [&](VipsImage* in, VipsImage** out) {
        return vips_crop(in, out, (in->Xsize - side) / 2, (in->Ysize - side) / 2, side, side, nullptr);
    });
}

// The pixels of a held one-band float image.
const float* valuesOf(VipsImage* band) {
    return static_cast<const float*>(static_cast<const void*>(VIPS_IMAGE_ADDR(band, 0, 0)));
}

// The Laplacian at one pixel, the edge repeated outward. Worked out here rather than by a
// library convolution: a window is small, and each library run would wake a pool of threads.
double laplacian(const float* values, int w, int h, int x, int y) {
    const auto at = [&](int u, int v) {
        return double(values[std::size_t(std::clamp(v, 0, h - 1)) * w + std::clamp(u, 0, w - 1)]);
    };
    return at(x - 1, y) + at(x + 1, y) + at(x, y - 1) + at(x, y + 1) - 4 * at(x, y);
}

// The spread of a held window's Laplacian in its busier tiles: the third quartile of theirs.
std::optional<double> detailOf(const Image& picture) {
    if (!picture) return std::nullopt;
    const float* values = valuesOf(picture.get());
    const int w = picture->Xsize, h = picture->Ysize;
    std::vector<double> spreads;
    for (int ty = 0; ty + tile <= h; ty += tile)
        for (int tx = 0; tx + tile <= w; tx += tile) {
            double sum = 0, squares = 0;
            for (int y = ty; y < ty + tile; ++y)
                for (int x = tx; x < tx + tile; ++x) {
                    const double v = laplacian(values, w, h, x, y);
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

} // namespace

std::optional<Window> Window::of(const std::string& path, int side) {
    ImageLibraries::start();
    Image seen = window(grey(path), side);
    vips_error_clear();
    if (!seen) return std::nullopt;
    return Window(std::shared_ptr<VipsImage>(seen.release(), Unref{}));
}

int Window::side() const { return grey_->Xsize; }

double Window::contrast() const {
    const float* values = valuesOf(grey_.get());
    const std::size_t n = std::size_t(grey_->Xsize) * grey_->Ysize;
    double sum = 0, squares = 0;
    for (std::size_t i = 0; i < n; ++i) {
        sum += values[i];
        squares += double(values[i]) * values[i];
    }
    const double mean = sum / double(n);
    return std::sqrt(std::max(0.0, squares / double(n) - mean * mean));
}

std::optional<double> Window::detailAt(int side) const {
    const Image own(VIPS_IMAGE(g_object_ref(grey_.get())));
    if (side == own->Xsize) return detailOf(own);
    const auto detail = detailOf(held(own, [&](VipsImage* in, VipsImage** out) {
        return vips_resize(in, out, double(side) / in->Xsize, "vscale", double(side) / in->Ysize, nullptr);
    }));
    vips_error_clear();
    return detail;
}

} // namespace tidra::PhotoDetail
