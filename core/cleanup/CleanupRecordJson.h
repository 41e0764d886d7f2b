#pragma once

#include "cleanup/CleanupRecord.h"

#include <nlohmann/json.hpp>

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace tidra::CleanupRecordJson {

// The record as a history-file object with exactly the keys "date", "failures",
// "freedBytes", "items" and "source". The date is cut to the whole second.
nlohmann::json encode(const CleanupRecord& record);

// The record of a history-file object, or nothing when a key is missing or has the wrong
// type, an integer does not fit 64 bits, or the date is not in the form `formatDate` writes.
// Keys beyond the five are ignored.
std::optional<CleanupRecord> decode(const nlohmann::json& object);

// "2024-03-05T14:07:09Z": UTC, whole seconds (cut, not rounded).
std::string formatDate(std::chrono::system_clock::time_point date);
// Accepts exactly that form with a real calendar date; no fractions, no offsets. Nothing for
// dates a time point cannot hold (before 1677 or after 2262).
std::optional<std::chrono::system_clock::time_point> parseDate(std::string_view text);

} // namespace tidra::CleanupRecordJson
