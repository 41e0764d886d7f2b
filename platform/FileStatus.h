#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace tidra::sys {

// What the engine needs of one file's status, read without following a symbolic link and
// without triggering an automount.
struct FileStatus {
    enum class Type { regular, directory, symlink, other };

    Type type = Type::other;
    // Identity on this machine is (device, inode), never the inode alone.
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t linkCount = 0;
    // Blocks × 512: space really taken on disk, not the apparent length.
    std::int64_t allocatedBytes = 0;
    // Whole seconds since 1970-01-01 UTC.
    std::int64_t modified = 0;

    // The status of `path` itself (a symbolic link is described, not followed).
    // Nothing when it cannot be read.
    static std::optional<FileStatus> of(const std::string& path);

    // The status of the entry `name` of the open folder `folder`. On failure answers nothing
    // and leaves the errno value in `error` (EACCES when the folder may not be searched,
    // ENOENT when the entry vanished since it was listed).
    static std::optional<FileStatus> at(int folder, const char* name, int& error);

    // The device of an open descriptor; nothing when it cannot be read.
    static std::optional<std::uint64_t> deviceOf(int descriptor);
};

} // namespace tidra::sys
