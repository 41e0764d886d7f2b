#pragma once

#include <chrono>
#include <cstdint>
#include <string>

namespace tidra {

// One file the large-file search found.
struct LargeFile {
    // The root as given, then "/" and each name.
    std::string path;
    // Space allocated on disk, not the logical length.
    std::int64_t bytes = 0;
    // Last modification, to the whole second.
    std::chrono::system_clock::time_point modified;

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

    bool operator==(const LargeFile&) const = default;
};

} // namespace tidra
