#pragma once

#include "files/CloneID.h"
#include "platform/PathText.h"

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
    // Another name outside the search keeps the data: moving this one frees nothing.
    bool otherLinks = false;

    const std::string& id() const { return path; }
    // The last path component.
    std::string name() const { return std::string(sys::PathText::lastComponent(path)); }
    // The path without its last component; "/" for a file in the root folder.
    std::string folder() const { return std::string(sys::PathText::parentFolder(path)); }

    bool operator==(const DuplicateFile&) const = default;
};

} // namespace tidra
