#pragma once

#include "files/CloneID.h"

#include <chrono>
#include <cstdint>
#include <string>

namespace tidra {

// One file of a set of identical files.
struct DuplicateFile {
    std::string path;
    // Space allocated on disk.
    std::int64_t bytes = 0;
    std::chrono::system_clock::time_point modified;
    std::chrono::system_clock::time_point created;
    CloneID cloneID;

    const std::string& id() const { return path; }
    // The last path component.
    std::string name() const {
        const auto slash = path.rfind('/');
        return slash == std::string::npos ? path : path.substr(slash + 1);
    }
    // The path without its last component; "/" for a file in the root folder.
    std::string folder() const {
        const auto slash = path.rfind('/');
        if (slash == std::string::npos) return {};
        return slash == 0 ? "/" : path.substr(0, slash);
    }

    bool operator==(const DuplicateFile&) const = default;
};

} // namespace tidra
