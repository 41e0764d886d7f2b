#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace tidra::sys {

// One regular file opened for reading by position. Closes the file when it goes; a failure
// to close is ignored. Not copyable.
class FileReader {
public:
    FileReader() = default;
    ~FileReader();
    FileReader(const FileReader&) = delete;
    FileReader& operator=(const FileReader&) = delete;

    // Opens `path` read-only, never through a symbolic link, closed on exec. `sequential`
    // asks the kernel for generous read-ahead, for a file read from start to end.
    // False when it cannot be opened or is not a regular file. Call once per reader.
    bool open(const std::string& path, bool sequential);

    // Reads up to `size` bytes at `offset`, retrying interrupted and short reads until the
    // request is filled or the file ends. The number of bytes read (0 at the end), or -1 on
    // a read error.
    std::int64_t read(std::int64_t offset, unsigned char* buffer, std::size_t size);

private:
    int descriptor_ = -1;
};

} // namespace tidra::sys
