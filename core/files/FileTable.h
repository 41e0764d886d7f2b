#pragma once

#include "platform/FileDetails.h"

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

namespace tidra {

// The files of one listing, held compactly for searches over a whole home: each folder's path
// is stored once, each file keeps its name in a shared pool and its facts in fixed-size rows,
// and nothing is moved as the table grows, so a listing never needs twice its size. A search
// that looks again at the few files it keeps can leave out their details (space and times):
// a file then costs 32 bytes besides its name, 64 with them.
class FileTable {
public:
    explicit FileTable(bool keepsDetails = true) : keepsDetails_(keepsDetails) {}

    // Appends a file named `name` in `folder` (a path without the trailing "/"). Files of one
    // folder are best added one after another: the folder is stored again whenever it changes.
    void add(std::string_view folder, std::string_view name, const sys::FileDetails& facts);

    std::size_t size() const { return rows_.size(); }
    std::int64_t length(std::size_t index) const { return rows_[index].length; }
    // The facts as added; without details, allocatedBytes and the times are 0 and linkCount 1.
    sys::FileDetails facts(std::size_t index) const;
    // The folder, "/", the name: the path as it was added.
    std::string path(std::size_t index) const;
    // Bytes held by the rows, the name blocks and the folder paths.
    std::size_t heldBytes() const;

private:
    struct Row {
        std::uint32_t folder;
        // Where the name starts: block (high bits) and offset in it (low bits).
        std::uint32_t name;
        std::int64_t length;
        std::uint64_t device;
        std::uint64_t inode;
    };
    struct Details {
        std::int64_t allocatedBytes;
        std::int64_t modifiedNanoseconds;
        std::int64_t createdNanoseconds;
        std::int64_t linkCount;
    };

    bool keepsDetails_;
    std::vector<std::string> folders_;
    // Names, each ended by a NUL, in blocks that are filled, never grown.
    std::vector<std::string> nameBlocks_;
    std::deque<Row> rows_;
    std::deque<Details> details_;
};

} // namespace tidra
