#pragma once

#include "platform/Outcome.h"
#include "platform/UniqueFd.h"

#include <string>
#include <vector>

namespace tidra::sys::SafeRemove {

// Removes the entry at the absolute `path` for good: a file or a link itself (never its
// target), a folder with everything in it. Works through descriptors: the parent is opened
// refusing symbolic links on the way, trees are descended folder by folder without following
// links, and no other mounted file system is ever entered ("contains another volume"). Trees
// are walked without recursion, one descriptor open besides the parent's; a tree nested more
// than 4096 folders deep stops there ("is nested too deeply"), and one moved while being
// removed stops the removal ("was moved while being removed"). A tree that could be removed
// only in part is `failed` with the first reason met; what could go has gone. `missing` when
// the path was not there. A path holding a NUL byte is refused ("not a removable path").
// A folder inside the tree that is ours but not writable (Go's module cache makes them all
// read-only) gets the owner's write permission before its entries go; the folder holding
// `path` and folders of other users are never changed.
Outcome remove(const std::string& path);

// The entry names of a folder, one level, hidden ones included, in the order read.
struct Listing {
    std::vector<std::string> names;
    // Why the folder could not be listed; empty on success.
    std::string error;
    bool ok() const { return error.empty(); }
};

// A folder opened once by its absolute path, refusing symbolic links on the way, whose entries
// are then listed and removed relative to that one descriptor: whatever is swapped or moved
// meanwhile, the names come from this very folder and only its entries go.
class Folder {
public:
    explicit Folder(const std::string& path);
    // Why it could not be opened ("is a symbolic link" when it, or a folder above it, is a
    // link); empty when open.
    const std::string& error() const { return error_; }
    bool ok() const { return error_.empty(); }
    Listing list() const;
    // Removes the entry `name` as remove() does. A name holding "/" or NUL, "." and ".." are
    // refused ("not a removable path").
    Outcome remove(const std::string& name) const;

private:
    UniqueFd fd_;
    std::string error_;
};

} // namespace tidra::sys::SafeRemove
