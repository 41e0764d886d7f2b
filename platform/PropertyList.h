#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

namespace tidra::sys {

// One value of a property list (XML or binary), fully copied out of the parser: it owns
// everything and outlives the file it came from.
struct PlistValue {
    using Array = std::vector<PlistValue>;
    // Keys in file order; a property list's keys are unique, so order does not matter to look-ups.
    using Dictionary = std::vector<std::pair<std::string, PlistValue>>;
    using Data = std::vector<std::uint8_t>;
    using Date = std::chrono::system_clock::time_point;

    std::variant<bool, std::int64_t, double, std::string, Date, Data, Array, Dictionary> value;

    // The member under `key` when this is a dictionary holding it; null otherwise.
    const PlistValue* find(std::string_view key) const;
    // The member under `key` when it exists and is a string; null otherwise.
    const std::string* string(std::string_view key) const;
    // The member under `key` when it exists and is a date; nothing otherwise.
    std::optional<Date> date(std::string_view key) const;

    template <class T>
    const T* as() const {
        return std::get_if<T>(&value);
    }
};

// Parses an XML or binary property list. Nothing when the bytes are not one.
std::optional<PlistValue> parsePropertyList(std::string_view bytes);
// Reads and parses a property-list file (links followed). Nothing when the file cannot be
// read, is larger than 16 MiB (no real settings file is), or is not a property list.
std::optional<PlistValue> readPropertyList(const std::string& path);

} // namespace tidra::sys
