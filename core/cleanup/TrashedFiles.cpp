#include "cleanup/TrashedFiles.h"

#include "platform/FileStatus.h"

namespace tidra::TrashedFiles {

std::optional<TrashedFile> of(const std::string& path) {
    const auto status = sys::FileStatus::of(path);
    if (!status) return std::nullopt;
    return TrashedFile{status->device, status->inode};
}

std::set<TrashedFile> movedBy(const std::vector<CleanupRecord>& records) {
    std::set<TrashedFile> moved;
    for (const auto& record : records) moved.insert(record.trashedFiles.begin(), record.trashedFiles.end());
    return moved;
}

std::vector<std::string> ownNames(const std::string& folder, const std::vector<std::string>& names,
                                  const std::set<TrashedFile>& moved) {
    std::vector<std::string> own;
    if (moved.empty()) return own;
    for (const auto& name : names) {
        const auto identity = of(folder + "/" + name);
        if (identity && moved.contains(*identity)) own.push_back(name);
    }
    return own;
}

} // namespace tidra::TrashedFiles
