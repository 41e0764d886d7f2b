#include "files/SimilarPhotoFinder.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>

namespace tidra::SimilarPhotoFinder {
namespace {

struct Luma {
    int width, height;
    std::vector<float> values;
    float at(int x, int y) const { return values[std::size_t(y) * std::size_t(width) + std::size_t(x)]; }
};

Luma luma(const Thumbnail& t) {
    Luma result{t.width, t.height, std::vector<float>(std::size_t(t.width) * std::size_t(t.height))};
    for (std::size_t i = 0; i < result.values.size(); ++i)
        result.values[i] = 0.299f * t.rgb[3 * i] + 0.587f * t.rgb[3 * i + 1] + 0.114f * t.rgb[3 * i + 2];
    return result;
}

// Laplacian responses over the inner pixels.
std::vector<float> laplacian(const Luma& l) {
    std::vector<float> responses;
    if (l.width < 3 || l.height < 3) return responses;
    responses.reserve(std::size_t(l.width - 2) * std::size_t(l.height - 2));
    for (int y = 1; y < l.height - 1; ++y)
        for (int x = 1; x < l.width - 1; ++x)
            responses.push_back(l.at(x - 1, y) + l.at(x + 1, y) + l.at(x, y - 1) + l.at(x, y + 1) - 4 * l.at(x, y));
    return responses;
}

double variance(const std::vector<float>& values) {
    if (values.empty()) return 0;
    double sum = 0, squares = 0;
    for (float v : values) {
        sum += v;
        squares += double(v) * v;
    }
    const double mean = sum / double(values.size());
    return std::max(0.0, squares / double(values.size()) - mean * mean);
}

double middleSpread(const Luma& l) {
    std::vector<float> values = l.values;
    const auto high = values.begin() + std::ptrdiff_t(values.size() * 9 / 10);
    std::ranges::nth_element(values, high);
    const float top = *high;
    const auto low = values.begin() + std::ptrdiff_t(values.size() / 10);
    std::nth_element(values.begin(), low, high);
    return top - *low;
}

double clippedShare(const Luma& l) {
    const auto clipped = std::ranges::count_if(l.values, [](float v) { return v <= 3.0f || v >= 252.0f; });
    return double(clipped) / double(l.values.size());
}

// The Laplacian variance of the median tile of a 6 by 6 grid: a photo is as sharp as most of
// it, and crisp marks laid over one corner (a watermark, a caption) must not count as focus.
double typicalSharpness(const Luma& l, const std::vector<float>& edges) {
    const int w = l.width - 2, h = l.height - 2;
    if (w < 6 || h < 6) return variance(edges);
    // Sums per tile in one pass over the responses, no copies. Tile t spans t * size / 6 up to
    // (t + 1) * size / 6.
    const auto tileOf = [](int size) {
        std::vector<int> tiles(std::size_t(size), 5);
        for (int t = 0; t < 6; ++t)
            for (int i = t * size / 6; i < (t + 1) * size / 6; ++i) tiles[std::size_t(i)] = t;
        return tiles;
    };
    const auto rows = tileOf(h), columns = tileOf(w);
    std::array<double, 36> sums{}, squares{}, counts{};
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const int cell = rows[std::size_t(y)] * 6 + columns[std::size_t(x)];
            const double v = edges[std::size_t(y) * std::size_t(w) + std::size_t(x)];
            sums[cell] += v;
            squares[cell] += v * v;
            counts[cell] += 1;
        }
    }
    std::array<double, 36> tiles{};
    for (std::size_t i = 0; i < tiles.size(); ++i) {
        const double mean = sums[i] / std::max(1.0, counts[i]);
        tiles[i] = std::max(0.0, squares[i] / std::max(1.0, counts[i]) - mean * mean);
    }
    std::ranges::nth_element(tiles, tiles.begin() + tiles.size() / 2);
    return tiles[tiles.size() / 2];
}

float qualityScore(const Luma& l, const std::vector<float>& edges) {
    // Scales picked so that an ordinary sharp, well-exposed photo lands near the top.
    const double sharpness = std::clamp((std::log10(1 + typicalSharpness(l, edges)) - 1.6) / 1.0, -1.0, 1.0);
    // Flat pictures lose; beyond a photo's usual spread more contrast is an edit, not a merit.
    // The spread between the 10th and 90th percentile, so that a caption laid over a corner
    // does not count.
    const double contrast = std::clamp((middleSpread(l) - 80.0) / 80.0, -1.0, 0.0);
    const double clipping = std::clamp(clippedShare(l) * 4.0, 0.0, 1.0);
    return static_cast<float>(std::clamp(0.6 * sharpness + 0.4 * contrast - 0.8 * clipping, -1.0, 1.0));
}

// Pixel counts of the colours, at 4 bits per channel, most common first.
std::vector<int> colourCounts(const Thumbnail& t) {
    std::vector<int> bins(4096, 0);
    for (std::size_t i = 0; i + 2 < t.rgb.size(); i += 3)
        ++bins[std::size_t(t.rgb[i] >> 4) << 8 | std::size_t(t.rgb[i + 1] >> 4) << 4 | std::size_t(t.rgb[i + 2] >> 4)];
    std::ranges::sort(bins, std::greater<>());
    return bins;
}

// A page or a chart: one background colour over half the picture, crisp marks, and what is
// not background made of a handful of colours. A burnt-out photo has the background but its
// remaining pixels spread over many colours.
bool looksLikeUtility(const Thumbnail& t, const std::vector<float>& edges) {
    if (edges.empty()) return false;
    const auto crisp = std::ranges::count_if(edges, [](float v) { return std::abs(v) > 48.0f; });
    if (double(crisp) / double(edges.size()) < 0.05) return false;
    const auto counts = colourCounts(t);
    const double total = double(t.rgb.size() / 3);
    const double background = counts[0] / total;
    double marks = 0;
    for (std::size_t i = 1; i < 8; ++i) marks += counts[i];
    return background >= 0.5 && marks / (total - counts[0]) >= 0.7;
}

} // namespace

Rating rating(const Thumbnail& thumbnail) {
    if (thumbnail.width <= 0 || thumbnail.height <= 0 ||
        thumbnail.rgb.size() != std::size_t(thumbnail.width) * std::size_t(thumbnail.height) * 3)
        return Rating{-1.0f, false};
    const auto l = luma(thumbnail);
    const auto edges = laplacian(l);
    return Rating{qualityScore(l, edges), looksLikeUtility(thumbnail, edges)};
}

} // namespace tidra::SimilarPhotoFinder
