#include "files/SimilarPhotoGroup.h"

#include "files/UserFiles.h"

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
    std::vector<UserFiles::Entry> entries;
    entries.reserve(photos.size());
    for (const auto& photo : photos) entries.push_back({photo.path, photo.bytes, photo.cloneID});
    return UserFiles::freed(entries, removing);
}

std::int64_t SimilarPhotoGroup::reclaimable() const {
    std::set<std::string> others;
    for (std::size_t i = 1; i < photos.size(); ++i) others.insert(photos[i].path);
    return freed(others);
}

} // namespace tidra
