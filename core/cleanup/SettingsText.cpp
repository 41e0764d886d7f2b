#include "cleanup/SettingsText.h"

#include <utf8proc.h>

namespace tidra::SettingsText {
namespace {

// Decodes the code point at `at`; its length in bytes, or a negative value when ill-formed.
utf8proc_ssize_t decode(std::string_view text, std::size_t at, utf8proc_int32_t& codePoint) {
    return utf8proc_iterate(reinterpret_cast<const utf8proc_uint8_t*>(text.data() + at),
                            static_cast<utf8proc_ssize_t>(text.size() - at), &codePoint);
}

bool isLineBreak(utf8proc_int32_t c) {
    return c == '\n' || c == '\r' || c == '\v' || c == '\f' || c == 0x85 || c == 0x2028 || c == 0x2029;
}

bool isBlank(utf8proc_int32_t c) {
    return c == '\t' || utf8proc_category(c) == UTF8PROC_CATEGORY_ZS;
}

// Calls `visit(start, length, codePoint)` for each code point of valid UTF-8 `text`.
template <class Visit>
void forEachCodePoint(std::string_view text, Visit visit) {
    for (std::size_t at = 0; at < text.size();) {
        utf8proc_int32_t c = 0;
        const auto length = decode(text, at, c);
        if (length <= 0) return;
        visit(at, std::size_t(length), c);
        at += std::size_t(length);
    }
}

} // namespace

bool isUtf8(std::string_view text) {
    for (std::size_t at = 0; at < text.size();) {
        utf8proc_int32_t c = 0;
        const auto length = decode(text, at, c);
        if (length <= 0) return false;
        at += std::size_t(length);
    }
    return true;
}

std::vector<std::string_view> lines(std::string_view text) {
    std::vector<std::string_view> out;
    std::size_t lineStart = 0;
    const auto endLine = [&](std::size_t end) {
        if (end > lineStart) out.push_back(text.substr(lineStart, end - lineStart));
    };
    forEachCodePoint(text, [&](std::size_t at, std::size_t length, utf8proc_int32_t c) {
        if (!isLineBreak(c)) return;
        endLine(at);
        lineStart = at + length;
    });
    endLine(text.size());
    return out;
}

std::string_view trimmed(std::string_view text, bool lineBreaksToo) {
    std::size_t first = text.size(), end = 0;
    forEachCodePoint(text, [&](std::size_t at, std::size_t length, utf8proc_int32_t c) {
        if (isBlank(c) || (lineBreaksToo && isLineBreak(c))) return;
        if (first == text.size()) first = at;
        end = at + length;
    });
    return first < end ? text.substr(first, end - first) : std::string_view{};
}

std::optional<std::string> value(std::string_view text, std::string_view key) {
    if (!isUtf8(text)) return std::nullopt;
    for (const auto line : lines(text)) {
        const auto keyStart = line.find_first_not_of('=');
        if (keyStart == std::string_view::npos) continue;
        const auto equals = line.find('=', keyStart);
        if (equals == std::string_view::npos) continue;
        // A line ending at its "=" has no value; a value of blanks is one, empty once trimmed.
        if (equals + 1 == line.size() || trimmed(line.substr(keyStart, equals - keyStart)) != key) continue;
        return std::string(trimmed(line.substr(equals + 1)));
    }
    return std::nullopt;
}

} // namespace tidra::SettingsText
