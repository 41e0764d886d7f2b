#pragma once

#include "files/CloneID.h"
#include "files/PhotoProperties.h"
#include "files/PhotoThumbnail.h"
#include "files/SimilarPhotoGroup.h"
#include "files/UserFiles.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace tidra::SimilarPhotoFinder {

using Date = std::chrono::system_clock::time_point;

// One listed file; the search uses its path, allocated bytes, clone id and modification time.
using File = UserFiles::File;

// The feature print of one candidate photo. Vectors of one build all have the same length;
// see FeatureVector.h for what their distances mean.
struct Print {
    File file;
    std::vector<float> vector;
    int width = 0;
    int height = 0;
    // Capture date from EXIF, else the file's modification time.
    Date date;
};

// The quality judgement of one photo: `score` in -1...1, higher is better; `isUtility` marks
// a picture of text or a chart rather than a photo worth keeping.
struct Rating {
    float score = 0;
    bool isUtility = false;
};

// Progress of one search: file entries seen while listing, files read so far out of all
// listed ones, then one report when clustering, rating and ordering begin.
struct Stage {
    struct Looking {
        std::int64_t files;
        bool operator==(const Looking&) const = default;
    };
    struct Reading {
        int done;
        int of;
        bool operator==(const Reading&) const = default;
    };
    struct Grouping {
        bool operator==(const Grouping&) const = default;
    };
    std::variant<Looking, Reading, Grouping> value;
    bool operator==(const Stage&) const = default;
};

// The largest Euclidean distance between two prints that still counts as similar.
inline constexpr float threshold = 0.35f;
// Files smaller than this (allocated bytes, decimal) are not worth comparing.
inline constexpr std::int64_t minimumBytes = 100'000;
// A photo whose width or height is below this is no candidate.
inline constexpr int shortestSide = 400;
// The longest time from a cluster's first photo to any photo that joins it.
inline constexpr std::chrono::seconds dateWindow{604'800};

// --- candidates ---

// The name filter handed to the lister: true when the text after the last dot, lower-cased,
// is one of the photo extensions (IMG_1.JPG passes; archive.jpg.zip and README do not).
bool isPhotoName(std::string_view name);
// False when the user comment mentions a screenshot (any case); otherwise true when any of
// make, model, exposure time or f-number is present.
bool isCameraPhoto(const PhotoProperties& properties);
// Reads "yyyy:MM:dd HH:mm:ss" as local wall-clock time; nothing for any other text or an
// impossible date (the "0000:00:00 00:00:00" some cameras write).
std::optional<Date> cameraDate(std::string_view text);

// --- prints, ratings, clustering ---

// Nothing when the file is no candidate (unreadable, no camera photo, a side below 400
// pixels, no thumbnail). Safe to call from many threads at once.
std::optional<Print> print(const File& file);
// The judgement of a decoded thumbnail: sharpness (variance of the Laplacian in the median
// tile, so a caption over a corner does not count), too little contrast (more than usual earns
// nothing: it is an edit) and clipped shadows or highlights. Utility only for mostly flat pictures of very few colours
// with crisp marks, such as a photographed page; a blank picture is no utility picture.
Rating rating(const Thumbnail& thumbnail);
// Clusters of two or more prints, oldest representative first. `prints` must be sorted by
// date, then path. A print joins the nearest cluster whose first print lies within the week
// before it and within `threshold` of it (ties to the older cluster); vectors of different
// lengths never compare.
std::vector<std::vector<Print>> group(const std::vector<Print>& prints, float threshold);

// --- search ---

using Progress = std::function<void(const Stage&)>;
using Cancelled = std::function<bool()>;

// The similar photos under `roots`: lists the files UserFiles::list gives for the photo
// extensions and at least `minimumBytes` allocated (each hard-linked file once), reporting
// Looking as the lister counts file entries, then runs findAmong over them. Cancelled while
// listing, the search returns no groups.
std::vector<SimilarPhotoGroup> find(const std::vector<std::string>& roots, float threshold,
                                    const Progress& progress, const Cancelled& isCancelled,
                                    const CloneKeyProvider& cloneKeys = sharedDataKey);
// Reads the listed files in parallel, clusters their prints, rates the clustered photos and
// returns the groups, best photo first, the groups that free most first. Photos of a group
// carry their own identity as clone id unless `cloneKeys` (asked only for grouped photos)
// names shared copy-on-write data. `progress` and `isCancelled` are called from worker
// threads too and must be safe for that; empty ones report nothing and never cancel.
// Cancelled before grouping, the search returns no groups.
std::vector<SimilarPhotoGroup> findAmong(const std::vector<File>& files, float threshold,
                                         const Progress& progress, const Cancelled& isCancelled,
                                         const CloneKeyProvider& cloneKeys = sharedDataKey);
// What the search learnt of a photo's detail beyond its size: the pixels its detail counts as
// (those of a smaller photo of its group when its own extra pixels were not shown to hold
// detail) and whether it was found to hold no detail beyond a smaller photo of its group, as
// an enlargement of it would.
struct Detail {
    std::int64_t pixels = 0;
    bool enlarged = false;
};

// Photos whose detail differs by less than this factor (in pixels; about 5 % across) count as
// equally detailed: a few percent of size decide nothing.
inline constexpr double sameDetail = 1.1;

// Best first: more detail first, where detail is a photo's pixels unless `details` names fewer
// and photos within `sameDetail` of the most detailed photo of their rank share it; among
// equals, photos found enlarged after the others, then the photo whose size (width and height)
// more photos of the group share (the copies of a shot mostly keep its size, so where detail
// cannot tell, the group's agreement does), then photos whose detail counts as all their
// pixels before those whose extra pixels hold nothing, then higher score, more pixels, more
// bytes, older date, path in code-point order.
std::vector<SimilarPhoto> bestFirst(std::vector<SimilarPhoto> photos,
                                    const std::map<std::string, Detail>& details = {});

} // namespace tidra::SimilarPhotoFinder
