// Scores the similar-photo search on a labelled corpus, and findimagedupes' answer on the same
// files, against the labels: precision and recall overall and, for each kind of copy, the
// recall of the pairs of the shot and that copy. Also prints how the feature distances of
// near-duplicate and of different photos fall around the threshold, which is what the vector
// scale is calibrated on. Run through bench/similar_photos.sh, which builds the corpus and
// times both.
//
//   similar_photos_bench <corpus-folder> <findimagedupes-output>
//   similar_photos_bench --once <corpus-folder>       one search, for the timing
//   similar_photos_bench --keeper <corpus-folder>     precision, recall and which photo of
//                                                     each set comes first (bench/photo_keeper.sh)
//   similar_photos_bench --memory <corpus-folder>     resident set before a search, at its
//                                                     peak and once it has returned
//
// Corpus files are named g<label>_0.jpg (the shot) and g<label>_<n>-<kind>.jpg (its copies);
// files of one label are near-duplicates.
#include "files/FeatureVector.h"
#include "files/SimilarPhotoFinder.h"

#include <tbb/parallel_for_each.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <mutex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

using namespace tidra;
namespace Finder = SimilarPhotoFinder;
using Pair = std::pair<std::string, std::string>;

namespace {

std::string label(const std::string& path) {
    const auto name = path.substr(path.rfind('/') + 1);
    return name.substr(0, name.find('_'));
}

// The corpus photos as the search lists them, in path order.
std::vector<Finder::File> listCorpus(const std::string& folder) {
    auto files = UserFiles::list({folder}, Finder::minimumBytes, Finder::isPhotoName);
    std::ranges::sort(files, {}, &Finder::File::path);
    return files;
}

void addPairs(std::vector<std::string> members, std::set<Pair>& pairs) {
    std::ranges::sort(members);
    for (std::size_t i = 0; i < members.size(); ++i)
        for (std::size_t j = i + 1; j < members.size(); ++j) pairs.insert({members[i], members[j]});
}

std::set<Pair> truePairs(const std::vector<Finder::File>& files) {
    std::set<Pair> pairs;
    for (std::size_t i = 0; i < files.size(); ++i)
        for (std::size_t j = i + 1; j < files.size(); ++j)
            if (label(files[i].path) == label(files[j].path)) pairs.insert({files[i].path, files[j].path});
    return pairs;
}

// Their groups among the photos we list too: both are scored on the same files.
std::set<Pair> theirPairs(const std::string& output, const std::vector<Finder::File>& files) {
    std::set<std::string> listed;
    for (const auto& file : files) listed.insert(file.path);
    std::set<Pair> pairs;
    std::ifstream in(output);
    for (std::string line; std::getline(in, line);) {
        std::istringstream words(line);
        std::vector<std::string> members;
        for (std::string word; words >> word;)
            if (listed.contains(word)) members.push_back(word);
        addPairs(members, pairs);
    }
    return pairs;
}

// "shot" for g<label>_0.jpg, else the kind of copy named after the "-".
std::string kind(const std::string& path) {
    const auto name = path.substr(path.rfind('/') + 1);
    const auto dash = name.find('-');
    return dash == std::string::npos ? "shot" : name.substr(dash + 1, name.rfind('.') - dash - 1);
}

// The kind of copy a true pair tests: the copy's, when the other is the shot.
std::string pairKind(const Pair& pair) {
    const auto a = kind(pair.first), b = kind(pair.second);
    return a == "shot" ? b : b == "shot" ? a : "copy and copy";
}

void score(const char* who, const std::set<Pair>& found, const std::set<Pair>& truth) {
    const auto hits = std::ranges::count_if(found, [&](const Pair& p) { return truth.contains(p); });
    const double precision = found.empty() ? 1.0 : double(hits) / double(found.size());
    const double recall = truth.empty() ? 1.0 : double(hits) / double(truth.size());
    std::printf("%-16s pairs %5zu   precision %.3f   recall %.3f   recall by copy:", who, found.size(), precision,
                recall);
    std::map<std::string, std::pair<int, int>> byKind;  // found, of
    for (const auto& pair : truth) {
        auto& [hit, of] = byKind[pairKind(pair)];
        hit += found.contains(pair);
        ++of;
    }
    for (const auto& [name, counts] : byKind)
        std::printf(" %s %.2f", name.c_str(), double(counts.first) / double(counts.second));
    std::printf("\n");
}

double quantile(std::vector<float> values, double q) {
    if (values.empty()) return 0;
    std::ranges::sort(values);
    return values[std::min(values.size() - 1, std::size_t(q * double(values.size())))];
}

// Distances of every pair of prints, unscaled, split into near-duplicate and different pairs.
void calibrate(const std::vector<Finder::File>& files) {
    std::vector<Finder::Print> prints;
    std::mutex mutex;
    tbb::parallel_for_each(files, [&](const Finder::File& file) {
        if (auto p = Finder::print(file)) {
            std::lock_guard lock(mutex);
            prints.push_back(std::move(*p));
        }
    });
    std::vector<float> same, different;
    for (std::size_t i = 0; i < prints.size(); ++i)
        for (std::size_t j = i + 1; j < prints.size(); ++j) {
            float sum = 0;
            for (std::size_t k = 0; k < prints[i].vector.size(); ++k) {
                const float d = prints[i].vector[k] - prints[j].vector[k];
                sum += d * d;
            }
            const float unit = std::sqrt(sum) / FeatureVector::scale;
            (label(prints[i].file.path) == label(prints[j].file.path) ? same : different).push_back(unit);
        }
    const float limit = Finder::threshold / FeatureVector::scale;
    const auto share = [&](const std::vector<float>& v) {
        return v.empty() ? 0.0 : double(std::ranges::count_if(v, [&](float d) { return d <= limit; })) / double(v.size());
    };
    std::printf("calibration: %zu prints of %zu photos, scale %.3f\n", prints.size(), files.size(),
                double(FeatureVector::scale));
    std::printf("  near-duplicate pairs within %.2f: %.1f %% (goal at least 95 %%) of %zu\n",
                double(Finder::threshold), 100 * share(same), same.size());
    std::printf("  different pairs within %.2f:      %.2f %% (goal at most 1 %%) of %zu\n",
                double(Finder::threshold), 100 * share(different), different.size());
    const double p95 = quantile(same, 0.95), p01 = quantile(different, 0.01);
    std::printf("  unscaled: 95th percentile near-duplicate %.3f, 1st percentile different %.3f\n", p95, p01);
    if (p95 < p01)
        std::printf("  scales meeting both goals: %.3f ... %.3f (geometric middle %.3f)\n", Finder::threshold / p01,
                    Finder::threshold / p95, Finder::threshold / std::sqrt(p95 * p01));
}

std::set<Pair> foundPairs(const std::vector<SimilarPhotoGroup>& groups) {
    std::set<Pair> found;
    for (const auto& g : groups) {
        std::vector<std::string> members;
        for (const auto& photo : g.photos) members.push_back(photo.path);
        addPairs(members, found);
    }
    return found;
}

// How often the untouched shot comes first in a group that holds it, which copy comes first
// otherwise, and for each kind of copy how often the shot ranks before it.
void keeper(const std::vector<SimilarPhotoGroup>& groups) {
    int withShot = 0, shotFirst = 0;
    std::map<std::string, int> winners;
    std::map<std::string, std::pair<int, int>> beaten;  // shot before the copy, of
    for (const auto& g : groups) {
        const auto shot = std::ranges::find_if(g.photos, [](const SimilarPhoto& p) { return kind(p.path) == "shot"; });
        if (shot == g.photos.end()) continue;
        ++withShot;
        if (shot == g.photos.begin()) ++shotFirst;
        else ++winners[kind(g.photos.front().path)];
        for (auto it = g.photos.begin(); it != g.photos.end(); ++it) {
            if (it == shot || label(it->path) != label(shot->path)) continue;
            auto& [before, of] = beaten[kind(it->path)];
            before += shot < it;
            ++of;
        }
    }
    std::printf("shot first in %d of %d groups that hold it (%.1f %%)\n", shotFirst, withShot,
                withShot ? 100.0 * shotFirst / withShot : 0.0);
    std::printf("first instead:");
    for (const auto& [name, count] : winners) std::printf(" %s %d", name.c_str(), count);
    std::printf("\nshot before the copy:");
    for (const auto& [name, counts] : beaten) std::printf(" %s %d/%d", name.c_str(), counts.first, counts.second);
    std::printf("\n");
}

// A figure of /proc/self/status in MB ("VmRSS:" now, "VmHWM:" at the peak).
double residentMB(const std::string& field) {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.starts_with(field)) return std::stod(line.substr(field.size())) / 1024.0;
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--once") {
        Finder::find({argv[2]}, Finder::threshold, nullptr, nullptr);
        return 0;
    }
    if (argc == 3 && std::string(argv[1]) == "--memory") {
        std::printf("before the search: resident %.1f MB\n", residentMB("VmRSS:"));
        const auto groups = Finder::find({argv[2]}, Finder::threshold, nullptr, nullptr);
        std::printf("after it returned: resident %.1f MB (peak %.1f MB, %zu groups held)\n", residentMB("VmRSS:"),
                    residentMB("VmHWM:"), groups.size());
        return 0;
    }
    if (argc == 3 && std::string(argv[1]) == "--keeper") {
        const auto files = listCorpus(argv[2]);
        const auto groups = Finder::find({argv[2]}, Finder::threshold, nullptr, nullptr);
        const auto truth = truePairs(files);
        std::printf("similar photos: %zu photos, %zu labelled near-duplicate pairs\n", files.size(), truth.size());
        score("tidra", foundPairs(groups), truth);
        keeper(groups);
        return 0;
    }
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <corpus-folder> <findimagedupes-output>\n", argv[0]);
        return 2;
    }
    const auto files = listCorpus(argv[1]);
    if (files.size() < 2) {
        std::fprintf(stderr, "no corpus photos in %s\n", argv[1]);
        return 1;
    }
    const auto groups = Finder::find({argv[1]}, Finder::threshold, nullptr, nullptr);
    const auto found = foundPairs(groups);
    const auto truth = truePairs(files);
    std::printf("similar photos: %zu photos, %zu labelled near-duplicate pairs\n", files.size(), truth.size());
    score("tidra", found, truth);
    score("findimagedupes", theirPairs(argv[2], files), truth);
    calibrate(files);
    return 0;
}
