#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace tidra::sys {

// The raw block counts of the file system holding a path, as statvfs reports them.
struct VolumeFigures {
    std::uint64_t blocks = 0;
    // Blocks not in use, the root reserve included.
    std::uint64_t blocksFree = 0;
    // Blocks an unprivileged user may still fill (the root reserve left out).
    std::uint64_t blocksAvailable = 0;
    // The unit of both counts.
    std::uint64_t fragmentSize = 0;
};

// Nothing when the path cannot be reached.
std::optional<VolumeFigures> volumeFigures(const std::string& path);

} // namespace tidra::sys
