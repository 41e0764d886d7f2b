#pragma once

#include <cstdint>

namespace tidra {

// Size and free space of one volume, in bytes.
struct DiskUsage {
    std::int64_t total = 0;
    // What the user may still write (space reserved for root left out).
    std::int64_t available = 0;
    // Free space the user may not write: the file system's reserve for root (5 % on ext4). It
    // is not in use, so `used` leaves it out and agrees with df.
    std::int64_t reserved = 0;

    std::int64_t used() const { return total - available - reserved; }
    // 0 for a volume without size, else used ÷ total.
    double usedFraction() const { return total < 1 ? 0.0 : double(used()) / double(total); }

    bool operator==(const DiskUsage&) const = default;
};

} // namespace tidra
