#pragma once

#include <cstdint>
#include <string>

namespace tidra::ByteFormat {

// Disk and file sizes in decimal units (1 KB = 1,000 bytes): "0 bytes", "1 byte", "999 bytes",
// "12 KB", "85.4 MB", "31.74 GB". KB carries no decimals, MB one, GB and above two; trailing
// zeros are dropped, halves round away from zero, and a value that rounds up to 1,000 of a unit
// is written in the next unit ("1 MB", never "1,000 KB"). Negative values keep their sign.
std::string string(std::int64_t bytes);

// Memory sizes: the same rule in units of 1,024 ("1 GB" for 1,073,741,824 bytes).
std::string memory(std::int64_t bytes);

} // namespace tidra::ByteFormat
