#include "cleanup/SizeText.h"

#include <charconv>
#include <cmath>

namespace tidra::SizeText {

std::optional<Number> leadingNumber(std::string_view text) {
    std::size_t length = 0;
    const auto isNumberCharacter = [](char c) { return (c >= '0' && c <= '9') || c == '.'; };
    while (length < text.size() && isNumberCharacter(text[length])) ++length;
    double value = 0;
    const char* end = text.data() + length;
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (length == 0 || error != std::errc() || stop != end) return std::nullopt;
    return Number{value, text.substr(length)};
}

std::optional<std::int64_t> scaled(double number, double multiplier) {
    const double product = std::trunc(number * multiplier);
    // 2^63 is exactly representable; anything at or beyond it (or NaN) has no int64 value.
    constexpr double limit = 9223372036854775808.0;
    if (!(product < limit && product >= -limit)) return std::nullopt;
    return static_cast<std::int64_t>(product);
}

} // namespace tidra::SizeText
