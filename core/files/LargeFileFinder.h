#pragma once

#include "files/LargeFile.h"

#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <vector>

// Finds the largest files under one folder, walking the subtrees two levels below it in
// parallel.
namespace tidra::LargeFileFinder {

// Called with the running count of files examined; from worker threads, several at a time,
// so a later call may carry a smaller total than an earlier one.
using Progress = std::function<void(std::int64_t examined)>;
// Asked from worker threads, several at a time.
using IsCancelled = std::function<bool()>;
// Receives the path of each folder that could not be read, so the screen can say what is
// missing; from worker threads, several at a time.
using Unreadable = std::function<void(const std::string& folder)>;

// Every regular file under `root` whose allocated size is at least `minimumBytes`, largest
// first (equal sizes by path in composed code-point order), a file with several hard links
// once under the path that sorts first (identity is (device, inode)), cut to `limit` (a
// negative limit counts as 0).
// - Never entered, at any depth: folders named "node_modules", ".git" or ".Trash", the Trash
//   folder ".local/share/Trash", and the folders in `excluding` (full paths spelled as the
//   search builds them: root, "/", names; no trailing "/"). A file whose own path is excluded
//   is still found.
// - Symbolic links are not followed and nothing on another volume than the root's is searched.
//   A root that is not a directory, or unreadable folders and entries, contribute nothing;
//   each folder that could not be opened or listed (a path over the system's limit among
//   them) goes to `unreadable` once.
// - Progress and cancellation are handled after a folder once a worker has examined 4,096
//   files since its last report, and once at each worker's end. Files directly in the root or
//   in its first-level folders are not counted. A cancelled search returns what it found so
//   far in the same form.
std::vector<LargeFile> find(const std::string& root, std::int64_t minimumBytes, std::int64_t limit,
                            const std::set<std::string>& excluding = {}, const Progress& progress = nullptr,
                            const IsCancelled& isCancelled = nullptr, const Unreadable& unreadable = nullptr);

// The work the search splits off.
struct Subtrees {
    // Folders `levels` below the root, in walk order: each is walked as a whole.
    std::vector<std::string> folders;
    // Regular files met above them.
    std::vector<std::string> files;
    // Folders above them that could not be opened or listed.
    std::vector<std::string> unreadable;
};

// Splits `root` into its folders `levels` below (with 2: the root's grandchildren), leaving
// out the folders the search never enters and folders on other volumes. A root that cannot
// be read gives nothing but itself as unreadable.
Subtrees subtrees(const std::string& root, int levels, const std::set<std::string>& excluding);

} // namespace tidra::LargeFileFinder
