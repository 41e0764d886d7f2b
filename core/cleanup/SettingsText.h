#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Reading "key = value" lines out of other tools' small configuration files (npmrc, an
// emulator's config.ini). The files may hold any bytes: nothing here throws, and text that is
// not valid UTF-8 has no settings at all.
namespace tidra::SettingsText {

bool isUtf8(std::string_view text);

// The non-empty lines of UTF-8 `text`, split at every Unicode line break: LF, CR, CR LF,
// VT, FF, U+0085, U+2028 and U+2029.
std::vector<std::string_view> lines(std::string_view text);

// UTF-8 `text` without tabs and Unicode space separators at either end; with `lineBreaksToo`
// also without the line breaks above.
std::string_view trimmed(std::string_view text, bool lineBreaksToo = false);

// The value of the first line whose key is exactly `key` (case-sensitive) and that has a
// value. A line's key is what precedes its first "=" after any leading "="s, its value
// everything after that "=" (further "="s included), both trimmed. A line ending at that "="
// has no value and is passed over; a value of blanks decides as an empty text. Nothing when
// no line has one, or when `text` is not UTF-8.
std::optional<std::string> value(std::string_view text, std::string_view key);

} // namespace tidra::SettingsText
