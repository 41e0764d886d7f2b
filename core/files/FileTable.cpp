#include "files/FileTable.h"

#include <cstring>

namespace tidra {
namespace {

// Names are at most a few hundred bytes, so a block wastes little at its end.
constexpr std::uint32_t nameOffsetBits = 16;
constexpr std::size_t nameBlockBytes = std::size_t(1) << nameOffsetBits;

} // namespace

void FileTable::add(std::string_view folder, std::string_view name, const sys::FileDetails& facts) {
    static_assert(sizeof(Row) == 32 && sizeof(Details) == 32);
    if (folders_.empty() || folders_.back() != folder) folders_.emplace_back(folder);
    if (nameBlocks_.empty() || nameBlocks_.back().size() + name.size() + 1 > nameBlockBytes)
        nameBlocks_.emplace_back().reserve(nameBlockBytes);
    auto& block = nameBlocks_.back();
    const auto at = std::uint32_t(((nameBlocks_.size() - 1) << nameOffsetBits) | block.size());
    block.append(name).push_back('\0');
    rows_.push_back({std::uint32_t(folders_.size() - 1), at, facts.length, facts.device, facts.inode});
    if (keepsDetails_)
        details_.push_back({facts.allocatedBytes, facts.modifiedNanoseconds, facts.createdNanoseconds, facts.linkCount});
}

sys::FileDetails FileTable::facts(std::size_t index) const {
    const auto& row = rows_[index];
    sys::FileDetails facts{true, row.device, row.inode, 1, row.length};
    if (!keepsDetails_) return facts;
    const auto& details = details_[index];
    facts.allocatedBytes = details.allocatedBytes;
    facts.modifiedNanoseconds = details.modifiedNanoseconds;
    facts.createdNanoseconds = details.createdNanoseconds;
    facts.linkCount = details.linkCount;
    return facts;
}

std::string FileTable::path(std::size_t index) const {
    const auto& row = rows_[index];
    const auto& folder = folders_[row.folder];
    const char* name = nameBlocks_[row.name >> nameOffsetBits].data() + (row.name & (nameBlockBytes - 1));
    std::string result;
    result.reserve(folder.size() + 1 + std::strlen(name));
    return result.append(folder).append(1, '/').append(name);
}

std::size_t FileTable::heldBytes() const {
    std::size_t held = rows_.size() * sizeof(Row) + details_.size() * sizeof(Details) +
                       nameBlocks_.size() * nameBlockBytes;
    for (const auto& folder : folders_) held += sizeof folder + folder.capacity();
    return held;
}

} // namespace tidra
