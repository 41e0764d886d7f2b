#include "files/UnicodeText.h"

#include <utf8proc.h>

#include <cstdlib>

namespace tidra::UnicodeText {

std::string composed(std::string_view text) {
    utf8proc_uint8_t* result = nullptr;
    const auto length = utf8proc_map(reinterpret_cast<const utf8proc_uint8_t*>(text.data()),
                                     utf8proc_ssize_t(text.size()), &result,
                                     utf8proc_option_t(UTF8PROC_STABLE | UTF8PROC_COMPOSE));
    if (length < 0) return std::string(text);
    std::string out(reinterpret_cast<const char*>(result), std::size_t(length));
    std::free(result);
    return out;
}

std::int64_t characterCount(std::string_view text) {
    const auto* bytes = reinterpret_cast<const utf8proc_uint8_t*>(text.data());
    const auto size = utf8proc_ssize_t(text.size());
    std::int64_t count = 0;
    utf8proc_int32_t previous = -1;
    utf8proc_int32_t state = 0;
    for (utf8proc_ssize_t at = 0; at < size;) {
        utf8proc_int32_t codePoint = 0;
        const auto used = utf8proc_iterate(bytes + at, size - at, &codePoint);
        if (used <= 0) {
            // A stray byte stands alone and breaks any cluster around it.
            ++count;
            ++at;
            previous = -1;
            state = 0;
            continue;
        }
        if (previous < 0 || utf8proc_grapheme_break_stateful(previous, codePoint, &state)) ++count;
        previous = codePoint;
        at += used;
    }
    return count;
}

} // namespace tidra::UnicodeText
