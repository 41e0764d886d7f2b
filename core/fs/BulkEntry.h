#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace tidra {

// One entry of a folder as the bulk walker hands it over. Valid only while the visitor runs:
// the name lives in the walker's read buffer, which the next folder overwrites. A visitor that
// keeps a name copies it (`name()` or `BulkFolder::pathOf`).
//
// Which fields hold data depends on the fields the walk was asked for (BulkWalker::Field);
// a field not asked for may be 0.
struct BulkEntry {
    enum class Kind { file, directory, symlink, other };

    // Regular file, directory, symbolic link; everything else (devices, sockets, FIFOs) is other.
    Kind kind = Kind::other;
    // The name's bytes, NUL-terminated; `nameLength` excludes the NUL.
    const char* namePointer = nullptr;
    std::int64_t nameLength = 0;
    // The file's inode number. With Field::identity it comes from the entry's status;
    // without, from the listing, which is the same number on ordinary local file systems.
    std::uint64_t fileID = 0;
    // The device the entry lives on; 0 unless Field::identity was asked for. Hard-link and
    // clone identity is (device, fileID), never fileID alone.
    std::uint64_t device = 0;
    // Number of hard links; 0 for directories.
    std::int64_t linkCount = 0;
    // Blocks × 512 allocated for the entry's own data; 0 for directories.
    std::int64_t allocatedBytes = 0;
    // Last modification, whole seconds since 1970-01-01 UTC.
    std::int64_t modified = 0;
    // Id of the data a copy-on-write clone shares; 0 here, as the volume reports none.
    std::uint64_t cloneID = 0;

    std::string name() const { return std::string(namePointer, std::size_t(nameLength)); }
    std::string_view nameView() const { return {namePointer, std::size_t(nameLength)}; }
    // Byte comparison without building a string.
    bool isNamed(std::string_view text) const {
        return std::size_t(nameLength) == text.size() && std::memcmp(namePointer, text.data(), text.size()) == 0;
    }
    // The entry shares its data with another file.
    bool isClone() const { return cloneID != 0 && cloneID != fileID; }
};

} // namespace tidra
