#include "files/SimilarPhotoGroup.h"

#include "files/UserFiles.h"
#include "platform/PathText.h"

namespace tidra {

std::string SimilarPhoto::name() const { return std::string(sys::PathText::lastComponent(path)); }

std::string SimilarPhoto::folder() const { return std::string(sys::PathText::parentFolder(path)); }

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
