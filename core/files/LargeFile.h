#pragma once

#include "platform/PathText.h"

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
    // The file has another name, so moving this one frees nothing. Whether every name lies
    // inside the search is not known from one walk of the largest files, so any second link
    // counts: the list keeps one name per file anyway.
    bool otherLinks = false;

    const std::string& id() const { return path; }
    // The last path component.
    std::string name() const { return std::string(sys::PathText::lastComponent(path)); }
    // The path without its last component; "/" for a file in the root folder.
    std::string folder() const { return std::string(sys::PathText::parentFolder(path)); }

    bool operator==(const LargeFile&) const = default;
};

} // namespace tidra
