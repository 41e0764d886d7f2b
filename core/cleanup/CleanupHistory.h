#pragma once

#include "cleanup/CleanupRecord.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tidra {

// The history file of removals: a pretty-printed JSON array of records, newest first, at most
// 500, keys sorted, dates as whole-second UTC texts ("2024-03-05T14:07:09Z").
//
// The history is never lost. A record that does not decode is skipped when reading and kept
// as it is when appending. A file that cannot be read or parsed as an array (a FIFO, a device,
// anything over 64 MiB or nested more than 64 levels deep counts as unreadable) is moved aside
// to "history.json.corrupt-<UTC timestamp>" once its successor is safely written, just before
// that takes its place. Writes replace the file atomically, and appends hold an advisory lock
// on "history.json.lock" beside it, so appends from several threads or processes never drop
// one another's records.
struct CleanupHistory {
    // home + "/.local/share/Tidra/history.json"; the home text is used unchanged.
    std::string file;
    // Names the moved-aside copy of a broken file; replaceable for tests.
    std::function<std::chrono::system_clock::time_point()> now = [] { return std::chrono::system_clock::now(); };

    // Touches nothing on disk.
    explicit CleanupHistory(const std::string& home);

    // The records that decode, in file order (newest first); empty when the file is missing,
    // unreadable or not a JSON array.
    std::vector<CleanupRecord> load() const;

    // Puts `record` first and keeps the newest 500. A record with nothing freed and no item
    // titles is not recorded. Titles that are not valid UTF-8 are written with U+FFFD in
    // place of the broken sequences. Creates the folder when missing.
    // Returns nothing when the record is on disk (or was not to be recorded), else a short
    // reason; the file on disk is then as it was.
    std::optional<std::string> append(const CleanupRecord& record) const;

    // Sum of freedBytes over load(); 0 for no records; held at the int64 limits on overflow.
    std::int64_t totalFreed() const;
    // The same sum over records already loaded, for whoever shows the total.
    static std::int64_t totalFreed(const std::vector<CleanupRecord>& records);

    // Records kept in the file.
    static constexpr std::size_t capacity = 500;
};

} // namespace tidra
