#include "apps/NaturalOrder.h"

#include <utf8proc.h>

#include <cstdlib>

namespace tidra::NaturalOrder {
namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

std::size_t digitRunEnd(std::string_view text, std::size_t start) {
    while (start < text.size() && isDigit(text[start])) ++start;
    return start;
}

// Compares two digit runs by value without converting them, so any length works.
int compareNumbers(std::string_view a, std::string_view b) {
    const auto significant = [](std::string_view run) {
        const auto first = run.find_first_not_of('0');
        return first == std::string_view::npos ? std::string_view() : run.substr(first);
    };
    const auto x = significant(a), y = significant(b);
    if (x.size() != y.size()) return x.size() < y.size() ? -1 : 1;
    return x.compare(y);
}

} // namespace

std::string sortKey(std::string_view name) {
    utf8proc_uint8_t* folded = nullptr;
    const auto length = utf8proc_map(reinterpret_cast<const utf8proc_uint8_t*>(name.data()),
                                     static_cast<utf8proc_ssize_t>(name.size()), &folded,
                                     utf8proc_option_t(UTF8PROC_STABLE | UTF8PROC_COMPOSE | UTF8PROC_CASEFOLD));
    if (length >= 0) {
        std::string key(reinterpret_cast<char*>(folded), std::size_t(length));
        std::free(folded);
        return key;
    }
    std::string key(name);
    for (char& c : key)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    return key;
}

int compareKeys(std::string_view a, std::string_view b) {
    std::size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (isDigit(a[i]) && isDigit(b[j])) {
            const std::size_t endA = digitRunEnd(a, i), endB = digitRunEnd(b, j);
            if (const int order = compareNumbers(a.substr(i, endA - i), b.substr(j, endB - j))) return order;
            i = endA;
            j = endB;
            continue;
        }
        // UTF-8 bytes compare in code-point order.
        const auto x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[j]);
        if (x != y) return x < y ? -1 : 1;
        ++i;
        ++j;
    }
    if (i < a.size()) return 1;
    if (j < b.size()) return -1;
    return 0;
}

int compare(std::string_view a, std::string_view b) {
    return compareKeys(sortKey(a), sortKey(b));
}

} // namespace tidra::NaturalOrder
