#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tidra::sys::MountTable {

// The mount points of a mountinfo text (proc(5): the fifth field of each line), with the
// kernel's octal escapes ("\040" for a space) undone, in the order listed.
std::vector<std::string> mountPoints(std::string_view mountinfo);

// The first mount point of the calling process's namespace (/proc/self/mountinfo) that is
// `folder` itself or lies below it; nothing when there is none. `folder` is absolute and
// resolved. When the table cannot be read, `folder` itself is answered: a caller that must not
// cross into another volume then refuses rather than guesses.
std::optional<std::string> firstAtOrBelow(const std::string& folder);

} // namespace tidra::sys::MountTable
