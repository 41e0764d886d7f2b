#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tidra::test {

// Small looks at the disk for expectations. None follows a final link.
bool exists(const std::string& path);
bool isLink(const std::string& path);
// Bytes the entry takes on disk (its blocks); a failed expectation and 0 when it cannot be read.
std::int64_t allocated(const std::string& path);
// The whole content of a file, empty when unreadable.
std::string readFile(const std::string& path);
// Entry names of a folder without "." and "..", sorted; empty when unreadable.
std::vector<std::string> names(const std::string& folder);

} // namespace tidra::test
