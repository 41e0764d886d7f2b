#include "projects/SpaceAccount.h"

#include <algorithm>

namespace tidra {

std::int64_t SpaceAccount::freed(const std::set<std::int32_t>& owners) const {
    std::int64_t bytes = 0;
    for (const auto& [holders, size] : combinations) {
        const bool allDeleted = std::all_of(holders.begin(), holders.end(),
                                            [&](std::int32_t owner) { return owners.count(owner) != 0; });
        if (allDeleted) bytes += size;
    }
    return bytes;
}

} // namespace tidra
