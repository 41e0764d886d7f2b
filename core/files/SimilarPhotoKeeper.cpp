#include "files/SimilarPhotoKeeper.h"

#include "files/PhotoThumbnail.h"

#include <algorithm>
#include <cmath>

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

// Block noise beyond the least of the group: a copy saved at a lower quality than the rest.
double blockPenalty(const std::vector<Judged>& judged, std::size_t i) {
    if (!judged[i].blockiness) return 0.0;
    double least = *judged[i].blockiness;
    for (const auto& j : judged)
        if (j.blockiness) least = std::min<double>(least, *j.blockiness);
    return std::clamp((*judged[i].blockiness / least - 1.2) / 0.5, 0.0, 1.0);
}

// A photo is compared only with photos this much smaller in area (1.25 times in width): between
// nearer sizes the step of detail is too thin to measure.
constexpr double smallerArea = 0.64;
// The most photos of one group asked about: each question decodes two photos in full.
constexpr std::size_t mostAsked = 3;

// The photos whose extra pixels carry no detail beyond a smaller photo of the group, with the
// pixels they count as. Each is compared with the smaller photo that looks most like it; the
// largest are asked first, and asking stops at the first photo that holds detail of its own,
// since below it no place changes.
std::map<std::string, std::int64_t> enlargements(const std::vector<SimilarPhoto>& photos,
                                                 const std::vector<Judged>& judged) {
    std::vector<std::size_t> bySize(photos.size());
    for (std::size_t i = 0; i < bySize.size(); ++i) bySize[i] = i;
    std::ranges::stable_sort(bySize, [&](std::size_t a, std::size_t b) { return photos[a].pixels() > photos[b].pixels(); });
    std::map<std::string, std::int64_t> counted;
    for (std::size_t asked = 0; asked < std::min(mostAsked, bySize.size()); ++asked) {
        const std::size_t i = bySize[asked];
        std::optional<std::size_t> likest;
        for (std::size_t j = 0; j < photos.size(); ++j)
            if (double(photos[j].pixels()) <= smallerArea * double(photos[i].pixels()) &&
                (!likest || distance(judged[i].look, judged[j].look) < distance(judged[i].look, judged[*likest].look)))
                likest = j;
        if (!likest || PhotoDetail::addsDetail(photos[i].path, photos[*likest].path) != false) break;
        counted[photos[i].path] = photos[*likest].pixels();
    }
    return counted;
}

} // namespace

std::optional<Judged> judge(const std::string& path) {
    const auto thumbnail = PhotoThumbnail::make(path);
    if (!thumbnail) return std::nullopt;
    return Judged{SimilarPhotoFinder::rating(*thumbnail), PhotoDetail::blockiness(path), lookOf(*thumbnail)};
}

std::map<std::string, std::int64_t> weigh(std::vector<SimilarPhoto>& photos, const std::vector<Judged>& judged) {
    const auto apart = distancesToTheRest(judged);
    const double nearest = *std::ranges::min_element(apart);
    for (std::size_t i = 0; i < photos.size(); ++i)
        photos[i].score =
            float(judged[i].rating.score - apartWeight * (apart[i] - nearest) - 0.5 * blockPenalty(judged, i));
    return enlargements(photos, judged);
}

} // namespace tidra::SimilarPhotoKeeper
