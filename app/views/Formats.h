#pragma once

#include "performance/ProcessGroup.h"

#include <QString>

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

// How every screen writes sizes, counts, dates and paths, so the same figure reads the same
// everywhere.
namespace tidra::Formats {

using Date = std::chrono::system_clock::time_point;

// Disk and file sizes in decimal units: "0 bytes", "85.4 MB", "31.74 GB".
QString bytes(std::int64_t bytes);
// Memory sizes in units of 1,024.
QString memory(std::int64_t bytes);
// An integer with the locale's digit grouping ("412,000").
QString grouped(std::int64_t number);
// A count with its noun, singular for exactly one: "1 file", "1,204 files".
QString count(std::int64_t number, const char* one, const char* many);
// A calendar date in the locale's order with the month abbreviated: "Jan 15, 2025" in the
// United States, "15 Jan 2025" in Britain. Every screen shows dates this one way.
QString date(Date date);
// "1 folder could not be read", "2 folders could not be read": what a search had to pass over;
// nothing when it read every folder.
std::optional<QString> unreadableFolders(std::int64_t count);
// "other links keep its data" for a file whose data another name keeps, so moving it frees
// nothing; nothing otherwise.
std::optional<QString> otherLinks(bool hasOtherLinks);
// A file name or path as people may read it: bytes that are not UTF-8 become replacement
// characters, and the controls that reorder text (U+202E makes "gpj.exe" read as "exe.jpg")
// are written out as "\u202E", so no name can pass for another.
QString fileName(const std::string& bytes);
// The path with a leading home folder written as "~" ("~/Projects"); other paths unchanged.
// Shown through fileName.
QString tildePath(const std::string& path, const std::string& home);
// How long ago (or ahead) `date` is from `now`, in words: "just now", "5 minutes ago",
// "yesterday", "3 days ago", "last week", "2 months ago", "tomorrow", "in 3 hours".
QString relativeDate(Date date, Date now);

// What a quit ends, one line per process: "• node server.js — in ~/code/webshop"; past
// `limit` lines, one more says how many are left ("• and 3 more"). Each line starts on a line
// of its own ("\n• ..."), so the list follows a sentence; empty for no processes.
QString processLines(const std::vector<ProcessGroup::Process>& processes, std::size_t limit = 6);

}  // namespace tidra::Formats
