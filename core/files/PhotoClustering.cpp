#include "files/SimilarPhotoFinder.h"

#include <limits>

namespace tidra::SimilarPhotoFinder {
namespace {

float squaredDistance(const std::vector<float>& a, const std::vector<float>& b) {
    float sum = 0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const float d = a[i] - b[i];
        sum += d * d;
    }
    return sum;
}

} // namespace

std::vector<std::vector<Print>> group(const std::vector<Print>& prints, float threshold) {
    const float limit = threshold * threshold;
    std::vector<std::vector<Print>> clusters;
    // Clusters before this index began more than a week before the current print; the input
    // is sorted by date, so they can take no later print either.
    std::size_t windowStart = 0;
    for (const auto& print : prints) {
        while (windowStart < clusters.size() && print.date - clusters[windowStart].front().date > dateWindow)
            ++windowStart;
        std::size_t best = clusters.size();
        float bestDistance = std::numeric_limits<float>::infinity();
        for (std::size_t i = windowStart; i < clusters.size(); ++i) {
            const auto& representative = clusters[i].front().vector;
            if (representative.size() != print.vector.size()) continue;
            const float distance = squaredDistance(representative, print.vector);
            // Strictly nearer only: on a tie the older cluster keeps the print.
            if (distance <= limit && distance < bestDistance) {
                best = i;
                bestDistance = distance;
            }
        }
        if (best < clusters.size()) clusters[best].push_back(print);
        else clusters.push_back({print});
    }
    std::erase_if(clusters, [](const auto& cluster) { return cluster.size() < 2; });
    return clusters;
}

} // namespace tidra::SimilarPhotoFinder
