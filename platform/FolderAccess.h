#pragma once

#include <string>

namespace tidra::sys {

// True when the folder can be opened and its entries read to the end (an empty folder
// counts); false when it is missing, not a folder, or not readable by this process.
bool canList(const std::string& folder);

} // namespace tidra::sys
