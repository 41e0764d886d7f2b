#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// Tells which of a few files have identical content by reading them side by side, so that
// only one file of each identical set is hashed and the others are compared byte for byte:
// half the hashing for a pair, and files that differ stop being read where they differ.
namespace tidra::IdenticalContent {

// The most files read side by side: each needs a read buffer of up to 1 MiB while the call runs.
inline constexpr std::size_t maximumFiles = 8;

struct Match {
    // SHA-256 of the shared content, 64 lower-case hexadecimal digits.
    std::string hash;
    // Indexes into the paths given, ascending.
    std::vector<std::size_t> members;
};

// Called after each round of chunks with the bytes read in it; false stops.
using ChunkRead = std::function<bool(std::int64_t bytes)>;

// The sets of two or more of `paths` (at most maximumFiles) whose whole current contents are
// identical. `length` is the files' listed length: it only sizes the reads, so a file that
// grew since is still read to its end. A file that cannot be opened or read takes part in
// none. Nothing when `chunkRead` stopped the reading.
std::optional<std::vector<Match>> split(const std::vector<std::string>& paths, std::int64_t length,
                                         const ChunkRead& chunkRead);

} // namespace tidra::IdenticalContent
