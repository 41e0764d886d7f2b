#include "platform/PropertyList.h"

#include "platform/SmallFile.h"

#include <plist/plist.h>

#include <cstdlib>

namespace tidra::sys {
namespace {

constexpr std::size_t maximumFileBytes = 16 << 20;
// Property-list dates count seconds from 2001-01-01 00:00:00 UTC.
constexpr std::chrono::seconds referenceDate{978307200};

PlistValue convert(plist_t node);

PlistValue::Array convertArray(plist_t node) {
    PlistValue::Array array;
    const std::uint32_t count = plist_array_get_size(node);
    array.reserve(count);
    for (std::uint32_t i = 0; i < count; ++i) array.push_back(convert(plist_array_get_item(node, i)));
    return array;
}

PlistValue::Dictionary convertDictionary(plist_t node) {
    PlistValue::Dictionary dictionary;
    plist_dict_iter iter = nullptr;
    plist_dict_new_iter(node, &iter);
    for (;;) {
        char* key = nullptr;
        plist_t item = nullptr;
        plist_dict_next_item(node, iter, &key, &item);
        if (!key) break;
        dictionary.emplace_back(key, convert(item));
        std::free(key);
    }
    std::free(iter);
    return dictionary;
}

std::string convertString(plist_t node) {
    char* text = nullptr;
    if (plist_get_node_type(node) == PLIST_KEY) plist_get_key_val(node, &text);
    else plist_get_string_val(node, &text);
    std::string result = text ? text : "";
    std::free(text);
    return result;
}

PlistValue convert(plist_t node) {
    switch (plist_get_node_type(node)) {
    case PLIST_BOOLEAN: {
        std::uint8_t flag = 0;
        plist_get_bool_val(node, &flag);
        return {flag != 0};
    }
    case PLIST_UINT: {
        std::uint64_t number = 0;
        plist_get_uint_val(node, &number);
        // Negative integers travel as their two's complement in this library version.
        return {static_cast<std::int64_t>(number)};
    }
    case PLIST_REAL: {
        double number = 0;
        plist_get_real_val(node, &number);
        return {number};
    }
    case PLIST_DATE: {
        std::int32_t seconds = 0, micros = 0;
        plist_get_date_val(node, &seconds, &micros);
        return {PlistValue::Date(referenceDate + std::chrono::seconds(seconds) +
                                 std::chrono::microseconds(micros))};
    }
    case PLIST_DATA: {
        std::uint64_t length = 0;
        const char* bytes = plist_get_data_ptr(node, &length);
        const auto* begin = reinterpret_cast<const std::uint8_t*>(bytes);
        return {PlistValue::Data(begin, begin + (bytes ? length : 0))};
    }
    case PLIST_ARRAY:
        return {convertArray(node)};
    case PLIST_DICT:
        return {convertDictionary(node)};
    case PLIST_STRING:
    case PLIST_KEY:
        return {convertString(node)};
    default:
        // Keyed-archive identifiers and unknown nodes carry nothing a reader of ours needs.
        return {PlistValue::Data{}};
    }
}

} // namespace

const PlistValue* PlistValue::find(std::string_view key) const {
    const auto* dictionary = as<Dictionary>();
    if (!dictionary) return nullptr;
    for (const auto& [name, member] : *dictionary)
        if (name == key) return &member;
    return nullptr;
}

const std::string* PlistValue::string(std::string_view key) const {
    const PlistValue* member = find(key);
    return member ? member->as<std::string>() : nullptr;
}

std::optional<PlistValue::Date> PlistValue::date(std::string_view key) const {
    const PlistValue* member = find(key);
    const Date* when = member ? member->as<Date>() : nullptr;
    return when ? std::optional<Date>(*when) : std::nullopt;
}

std::optional<PlistValue> parsePropertyList(std::string_view bytes) {
    if (bytes.empty() || bytes.size() > maximumFileBytes) return std::nullopt;
    plist_t root = nullptr;
    plist_from_memory(bytes.data(), std::uint32_t(bytes.size()), &root);
    if (!root) return std::nullopt;
    PlistValue value = convert(root);
    plist_free(root);
    return value;
}

std::optional<PlistValue> readPropertyList(const std::string& path) {
    const auto bytes = readSmallFile(path, maximumFileBytes);
    if (!bytes) return std::nullopt;
    return parsePropertyList(*bytes);
}

} // namespace tidra::sys
