#include "system/Utf8.h"

#include <gtest/gtest.h>

namespace tidra {
namespace {

#define R "\xEF\xBF\xBD"

TEST(Utf8Test, ReplacesEachMaximalInvalidSubpart) {
    const struct {
        std::string in;
        std::string out;
    } cases[] = {
        {"", ""},
        {"plain ascii\n", "plain ascii\n"},
        {"caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80", "caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80"},
        {std::string("a\0b", 3), std::string("a\0b", 3)},
        {"\xFF", R},
        {"a\x80\x80z", "a" R R "z"},
        {"\xE2\x82", R},               // truncated at the end: one replacement
        {"\xE2\x82z", R "z"},          // truncated in the middle
        {"\xC0\xAF", R R},             // overlong lead bytes are never valid
        {"\xE0\x80\xAF", R R R},       // overlong three-byte form
        {"\xED\xA0\x80", R R R},       // surrogate
        {"\xF4\x90\x80\x80", R R R R}, // above U+10FFFF
        {"\xF0\x9F\x98", R},
        {"\xF0\x9F\x98" "\xC3\xA9", R "\xC3\xA9"},
    };
    for (const auto& c : cases) EXPECT_EQ(Utf8::repaired(c.in), c.out) << testing::PrintToString(c.in);
}

#undef R

} // namespace
} // namespace tidra
