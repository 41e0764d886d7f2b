#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace tidra::SizeText {

// A size as a tool prints it, split into its number and the text after it.
struct Number {
    double value;
    std::string_view rest;
};

// The longest leading run of digits and "." read as a decimal number ("12.5MB" gives 12.5 and
// "MB"). Nothing when the run is empty or not one number ("1.2.3", ".").
std::optional<Number> leadingNumber(std::string_view text);

// number × multiplier truncated toward zero; nothing when the product does not fit a signed
// 64-bit byte count (converting it would be undefined).
std::optional<std::int64_t> scaled(double number, double multiplier);

} // namespace tidra::SizeText
