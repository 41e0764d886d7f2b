#pragma once

#include "files/DuplicateFile.h"
#include "files/DuplicateGroup.h"

#include <string>
#include <string_view>
#include <vector>

// Which copy of a set of identical files to keep, and which sets to show first. Both orders
// are total, so the order files and groups arrive in never changes the result.
namespace tidra::DuplicateFinder {

// Whether a file name looks like the name a file manager gives a copy: the name without its
// last extension ends in " copy", " copy <digits>" or " (<digits>)" (case-sensitive), as in
// "Report copy 2.pdf" or "Report (1).pdf". "archive copy.tar.gz" does not: its stem is
// "archive copy.tar".
bool looksLikeACopy(std::string_view name);

// `files` sorted so that the one to keep comes first. Ascending by, the first difference
// deciding: lying below home + "/Downloads/" (outside first), a copy-like name (no first),
// creation time (earlier first), the path's length in user-perceived characters (shorter
// first), the path in canonically composed code-point order. `home` serves the Downloads test
// only; both tests are case-sensitive.
std::vector<DuplicateFile> keeperFirst(std::vector<DuplicateFile> files, const std::string& home);

// `groups` sorted by what they give back, most first; equal amounts by hash, the greater
// first.
std::vector<DuplicateGroup> orderGroups(std::vector<DuplicateGroup> groups);

} // namespace tidra::DuplicateFinder
