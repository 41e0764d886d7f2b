#include "files/SimilarPhotoKeeper.h"

#include "files/JpegQuality.h"
#include "files/PhotoDetail.h"

#include <algorithm>
#include <cmath>
#include <tuple>

namespace tidra::SimilarPhotoKeeper {
namespace {

// The side of a look: fine enough for a watermark or a crop to show, coarse enough that
// resampling and compression do not.
constexpr int lookSide = 32;

std::vector<float> lookOf(const Thumbnail& t) {
    std::vector<float> look(lookSide * lookSide * 3, 0.0f);
    for (int y = 0; y < lookSide; ++y)
        for (int x = 0; x < lookSide; ++x) {
            const int x0 = x * t.width / lookSide, x1 = std::max(x0 + 1, (x + 1) * t.width / lookSide);
            const int y0 = y * t.height / lookSide, y1 = std::max(y0 + 1, (y + 1) * t.height / lookSide);
            double sums[3] = {0, 0, 0};
            for (int v = y0; v < y1; ++v)
                for (int u = x0; u < x1; ++u)
                    for (int c = 0; c < 3; ++c) sums[c] += t.rgb[(std::size_t(v) * t.width + u) * 3 + c];
            const double n = double(x1 - x0) * (y1 - y0);
            for (int c = 0; c < 3; ++c) look[(y * lookSide + x) * 3 + c] = float(sums[c] / n);
        }
    return look;
}

double distance(const std::vector<float>& a, const std::vector<float>& b) {
    if (a.size() != b.size() || a.empty()) return 0;
    double sum = 0;
    for (std::size_t i = 0; i < a.size(); ++i) sum += (double(a[i]) - b[i]) * (double(a[i]) - b[i]);
    return std::sqrt(sum / double(a.size()));
}

// For each photo, the mean of its distances to the others. An edit moves a copy away from its
// shot and from every other copy alike, so the shot lies nearest to the rest.
std::vector<double> distancesToTheRest(const std::vector<Judged>& judged) {
    std::vector<double> result;
    for (std::size_t i = 0; i < judged.size(); ++i) {
        double sum = 0;
        for (std::size_t j = 0; j < judged.size(); ++j)
            if (j != i) sum += distance(judged[i].look, judged[j].look);
        result.push_back(judged.size() > 1 ? sum / double(judged.size() - 1) : 0.0);
    }
    return result;
}

// Score lost per grey level (RMS over a look) a photo lies farther from the rest than the
// nearest photo of its group does.
constexpr double apartWeight = 0.15;

// JPEG quality points below the best of the group that cost nothing: encoders and their
// settings differ by that much without the picture changing.
constexpr int qualitySlack = 3;
// The points below that cost the whole penalty, and the penalty.
constexpr double qualitySpan = 35.0;
constexpr double qualityWeight = 0.5;

// A copy saved at a clearly lower quality than the best of its group loses score.
double qualityPenalty(const std::vector<Judged>& judged, std::size_t i) {
    if (!judged[i].quality) return 0.0;
    int best = *judged[i].quality;
    for (const auto& j : judged)
        if (j.quality) best = std::max(best, *j.quality);
    return qualityWeight * std::clamp((best - *judged[i].quality - qualitySlack) / qualitySpan, 0.0, 1.0);
}

// A larger photo keeps its own pixels only when it shows both: at the smaller photo's scale,
// at least this share of the smaller one's detail (an enlargement, resampled once more on the
// way, loses some)...
constexpr double keptShare = 0.93;
// ...and at its own scale, this much more detail than the smaller photo enlarged to its size.
constexpr double addedShare = 1.15;
// Both within the grey levels of compression noise that either photo's encoding adds or takes.
constexpr double noiseLevels = 2.0;
// A photo saved at a JPEG quality this many points below the smaller one's shows compression
// noise where detail would be.
constexpr int noisyQualityGap = 15;
// Shapes within this share of each other frame the same picture.
constexpr double sameShape = 0.01;
// Smaller photos this much farther from a photo than the likest one (plus half a grey level)
// are not compared with it: their colours or framing were changed.
constexpr double likeSlack = 1.5;

using Details = std::map<std::string, SimilarPhotoFinder::Detail>;

bool sameFrame(const SimilarPhoto& a, const SimilarPhoto& b) {
    const double ra = double(a.pixelWidth) / a.pixelHeight, rb = double(b.pixelWidth) / b.pixelHeight;
    return std::abs(ra - rb) < sameShape * ra;
}

// The photo `larger` is compared with: among the smaller photos of the same frame that look
// much like it and were not found enlarged, one whose pixels all count if there is one (an
// enlargement compared with another enlargement would look sound), then the largest, then the
// likest.
std::optional<std::size_t> comparedWith(std::size_t larger, const std::vector<SimilarPhoto>& photos,
                                        const std::vector<Judged>& judged, const Details& found) {
    std::vector<std::size_t> smaller;
    for (std::size_t j = 0; j < photos.size(); ++j) {
        const auto known = found.find(photos[j].path);
        if (photos[j].pixelWidth < photos[larger].pixelWidth && sameFrame(photos[j], photos[larger]) &&
            (known == found.end() || !known->second.enlarged))
            smaller.push_back(j);
    }
    if (smaller.empty()) return std::nullopt;
    const auto apart = [&](std::size_t j) { return distance(judged[larger].look, judged[j].look); };
    const double likest = apart(*std::ranges::min_element(smaller, {}, apart));
    const auto preference = [&](std::size_t j) {
        return std::tuple(!found.contains(photos[j].path), photos[j].pixels(), -apart(j));
    };
    std::optional<std::size_t> chosen;
    for (const auto j : smaller)
        if (apart(j) <= likeSlack * likest + 0.5 && (!chosen || preference(j) > preference(*chosen))) chosen = j;
    return chosen;
}

// The window of a smaller photo and its detail at its own scale, read once however many
// larger photos are compared with it.
struct Base {
    std::optional<PhotoDetail::Window> window;
    std::optional<double> detail;
    double contrast = 0;
};

Base baseOf(const std::string& path) {
    auto window = PhotoDetail::Window::of(path, PhotoDetail::windowSide);
    if (!window) return {};
    const auto detail = window->detailAt(PhotoDetail::windowSide);
    const double contrast = window->contrast();
    return {std::move(window), detail, contrast};
}

// What a larger photo shows next to a smaller one of its frame.
enum class Verdict {
    moreDetail,  // detail the smaller one lacks: its extra pixels count
    noMore,      // no detail beyond the smaller one's, or none that can be told apart
    enlarged,    // less of the smaller one's detail at its scale: resampled from it once more
};

// The verdict on `larger`, `factor` times as wide as the photo `base` was read from, with the
// JPEG qualities the two were saved at.
Verdict verdict(const std::string& larger, double factor, const Base& base, std::optional<int> largerQuality,
                std::optional<int> smallerQuality) {
    if (largerQuality && smallerQuality && *largerQuality + noisyQualityGap < *smallerQuality) return Verdict::noMore;
    if (!base.detail || *base.detail < PhotoDetail::leastDetail || base.contrast <= 0)
        return Verdict::noMore;
    const auto window = PhotoDetail::Window::of(larger, int(std::lround(PhotoDetail::windowSide * factor)));
    if (!window) return Verdict::noMore;
    const auto atSmaller = window->detailAt(PhotoDetail::windowSide);
    if (!atSmaller) return Verdict::noMore;
    // An edit that changed the contrast changed every detail by as much.
    const double contrast = window->contrast() / base.contrast;
    if (*atSmaller + noiseLevels < keptShare * contrast * *base.detail) return Verdict::enlarged;
    const auto atOwn = window->detailAt(window->side()), smallerEnlarged = base.window->detailAt(window->side());
    if (!atOwn || !smallerEnlarged) return Verdict::noMore;
    return *atOwn >= addedShare * contrast * *smallerEnlarged + noiseLevels ? Verdict::moreDetail : Verdict::noMore;
}

// The pixels a photo's detail counts as so far.
std::int64_t countedPixels(const SimilarPhoto& photo, const Details& found) {
    const auto known = found.find(photo.path);
    return known == found.end() ? photo.pixels() : known->second.pixels;
}

// Photos of one size hold the same pixels, and an edit (more contrast, a toning, a caption) can
// hide or fake detail in one of them: the most detail any of them was shown to hold counts for
// all. Whether each was found enlarged stays its own.
void shareAmongEqualSizes(const std::vector<SimilarPhoto>& photos, Details& found) {
    std::vector<std::int64_t> shared;
    for (const auto& p : photos) {
        std::int64_t most = 0;
        for (const auto& q : photos)
            if (q.pixelWidth == p.pixelWidth && q.pixelHeight == p.pixelHeight) most = std::max(most, countedPixels(q, found));
        shared.push_back(most);
    }
    for (std::size_t i = 0; i < photos.size(); ++i)
        if (const auto known = found.find(photos[i].path); known != found.end()) known->second.pixels = shared[i];
}

// Each photo that has a smaller photo of the same frame is compared with one, smallest first,
// so that a photo is compared only with photos already judged. It keeps its own pixels only
// when it was shown to hold detail the smaller one lacks; otherwise it counts as the smaller
// one, and the rest of the order (the group's agreement first) decides between them.
Details details(const std::vector<SimilarPhoto>& photos, const std::vector<Judged>& judged) {
    std::vector<std::size_t> bySize(photos.size());
    for (std::size_t i = 0; i < bySize.size(); ++i) bySize[i] = i;
    std::ranges::stable_sort(bySize, {}, [&](std::size_t i) { return photos[i].pixels(); });
    Details found;
    std::map<std::size_t, Base> bases;
    for (const auto i : bySize) {
        const auto other = comparedWith(i, photos, judged, found);
        if (!other) continue;
        if (!bases.contains(*other)) bases[*other] = baseOf(photos[*other].path);
        const double factor = double(photos[i].pixelWidth) / photos[*other].pixelWidth;
        const auto seen = verdict(photos[i].path, factor, bases[*other], judged[i].quality, judged[*other].quality);
        if (seen != Verdict::moreDetail)
            found[photos[i].path] = {countedPixels(photos[*other], found), seen == Verdict::enlarged};
    }
    shareAmongEqualSizes(photos, found);
    return found;
}

} // namespace

Judged judge(const std::string& path, const Thumbnail& thumbnail) {
    return Judged{SimilarPhotoFinder::rating(thumbnail), JpegQuality::of(path), lookOf(thumbnail)};
}

std::map<std::string, SimilarPhotoFinder::Detail> weigh(std::vector<SimilarPhoto>& photos,
                                                        const std::vector<Judged>& judged) {
    const auto apart = distancesToTheRest(judged);
    const double nearest = *std::ranges::min_element(apart);
    for (std::size_t i = 0; i < photos.size(); ++i)
        photos[i].score = float(judged[i].rating.score - apartWeight * (apart[i] - nearest) - qualityPenalty(judged, i));
    return details(photos, judged);
}

} // namespace tidra::SimilarPhotoKeeper
