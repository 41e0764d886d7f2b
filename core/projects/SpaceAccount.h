#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <vector>

namespace tidra {

// What a set of owners (numbered by their position in the list given to
// SpaceAccounting::measure) holds, and so what deleting any selection of them gives back.
// A plain value; every question is answered without touching the disk.
struct SpaceAccount {
    using Owners = std::vector<std::int32_t>;

    // By owner number: the plain sum of allocated bytes, shared data included.
    std::vector<std::int64_t> apparent;
    // By owner number: bytes that something outside every owner also holds (a package store,
    // a hard link elsewhere). No deletion of owners frees them.
    std::vector<std::int64_t> sharedOutside;
    // Distinct owner numbers in ascending order → bytes held by exactly that set of owners and
    // nothing outside them. One owner's own data stands under its one-element list. Values
    // are positive; no key is empty.
    std::map<Owners, std::int64_t> combinations;

    // Bytes that deleting exactly `owners` frees: every combination lying wholly inside the
    // set. 0 for the empty set; numbers that are no owner add nothing.
    std::int64_t freed(const std::set<std::int32_t>& owners) const;

    bool operator==(const SpaceAccount&) const = default;
};

} // namespace tidra
