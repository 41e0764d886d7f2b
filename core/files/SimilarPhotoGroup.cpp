#include "files/SimilarPhotoGroup.h"

#include <unordered_set>

namespace tidra {

std::string SimilarPhoto::name() const {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string SimilarPhoto::folder() const {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::string SimilarPhotoGroup::id() const {
    return photos.empty() ? std::string() : photos.front().path;
}

std::int64_t SimilarPhotoGroup::freed(const std::set<std::string>& removing) const {
    // Data blocks a kept photo still uses are not freed, and shared blocks count once.
    std::unordered_set<std::uint64_t> held;
    for (const auto& photo : photos)
        if (!removing.contains(photo.path)) held.insert(photo.cloneID);
    std::unordered_set<std::uint64_t> counted;
    std::int64_t total = 0;
    for (const auto& photo : photos) {
        if (!removing.contains(photo.path) || held.contains(photo.cloneID)) continue;
        if (counted.insert(photo.cloneID).second) total += photo.bytes;
    }
    return total;
}

std::int64_t SimilarPhotoGroup::reclaimable() const {
    std::set<std::string> others;
    for (std::size_t i = 1; i < photos.size(); ++i) others.insert(photos[i].path);
    return freed(others);
}

} // namespace tidra
