#pragma once

#include "platform/Outcome.h"

#include <string>

namespace tidra::sys::Trash {

// Moves the entry at the absolute `path` (a link itself, never its target) to the
// freedesktop.org Trash of the user whose home folder is `home` (an absolute, resolved path):
// `<home>/.local/share/Trash` when the entry lies on the same file system (made with mode 0700
// when missing; links the user put on that way are followed), otherwise `$topdir/.Trash-$uid`
// of the entry's own file system when that can be made or used safely. The `.trashinfo`
// record is written first, exclusively; the entry is then renamed into `files/` under the same
// name (a clash, or a name too long for its record, picks a new one); on failure the record is
// removed again. Never copies. The parent of `path` is opened refusing symbolic links.
// `missing` when the path was not there.
Outcome move(const std::string& path, const std::string& home);
// As above; `trashed` is where the entry now lies in the Trash when this very call moved it,
// else empty: a move that finds its entry already taken (by another process, say) reports
// `missing` and no place.
Outcome move(const std::string& path, const std::string& home, std::string& trashed);

// The `Path=` value of a trash record for an absolute path: bytes other than letters, digits,
// "-._~" and "/" percent-encoded, so any name, invalid UTF-8 included, survives.
std::string encodePath(const std::string& path);

// The whole `.trashinfo` record for the absolute `originalPath`, dated now in local time:
// "[Trash Info]\nPath=<encodePath>\nDeletionDate=YYYY-MM-DDThh:mm:ss\n".
std::string record(const std::string& originalPath);

} // namespace tidra::sys::Trash
