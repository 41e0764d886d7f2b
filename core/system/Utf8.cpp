#include "system/Utf8.h"

namespace tidra::Utf8 {
namespace {

constexpr std::string_view replacement = "\xEF\xBF\xBD";

struct Lead {
    int length;                   // bytes in the whole sequence; 0 for an invalid lead byte
    unsigned char secondLow = 0x80; // the second byte's range is narrower after some leads
    unsigned char secondHigh = 0xBF;
};

Lead classify(unsigned char b) {
    if (b < 0x80) return {1};
    if (b >= 0xC2 && b <= 0xDF) return {2};
    if (b == 0xE0) return {3, 0xA0, 0xBF};
    if (b == 0xED) return {3, 0x80, 0x9F};  // no surrogates
    if (b >= 0xE1 && b <= 0xEF) return {3};
    if (b == 0xF0) return {4, 0x90, 0xBF};  // no overlong forms
    if (b == 0xF4) return {4, 0x80, 0x8F};  // nothing above U+10FFFF
    if (b >= 0xF1 && b <= 0xF3) return {4};
    return {0};
}

// Length of the valid prefix of the sequence starting at `at` (at least 1 byte is consumed).
std::size_t validPrefix(std::string_view bytes, std::size_t at, const Lead& lead) {
    std::size_t n = 1;
    for (; n < std::size_t(lead.length) && at + n < bytes.size(); ++n) {
        const auto c = static_cast<unsigned char>(bytes[at + n]);
        const auto low = n == 1 ? lead.secondLow : 0x80;
        const auto high = n == 1 ? lead.secondHigh : 0xBF;
        if (c < low || c > high) break;
    }
    return n;
}

} // namespace

std::string repaired(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (std::size_t at = 0; at < bytes.size();) {
        const Lead lead = classify(static_cast<unsigned char>(bytes[at]));
        const std::size_t n = lead.length == 0 ? 1 : validPrefix(bytes, at, lead);
        if (n == std::size_t(lead.length))
            out.append(bytes.substr(at, n));
        else
            out.append(replacement);
        at += n;
    }
    return out;
}

} // namespace tidra::Utf8
