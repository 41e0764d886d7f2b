#pragma once

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
    // What the listing knows of one file besides its path.
    struct Facts {
        std::int64_t length = 0;
        std::uint64_t device = 0;
        std::uint64_t inode = 0;
        // Details: 0 (links 1) in a table that leaves them out.
        // Space allocated on disk.
        std::int64_t bytes = 0;
        // Nanoseconds since 1970-01-01 UTC.
        std::int64_t modified = 0;
        std::int64_t created = 0;
        std::int64_t links = 1;
    };

    explicit FileTable(bool keepsDetails = true) : keepsDetails_(keepsDetails) {}

    // Appends a file named `name` in `folder` (a path without the trailing "/"). Files of one
    // folder are best added one after another: the folder is stored again whenever it changes.
    void add(std::string_view folder, std::string_view name, const Facts& facts);

    std::size_t size() const { return rows_.size(); }
    std::int64_t length(std::size_t index) const { return rows_[index].length; }
    Facts facts(std::size_t index) const;
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
        std::int64_t bytes;
        std::int64_t modified;
        std::int64_t created;
        std::int64_t links;
    };

    bool keepsDetails_;
    std::vector<std::string> folders_;
    // Names, each ended by a NUL, in blocks that are filled, never grown.
    std::vector<std::string> nameBlocks_;
    std::deque<Row> rows_;
    std::deque<Details> details_;
};

} // namespace tidra
