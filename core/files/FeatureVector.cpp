#include "files/FeatureVector.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <span>
#include <utility>

namespace tidra::FeatureVector {
namespace {

constexpr int lumaGrid = 16;
constexpr int colourGrid = 4;
constexpr int gradientSide = 64;
constexpr int gradientCells = 4;
constexpr int orientations = 8;
// Layout matters most; edges tell apart scenes whose layouts happen to agree. Colour counts
// little: a greyscale copy has none, and lifted shadows wash it out.
constexpr float lumaWeight = 1.0f;
constexpr float colourWeight = 0.2f;
constexpr float gradientWeight = 0.7f;
// Layout and colour cells average a window twice their size, so that a crop, which moves
// every cell a little, changes each average only a little.
constexpr double layoutSpread = 2.0;

// Summed-area table of one channel, so any box average costs four look-ups.
struct Integral {
    int width, height;
    std::vector<double> sums;  // (width + 1) * (height + 1)

    double at(int x, int y) const { return sums[std::size_t(y) * std::size_t(width + 1) + std::size_t(x)]; }
    // Mean over the window of cell (i, j) of an n by n grid laid over the whole picture: the
    // window is `spread` times the cell's size around the cell's centre, cut at the edges.
    float cell(int i, int j, int n, double spread) const {
        const auto [x0, x1] = window(i, n, spread, width);
        const auto [y0, y1] = window(j, n, spread, height);
        const double sum = at(x1, y1) - at(x0, y1) - at(x1, y0) + at(x0, y0);
        return static_cast<float>(sum / double((x1 - x0) * (y1 - y0)));
    }
    static std::pair<int, int> window(int index, int n, double spread, int size) {
        const double centre = (index + 0.5) / n, half = spread / (2.0 * n);
        const int from = std::clamp(int(std::lround((centre - half) * size)), 0, size - 1);
        return {from, std::clamp(int(std::lround((centre + half) * size)), from + 1, size)};
    }
};

template <class Value>
Integral integral(const Thumbnail& t, Value value) {
    Integral result{t.width, t.height, std::vector<double>(std::size_t(t.width + 1) * std::size_t(t.height + 1), 0.0)};
    for (int y = 0; y < t.height; ++y) {
        double row = 0;
        for (int x = 0; x < t.width; ++x) {
            const std::uint8_t* p = &t.rgb[(std::size_t(y) * std::size_t(t.width) + std::size_t(x)) * 3];
            row += value(p[0], p[1], p[2]);
            result.sums[std::size_t(y + 1) * std::size_t(t.width + 1) + std::size_t(x + 1)] =
                result.at(x + 1, y) + row;
        }
    }
    return result;
}

void normalise(std::span<float> values) {
    double sum = 0;
    for (float v : values) sum += double(v) * v;
    const double norm = std::sqrt(sum);
    if (norm < 1e-6) {
        std::ranges::fill(values, 0.0f);
        return;
    }
    for (float& v : values) v = static_cast<float>(v / norm);
}

void centre(std::span<float> values) {
    double mean = 0;
    for (float v : values) mean += v;
    mean /= double(values.size());
    for (float& v : values) v = static_cast<float>(v - mean);
}

std::vector<float> grid(const Integral& plane, int side, double spread) {
    std::vector<float> cells;
    cells.reserve(std::size_t(side) * std::size_t(side));
    for (int j = 0; j < side; ++j)
        for (int i = 0; i < side; ++i) cells.push_back(plane.cell(i, j, side, spread));
    return cells;
}

// Unsigned gradient orientations, magnitude-weighted and split softly between the two
// nearest bins so that a slightly turned picture keeps nearly the same histogram.
std::vector<float> gradientHistogram(const Integral& luma) {
    const auto small = grid(luma, gradientSide, 1.0);
    std::vector<float> bins(std::size_t(gradientCells * gradientCells * orientations), 0.0f);
    const auto at = [&](int x, int y) { return small[std::size_t(y) * gradientSide + std::size_t(x)]; };
    for (int y = 1; y < gradientSide - 1; ++y)
        for (int x = 1; x < gradientSide - 1; ++x) {
            const float gx = at(x + 1, y) - at(x - 1, y), gy = at(x, y + 1) - at(x, y - 1);
            const float magnitude = std::sqrt(gx * gx + gy * gy);
            if (magnitude < 1e-3f) continue;
            float angle = std::atan2(gy, gx);
            if (angle < 0) angle += std::numbers::pi_v<float>;
            const float position = angle / std::numbers::pi_v<float> * orientations - 0.5f;
            const int lower = static_cast<int>(std::floor(position));
            const float upperShare = position - float(lower);
            const int cell = (y * gradientCells / gradientSide) * gradientCells + x * gradientCells / gradientSide;
            auto* cellBins = &bins[std::size_t(cell) * orientations];
            cellBins[(lower + orientations) % orientations] += magnitude * (1 - upperShare);
            cellBins[(lower + 1) % orientations] += magnitude * upperShare;
        }
    return bins;
}

} // namespace

std::vector<float> of(const Thumbnail& thumbnail) {
    std::vector<float> vector;
    vector.reserve(length);
    if (thumbnail.width <= 0 || thumbnail.height <= 0 ||
        thumbnail.rgb.size() != std::size_t(thumbnail.width) * std::size_t(thumbnail.height) * 3)
        return std::vector<float>(length, 0.0f);
    const auto luma = integral(thumbnail, [](int r, int g, int b) { return 0.299 * r + 0.587 * g + 0.114 * b; });

    // Brightness and contrast drop out: the layout is centred and brought to unit length.
    auto layout = grid(luma, lumaGrid, layoutSpread);
    centre(layout);
    normalise(layout);
    for (float v : layout) vector.push_back(lumaWeight * v);

    // Chromaticity does not change when the exposure does.
    const auto redGreen = integral(thumbnail, [](int r, int g, int b) { return double(r - g) / (r + g + b + 3); });
    const auto yellowBlue = integral(thumbnail, [](int r, int g, int b) { return double(r + g - 2 * b) / (r + g + b + 3); });
    for (const auto* plane : {&redGreen, &yellowBlue})
        for (float v : grid(*plane, colourGrid, layoutSpread)) vector.push_back(colourWeight * v);

    auto edges = gradientHistogram(luma);
    centre(edges);
    normalise(edges);
    for (float v : edges) vector.push_back(gradientWeight * v);

    normalise(vector);
    for (float& v : vector) v *= scale;
    return vector;
}

} // namespace tidra::FeatureVector
