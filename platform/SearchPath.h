#pragma once

#include <string>
#include <string_view>
#include <vector>

// Lists of folders programs are looked for in, such as PATH.
namespace tidra::sys::SearchPath {

// The absolute folders of a ":"-separated list, in order. Empty and relative entries, which
// would name the working folder of whoever runs the program, are dropped.
std::vector<std::string> folders(std::string_view list);

// This process's PATH; "/usr/local/bin:/usr/bin:/bin" when it has none.
std::string current();

} // namespace tidra::sys::SearchPath
