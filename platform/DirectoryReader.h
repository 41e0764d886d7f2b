#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace tidra::sys {

// Lists folders with getdents64 into 64 KiB buffers that are kept and reused from folder to
// folder, so a long walk allocates only when a folder is larger than every one before it.
// One reader serves one thread; names point into its buffers and stay valid until the next
// `open` (or the reader's end). Not copyable.
class DirectoryReader {
public:
    static constexpr std::size_t bufferSize = 64 * 1024;

    // What the listing tells of an entry's kind; `unknown` where the file system does not
    // fill d_type, so the caller has to stat the entry.
    enum class Type : unsigned char { unknown, regular, directory, symlink, other };

    struct Entry {
        // NUL-terminated, inside the reader's buffers.
        const char* name;
        std::size_t nameLength;
        // The listing's inode number (d_ino).
        std::uint64_t inode;
        Type type;
    };

    enum class Result {
        // Every entry was listed.
        complete,
        // The very first read failed: nothing is known of the folder.
        unreadable,
        // A later read failed: the listing is incomplete and must not be trusted.
        broken,
    };

    DirectoryReader() = default;
    ~DirectoryReader();
    DirectoryReader(const DirectoryReader&) = delete;
    DirectoryReader& operator=(const DirectoryReader&) = delete;

    // Opens `path` as the folder to list: read-only, as a directory, never through a symbolic
    // link, closed on exec. Closes the folder opened before. False when it cannot be opened.
    bool open(const std::string& path);
    // The open folder's descriptor, owned by the reader; -1 when none is open.
    int descriptor() const { return descriptor_; }
    void close();

    // Lists the folder just opened; "." and ".." are dropped. On `complete` the
    // entries are in the order the file system returned them.
    Result list();
    const std::vector<Entry>& entries() const { return entries_; }

private:
    char* buffer(std::size_t index);
    void collect(const char* data, std::size_t length);

    int descriptor_ = -1;
    std::vector<std::unique_ptr<char[]>> buffers_;
    std::vector<Entry> entries_;
};

} // namespace tidra::sys
