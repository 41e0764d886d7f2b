#pragma once

#include <memory>
#include <optional>
#include <string>

typedef struct _VipsImage VipsImage;

namespace tidra::PhotoDetail {

// A square of a photo at a fixed place (centred), held in grey as decoded, so that its detail
// can be read at more than one scale without decoding the photo again. Windows of `side` and
// `side` times f taken from two photos of one frame, f times as wide as each other, show the
// same part of the picture.
class Window {
public:
    // The window of `path`, `side` pixels square at the photo's own size. Decodes the photo
    // only down to the window. Nothing when it cannot be decoded, is raw, or is smaller than
    // the window. Safe from many threads.
    static std::optional<Window> of(const std::string& path, int side);

    int side() const;
    // The detail of the window resampled to `side` pixels square (its own side: as it is):
    // the spread of its Laplacian in its busier tiles, so that neither contrast nor brightness
    // counts. Nothing when the window is too small to hold a tile.
    //
    // A photo reduced from a larger one holds no more detail than the larger one shows at its
    // scale; an enlargement shows no more detail at its own scale than its source enlarged
    // the same way, and less of its source's detail at the source's scale than the source.
    std::optional<double> detailAt(int side) const;
    // The spread of the window's grey levels: how much contrast its detail is seen through.
    double contrast() const;

private:
    explicit Window(std::shared_ptr<VipsImage> grey) : grey_(std::move(grey)) {}
    std::shared_ptr<VipsImage> grey_;
};

// The side of the window taken from the smaller of two photos compared.
inline constexpr int windowSide = 384;

// Below this (grey levels) a window's detail is too little to stand out of compression noise.
inline constexpr double leastDetail = 4.0;

} // namespace tidra::PhotoDetail
