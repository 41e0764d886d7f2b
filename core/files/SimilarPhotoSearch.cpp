#include "files/SimilarPhotoFinder.h"
#include "files/SearchMemory.h"
#include "files/SimilarPhotoKeeper.h"

#include <tbb/parallel_for.h>

#include <algorithm>
#include <atomic>
#include <map>
#include <mutex>

namespace tidra::SimilarPhotoFinder {
namespace {

// Elements gathered by the workers of one parallel loop.
template <class T>
class Collected {
public:
    void append(T element) {
        std::lock_guard lock(mutex_);
        all_.push_back(std::move(element));
    }
    std::vector<T> take() {
        std::lock_guard lock(mutex_);
        return std::move(all_);
    }

private:
    std::mutex mutex_;
    std::vector<T> all_;
};

template <class Body>
void forEachIndex(std::size_t count, const Body& body) {
    tbb::parallel_for(tbb::blocked_range<std::size_t>(0, count, 1), [&](const auto& range) {
        for (std::size_t i = range.begin(); i != range.end(); ++i) body(i);
    });
}

std::vector<Print> readPrints(const std::vector<File>& files, const Progress& progress, const Cancelled& isCancelled) {
    Collected<Print> prints;
    std::atomic<int> handled{0};
    const int total = static_cast<int>(files.size());
    forEachIndex(files.size(), [&](std::size_t i) {
        if (isCancelled()) return;
        if (auto made = print(files[i])) prints.append(std::move(*made));
        const int done = ++handled;
        if (done % 8 == 0 || done == total) progress(Stage{Stage::Reading{done, total}});
    });
    auto all = prints.take();
    // Workers finish in any order; the clusters must not depend on it.
    std::ranges::sort(all, [](const Print& a, const Print& b) {
        return a.date != b.date ? a.date < b.date : a.file.path < b.file.path;
    });
    return all;
}

using Judged = SimilarPhotoKeeper::Judged;

std::map<std::string, Judged> judgeClustered(const std::vector<std::vector<Print>>& clusters) {
    std::vector<const Print*> clustered;
    for (const auto& cluster : clusters)
        for (const auto& p : cluster) clustered.push_back(&p);
    Collected<std::pair<std::string, Judged>> rated;
    forEachIndex(clustered.size(), [&](std::size_t i) {
        const auto& path = clustered[i]->file.path;
        if (const auto thumbnail = PhotoThumbnail::make(path)) rated.append({path, SimilarPhotoKeeper::judge(path, *thumbnail)});
    });
    std::map<std::string, Judged> judged;
    for (auto& [path, j] : rated.take()) judged.emplace(std::move(path), std::move(j));
    return judged;
}

// The cluster's rated photos that are no utility pictures, best first.
std::vector<SimilarPhoto> keptPhotos(const std::vector<Print>& cluster, const std::map<std::string, Judged>& judged,
                                     const CloneKeyProvider& cloneKeys) {
    std::vector<SimilarPhoto> photos;
    std::vector<Judged> theirs;
    for (const auto& p : cluster) {
        const auto found = judged.find(p.file.path);
        if (found == judged.end() || found->second.rating.isUtility) continue;
        photos.push_back(SimilarPhoto{p.file.path, p.file.bytes, p.width, p.height, p.date, found->second.rating.score,
                                      resolvedCloneID(p.file.path, p.file.cloneID, cloneKeys), p.file.cloneID,
                                      p.file.modified});
        theirs.push_back(found->second);
    }
    if (photos.size() < 2) return photos;
    const auto details = SimilarPhotoKeeper::weigh(photos, theirs);
    return bestFirst(std::move(photos), details);
}

} // namespace

std::vector<SimilarPhotoGroup> find(const std::vector<std::string>& roots, float threshold, const Progress& progress,
                                    const Cancelled& isCancelled, const CloneKeyProvider& cloneKeys) {
    SearchMemory::settle();
    auto groups = [&] {
        const auto files = UserFiles::list(
            roots, minimumBytes, isPhotoName,
            [&](std::int64_t seen) {
                if (progress) progress(Stage{Stage::Looking{seen}});
            },
            isCancelled);
        return findAmong(files, threshold, progress, isCancelled, cloneKeys);
    }();
    // Decoded thumbnails and windows of hundreds of photos went through the workers' heaps.
    SearchMemory::giveBack();
    return groups;
}

std::vector<SimilarPhotoGroup> findAmong(const std::vector<File>& files, float threshold, const Progress& given,
                                         const Cancelled& askedCancelled, const CloneKeyProvider& cloneKeys) {
    // An empty callback reports nothing and never cancels, as in the other searches.
    const Progress progress = given ? given : [](const Stage&) {};
    const Cancelled isCancelled = askedCancelled ? askedCancelled : [] { return false; };
    if (files.size() < 2 || isCancelled()) return {};
    auto prints = readPrints(files, progress, isCancelled);
    if (isCancelled()) return {};
    progress(Stage{Stage::Grouping{}});

    const auto clusters = group(prints, threshold);
    const auto judged = judgeClustered(clusters);
    std::vector<std::vector<SimilarPhoto>> kept(clusters.size());
    forEachIndex(clusters.size(), [&](std::size_t i) { kept[i] = keptPhotos(clusters[i], judged, cloneKeys); });
    std::vector<SimilarPhotoGroup> groups;
    for (auto& photos : kept)
        if (photos.size() >= 2) groups.push_back(SimilarPhotoGroup{std::move(photos)});
    std::ranges::stable_sort(groups, [](const SimilarPhotoGroup& a, const SimilarPhotoGroup& b) {
        const auto ra = a.reclaimable(), rb = b.reclaimable();
        return ra != rb ? ra > rb : a.id() > b.id();
    });
    return groups;
}

std::vector<SimilarPhoto> bestFirst(std::vector<SimilarPhoto> photos, const std::map<std::string, Detail>& details) {
    struct Ranked {
        SimilarPhoto photo;
        Detail detail;
        int rank = 0;
        std::ptrdiff_t sharingSize = 0;
    };
    std::vector<Ranked> ranked;
    for (auto& p : photos) {
        const auto found = details.find(p.path);
        const Detail detail = found == details.end()
                                  ? Detail{p.pixels(), false}
                                  : Detail{std::min(p.pixels(), found->second.pixels), found->second.enlarged};
        ranked.push_back({std::move(p), detail});
    }
    for (auto& r : ranked)
        r.sharingSize = std::ranges::count_if(ranked, [&](const Ranked& o) {
            return o.photo.pixelWidth == r.photo.pixelWidth && o.photo.pixelHeight == r.photo.pixelHeight;
        });
    // Ranks of detail: each opened by the most detailed photo not yet ranked and holding every
    // photo within sameDetail of it, so that no rank depends on the input order.
    std::ranges::stable_sort(ranked, std::greater<>(), [](const Ranked& r) { return r.detail.pixels; });
    double top = 0;
    int rank = -1;
    for (auto& r : ranked) {
        if (rank < 0 || double(r.detail.pixels) * sameDetail < top) {
            top = double(r.detail.pixels);
            ++rank;
        }
        r.rank = rank;
    }
    std::ranges::stable_sort(ranked, [](const Ranked& x, const Ranked& y) {
        const SimilarPhoto &a = x.photo, &b = y.photo;
        if (x.rank != y.rank) return x.rank < y.rank;
        if (x.detail.enlarged != y.detail.enlarged) return y.detail.enlarged;
        if (x.sharingSize != y.sharingSize) return x.sharingSize > y.sharingSize;
        // Pixels that hold nothing more than a smaller photo's are no reason to keep a photo.
        const bool xPadded = x.detail.pixels < a.pixels(), yPadded = y.detail.pixels < b.pixels();
        if (xPadded != yPadded) return yPadded;
        if (a.score != b.score) return a.score > b.score;
        if (a.pixels() != b.pixels()) return a.pixels() > b.pixels();
        if (a.bytes != b.bytes) return a.bytes > b.bytes;
        if (a.date != b.date) return a.date < b.date;
        return a.path < b.path;
    });
    photos.clear();
    for (auto& r : ranked) photos.push_back(std::move(r.photo));
    return photos;
}

} // namespace tidra::SimilarPhotoFinder
