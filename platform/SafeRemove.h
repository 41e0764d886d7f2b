#pragma once

#include "platform/FileStatus.h"
#include "platform/Outcome.h"
#include "platform/UniqueFd.h"

#include <cstdint>
#include <optional>
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
// `path` and folders of other users are never changed. The outcome's `bytes` are what this
// call took off the disk, partial removals included: a file counts only when its unlink here
// removed its last link, as checked just before; what another process removed first, or what
// stays linked elsewhere, counts nothing.
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
    // The folder at the absolute `path` in the folder `home`: the home opened as named (a link
    // to it followed: it is where everything starts), the rest of `path` beneath it, refusing
    // symbolic links and any way out of it. "outside the home folder" when `path` is neither
    // `home` nor inside it, as text.
    Folder(const std::string& home, const std::string& path);
    // The folder at `relative` below the open folder `base`, the same way; "" is `base` again.
    Folder(const Folder& base, const std::string& relative);
    // Why it could not be opened ("is a symbolic link" when it, or a folder above it, is a
    // link); empty when open.
    const std::string& error() const { return error_; }
    bool ok() const { return error_.empty(); }
    // It could not be opened because it, or a folder on the way, is not there (or is a file).
    bool missing() const { return missing_; }
    // The open folder's own status, and that of its entry `name` (a link described, not
    // followed); nothing when not open, not there or unreadable.
    std::optional<FileStatus> status() const;
    std::optional<FileStatus> statusOf(const std::string& name) const;
    Listing list() const;
    // Removes the entry `name` as remove() does. A name holding "/" or NUL, "." and ".." are
    // refused ("not a removable path").
    Outcome remove(const std::string& name) const;
    // Removes `name` only while it is the entry (`device`, `inode`), as the caller saw it when
    // it scanned: checked first, and for a folder once more on the very descriptor the removal
    // goes down into, so the tree emptied is the one expected. Another entry under that name
    // stays, failed with "has changed since the scan".
    Outcome remove(const std::string& name, std::uint64_t device, std::uint64_t inode) const;
    // Removes the entry at `relative` below this folder, the folders on the way opened without
    // following a link ("a folder above it is a symbolic link"); missing when it, or a folder
    // on the way, is not there.
    Outcome removeBelow(const std::string& relative) const;

private:
    void fail(int error);

    UniqueFd fd_;
    std::string error_;
    bool missing_ = false;
};

} // namespace tidra::sys::SafeRemove
