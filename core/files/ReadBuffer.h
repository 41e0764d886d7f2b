#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>

namespace tidra {

// A read buffer owned by one call and sized to what that call reads, so a search keeps
// nothing allocated once it returns and a small file never costs a whole chunk. Its bytes
// start undefined: pages never read into are never touched.
class ReadBuffer {
public:
    // The largest whole-file read.
    static constexpr std::int64_t chunk = 1'048'576;

    explicit ReadBuffer(std::int64_t size)
        : size_(std::max<std::int64_t>(size, 1)), data_(std::make_unique_for_overwrite<unsigned char[]>(std::size_t(size_))) {}

    // For reading a file of `length` bytes from start to end: one byte more than the length,
    // so the read that fills it short marks the end without another read, capped at a chunk.
    static ReadBuffer forWholeFile(std::int64_t length) { return ReadBuffer(std::min(chunk, std::max<std::int64_t>(length, 0) + 1)); }

    unsigned char* data() const { return data_.get(); }
    std::int64_t size() const { return size_; }

private:
    std::int64_t size_;
    std::unique_ptr<unsigned char[]> data_;
};

} // namespace tidra
