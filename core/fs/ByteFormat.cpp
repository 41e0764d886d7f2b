#include "fs/ByteFormat.h"

#include <array>
#include <string_view>

namespace tidra::ByteFormat {
namespace {

// Wide enough that bytes times a power of ten never overflows.
__extension__ typedef unsigned __int128 Wide;

constexpr std::array<std::string_view, 5> kUnits{"KB", "MB", "GB", "TB", "PB"};

int decimalsFor(std::size_t unit) { return unit == 0 ? 0 : unit == 1 ? 1 : 2; }

Wide power(Wide base, std::size_t exponent) {
    Wide out = 1;
    for (std::size_t i = 0; i < exponent; ++i) out *= base;
    return out;
}

// Digits with "," between groups of three, as the figures are shown elsewhere.
std::string grouped(Wide value) {
    std::string digits;
    do {
        digits.insert(digits.begin(), char('0' + int(value % 10)));
        value /= 10;
    } while (value != 0);
    for (int i = int(digits.size()) - 3; i > 0; i -= 3) digits.insert(digits.begin() + i, ',');
    return digits;
}

// `magnitude` expressed in `unit` with its decimals, rounded half away from zero.
Wide scaled(std::uint64_t magnitude, Wide unitSize, int decimals) {
    const Wide numerator = Wide(magnitude) * power(10, std::size_t(decimals));
    return (numerator * 2 + unitSize) / (unitSize * 2);
}

std::string withUnit(std::uint64_t magnitude, Wide base) {
    std::size_t unit = 0;
    while (unit + 1 < kUnits.size() && Wide(magnitude) >= power(base, unit + 2)) ++unit;
    Wide rounded = scaled(magnitude, power(base, unit + 1), decimalsFor(unit));
    if (unit + 1 < kUnits.size() && rounded >= 1000 * power(10, std::size_t(decimalsFor(unit)))) {
        ++unit;
        rounded = scaled(magnitude, power(base, unit + 1), decimalsFor(unit));
    }
    const Wide scale = power(10, std::size_t(decimalsFor(unit)));
    std::string text = grouped(rounded / scale);
    std::string fraction = scale > 1 ? grouped(rounded % scale + scale).substr(1) : "";
    while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();
    if (!fraction.empty()) text += "." + fraction;
    return text + " " + std::string(kUnits[unit]);
}

std::string format(std::int64_t bytes, std::uint64_t base) {
    const bool negative = bytes < 0;
    // Magnitude computed unsigned so the lowest 64-bit value does not overflow.
    const std::uint64_t magnitude =
        negative ? std::uint64_t(0) - std::uint64_t(bytes) : std::uint64_t(bytes);
    std::string text = magnitude < base
                           ? grouped(magnitude) + (magnitude == 1 ? " byte" : " bytes")
                           : withUnit(magnitude, base);
    return negative ? "-" + text : text;
}

} // namespace

std::string string(std::int64_t bytes) { return format(bytes, 1000); }
std::string memory(std::int64_t bytes) { return format(bytes, 1024); }

} // namespace tidra::ByteFormat
