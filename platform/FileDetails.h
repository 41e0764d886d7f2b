#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace tidra::sys {

// The full status of one file, read without following a symbolic link, for callers that need
// its length and exact times besides what FileStatus gives.
struct FileDetails {
    bool isRegular = false;
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t linkCount = 0;
    // Logical length in bytes.
    std::int64_t length = 0;
    // Blocks × 512.
    std::int64_t allocatedBytes = 0;
    // Nanoseconds since 1970-01-01 UTC.
    std::int64_t modifiedNanoseconds = 0;
    // The birth time where the file system records one, else the modification time.
    std::int64_t createdNanoseconds = 0;

    // Nothing when `path` cannot be read.
    static std::optional<FileDetails> of(const std::string& path);
    // The entry `name` of the open folder `folder`; nothing when it cannot be read.
    static std::optional<FileDetails> at(int folder, const char* name);
};

} // namespace tidra::sys
