#include "fs/BulkFolder.h"

namespace tidra {

std::string BulkFolder::childPath(std::string_view folder, const BulkEntry& entry) {
    std::string result;
    result.reserve(folder.size() + 1 + std::size_t(entry.nameLength));
    result.append(folder).append(1, '/').append(entry.nameView());
    return result;
}

bool BulkFolder::contains(std::string_view name) const {
    for (const auto& entry : entries)
        if (entry.isNamed(name)) return true;
    return false;
}

} // namespace tidra
