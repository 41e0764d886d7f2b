#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The Unicode views of a path that file orders compare.
namespace tidra::UnicodeText {

// `text` in canonical composition (NFC). Byte order of the result is code-point order.
// Text that is not valid UTF-8 comes back unchanged, so distinct paths stay distinct.
std::string composed(std::string_view text);

// The number of user-perceived characters (extended grapheme clusters). Every byte of an
// ill-formed sequence counts as one character.
std::int64_t characterCount(std::string_view text);

} // namespace tidra::UnicodeText
