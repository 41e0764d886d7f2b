#include "files/DuplicateGroup.h"

#include "files/UserFiles.h"

namespace tidra {

std::int64_t DuplicateGroup::reclaimable() const {
    if (files.size() < 2) return 0;
    std::set<std::string> allButFirst;
    for (auto file = files.begin() + 1; file != files.end(); ++file) allButFirst.insert(file->path);
    return freed(allButFirst);
}

std::int64_t DuplicateGroup::freed(const std::set<std::string>& paths) const {
    std::vector<UserFiles::Entry> entries;
    entries.reserve(files.size());
    for (const auto& file : files) entries.push_back({file.path, file.otherLinks ? 0 : file.bytes, file.cloneID});
    return UserFiles::freed(entries, paths);
}

} // namespace tidra
