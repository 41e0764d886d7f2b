#include "cleanup/CleanupRecordJson.h"

#include <array>
#include <charconv>
#include <cstdio>

namespace tidra::CleanupRecordJson {
namespace {

using namespace std::chrono;

std::optional<std::int64_t> int64Of(const nlohmann::json& value) {
    if (value.is_number_unsigned()) {
        const auto raw = value.get<std::uint64_t>();
        if (raw > std::uint64_t(INT64_MAX)) return std::nullopt;
        return std::int64_t(raw);
    }
    if (value.is_number_integer()) return value.get<std::int64_t>();
    return std::nullopt;
}

std::optional<std::vector<std::string>> stringsOf(const nlohmann::json& value) {
    if (!value.is_array()) return std::nullopt;
    std::vector<std::string> strings;
    for (const auto& element : value) {
        if (!element.is_string()) return std::nullopt;
        strings.push_back(element.get<std::string>());
    }
    return strings;
}

const nlohmann::json* member(const nlohmann::json& object, const char* key) {
    const auto found = object.find(key);
    return found == object.end() ? nullptr : &*found;
}

// Reads `width` digits at `at`; nothing when any is not a digit.
std::optional<int> digits(std::string_view text, std::size_t at, std::size_t width) {
    int value = 0;
    const char* first = text.data() + at;
    const auto [end, error] = std::from_chars(first, first + width, value);
    if (error != std::errc() || end != first + width || *first == '+' || *first == '-') return std::nullopt;
    return value;
}

std::optional<std::vector<TrashedFile>> trashedFilesOf(const nlohmann::json& value) {
    if (!value.is_array()) return std::nullopt;
    std::vector<TrashedFile> files;
    for (const auto& pair : value) {
        if (!pair.is_array() || pair.size() != 2 || !pair[0].is_number_unsigned() || !pair[1].is_number_unsigned())
            return std::nullopt;
        files.push_back({pair[0].get<std::uint64_t>(), pair[1].get<std::uint64_t>()});
    }
    return files;
}

// The keys added after the first five are optional: records written before them read as 0.
bool decodeAdditions(const nlohmann::json& object, CleanupRecord& record) {
    for (auto [key, field] : {std::pair{"trashedBytes", &record.trashedBytes}, std::pair{"recountedBytes", &record.recountedBytes}})
        if (const auto* value = member(object, key)) {
            const auto bytes = int64Of(*value);
            if (!bytes) return false;
            *field = *bytes;
        }
    if (const auto* value = member(object, "run")) {
        if (!value->is_string()) return false;
        record.run = value->get<std::string>();
    }
    if (const auto* value = member(object, "trashedFiles")) {
        auto files = trashedFilesOf(*value);
        if (!files) return false;
        record.trashedFiles = std::move(*files);
    }
    return true;
}

} // namespace

std::string formatDate(system_clock::time_point date) {
    const auto seconds = floor<std::chrono::seconds>(date);
    const auto day = floor<days>(seconds);
    const year_month_day ymd{day};
    const hh_mm_ss time{seconds - day};
    std::array<char, 32> buffer{};
    std::snprintf(buffer.data(), buffer.size(), "%04d-%02u-%02uT%02d:%02d:%02dZ", int(ymd.year()), unsigned(ymd.month()),
                  unsigned(ymd.day()), int(time.hours().count()), int(time.minutes().count()),
                  int(time.seconds().count()));
    return std::string(buffer.data());
}

std::optional<system_clock::time_point> parseDate(std::string_view text) {
    static constexpr std::string_view shape = "0000-00-00T00:00:00Z";
    if (text.size() != shape.size()) return std::nullopt;
    for (std::size_t i = 0; i < shape.size(); ++i)
        if (shape[i] != '0' && text[i] != shape[i]) return std::nullopt;
    const auto y = digits(text, 0, 4), mo = digits(text, 5, 2), d = digits(text, 8, 2);
    const auto h = digits(text, 11, 2), mi = digits(text, 14, 2), s = digits(text, 17, 2);
    if (!y || !mo || !d || !h || !mi || !s || *y < 1 || *h > 23 || *mi > 59 || *s > 59) return std::nullopt;
    const year_month_day ymd{year(*y), month(unsigned(*mo)), day(unsigned(*d))};
    if (!ymd.ok()) return std::nullopt;
    const sys_seconds when = sys_days(ymd) + hours(*h) + minutes(*mi) + std::chrono::seconds(*s);
    // A time point counts nanoseconds, so it spans only the years 1677 to 2262.
    if (when < ceil<std::chrono::seconds>(system_clock::time_point::min()) ||
        when > floor<std::chrono::seconds>(system_clock::time_point::max()))
        return std::nullopt;
    return system_clock::time_point(when);
}

nlohmann::json encode(const CleanupRecord& record) {
    auto object = nlohmann::json{{"date", formatDate(record.date)},
                                 {"failures", record.failures},
                                 {"freedBytes", record.freedBytes},
                                 {"items", record.items},
                                 {"source", record.source}};
    // Later additions, written only when they hold something, so a plain record reads as before.
    if (record.trashedBytes != 0) object["trashedBytes"] = record.trashedBytes;
    if (record.recountedBytes != 0) object["recountedBytes"] = record.recountedBytes;
    if (!record.run.empty()) object["run"] = record.run;
    if (!record.trashedFiles.empty()) {
        auto files = nlohmann::json::array();
        for (const auto& file : record.trashedFiles) files.push_back({file.device, file.inode});
        object["trashedFiles"] = std::move(files);
    }
    return object;
}

std::optional<CleanupRecord> decode(const nlohmann::json& object) {
    if (!object.is_object()) return std::nullopt;
    const auto* date = member(object, "date");
    const auto* source = member(object, "source");
    const auto* freed = member(object, "freedBytes");
    const auto* items = member(object, "items");
    const auto* failures = member(object, "failures");
    if (!date || !source || !freed || !items || !failures) return std::nullopt;
    if (!date->is_string() || !source->is_string()) return std::nullopt;
    const auto when = parseDate(date->get_ref<const std::string&>());
    const auto freedBytes = int64Of(*freed);
    const auto titles = stringsOf(*items);
    const auto failed = int64Of(*failures);
    if (!when || !freedBytes || !titles || !failed) return std::nullopt;
    CleanupRecord record{*when, source->get<std::string>(), *freedBytes, *titles, *failed};
    if (!decodeAdditions(object, record)) return std::nullopt;
    return record;
}

} // namespace tidra::CleanupRecordJson
