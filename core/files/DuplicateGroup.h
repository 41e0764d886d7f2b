#pragma once

#include "files/DuplicateFile.h"

#include <cstdint>
#include <set>
#include <string>
#include <vector>

namespace tidra {

// A set of byte-identical files, the one to keep first.
struct DuplicateGroup {
    // SHA-256 of the shared content: 64 lower-case hexadecimal digits.
    std::string hash;
    // Logical length of each file. Not a measure of space: sparse files and clones of one
    // another give back less than their length.
    std::int64_t size = 0;
    // Two or more when made by the finder.
    std::vector<DuplicateFile> files;

    const std::string& id() const { return hash; }
    // What keeping only the first file gives back; 0 with fewer than two files.
    std::int64_t reclaimable() const;
    // What deleting the files at `paths` gives back while the others stay, clone-aware (see
    // UserFiles::freed). Paths that are not in the group have no effect.
    std::int64_t freed(const std::set<std::string>& paths) const;

    bool operator==(const DuplicateGroup&) const = default;
};

} // namespace tidra
