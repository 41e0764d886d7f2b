#pragma once

#include <string>
#include <string_view>

namespace tidra::FileExtension {

// The text after the last dot of the last path component, lower-cased (ASCII letters only);
// empty when that component has no dot. "a/IMG.JPG" gives "jpg", "a.b/c" gives "".
std::string lowered(std::string_view path);

} // namespace tidra::FileExtension
