#pragma once

#include <string>
#include <string_view>

namespace tidra::Utf8 {

// `bytes` as valid UTF-8: every ill-formed sequence becomes U+FFFD, one per maximal invalid
// subpart (the Unicode recommended practice), so "\xE2\x82" gives one replacement character,
// not two. Valid input comes back unchanged.
std::string repaired(std::string_view bytes);

} // namespace tidra::Utf8
