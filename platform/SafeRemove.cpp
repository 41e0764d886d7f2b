#include "platform/SafeRemove.h"

#include "platform/NoFollow.h"
#include "platform/UniqueFd.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>

namespace tidra::sys::SafeRemove {
namespace {

constexpr const char* kOtherVolume = "contains another volume";

// Names of an open folder; reads through a duplicate so the caller keeps its descriptor.
Listing namesOf(int folder) {
    Listing listing;
    const int copy = ::fcntl(folder, F_DUPFD_CLOEXEC, 0);
    DIR* dir = copy >= 0 ? ::fdopendir(copy) : nullptr;
    if (!dir) {
        listing.error = Outcome::errorText(errno);
        if (copy >= 0) ::close(copy);
        return listing;
    }
    errno = 0;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..") listing.names.push_back(name);
    }
    if (errno != 0) listing.error = Outcome::errorText(errno);
    ::closedir(dir);
    return listing;
}

// True when the open folder is the root of a mount or lies on another device than `device`.
bool isOtherVolume(int folder, dev_t device) {
    struct statx sx {};
    if (::statx(folder, "", AT_EMPTY_PATH, STATX_BASIC_STATS, &sx) != 0) return true;
    if ((sx.stx_attributes_mask & STATX_ATTR_MOUNT_ROOT) && (sx.stx_attributes & STATX_ATTR_MOUNT_ROOT))
        return true;
    return ::makedev(sx.stx_dev_major, sx.stx_dev_minor) != device;
}

Outcome removeEntry(int parent, const std::string& name, dev_t device);

// Empties the open folder, going on past failures so that as much as allowed goes.
Outcome removeChildren(int folder, dev_t device) {
    const Listing listing = namesOf(folder);
    Outcome first = listing.ok() ? Outcome::done() : Outcome::failed(listing.error);
    for (const auto& name : listing.names) {
        Outcome outcome = removeEntry(folder, name, device);
        if (outcome.status == Outcome::Status::failed && first.status != Outcome::Status::failed)
            first = std::move(outcome);
    }
    return first;
}

Outcome removeFolder(int parent, const std::string& name, dev_t device) {
    UniqueFd folder(::openat(parent, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (folder.fd < 0) return errno == ENOENT ? Outcome::missing() : Outcome::failedWith(errno);
    if (isOtherVolume(folder.fd, device)) return Outcome::failed(kOtherVolume);
    Outcome children = removeChildren(folder.fd, device);
    if (children.status == Outcome::Status::failed) return children;
    if (::unlinkat(parent, name.c_str(), AT_REMOVEDIR) == 0) return Outcome::done();
    return errno == ENOENT ? Outcome::missing() : Outcome::failedWith(errno);
}

// Everything but a folder goes with one unlink; a folder (EISDIR) is emptied first. An entry
// swapped for a link in between fails to open as a folder and is left alone.
Outcome removeEntry(int parent, const std::string& name, dev_t device) {
    if (::unlinkat(parent, name.c_str(), 0) == 0) return Outcome::done();
    if (errno == ENOENT) return Outcome::missing();
    if (errno != EISDIR) return Outcome::failedWith(errno);
    return removeFolder(parent, name, device);
}

std::string openFailure(int error) {
    return error == ELOOP ? "is a symbolic link" : Outcome::errorText(error);
}

} // namespace

Outcome remove(const std::string& path) {
    std::string parentPath, name;
    if (!NoFollow::split(path, parentPath, name)) return Outcome::failed("not a removable path");
    UniqueFd parent(NoFollow::openFolder(parentPath, O_PATH));
    if (parent.fd == -ENOENT) return Outcome::missing();
    if (parent.fd < 0)
        return Outcome::failed(parent.fd == -ELOOP ? "a folder above it is a symbolic link"
                                                   : Outcome::errorText(-parent.fd));
    struct stat st {};
    if (::fstatat(parent.fd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return errno == ENOENT ? Outcome::missing() : Outcome::failedWith(errno);
    return removeEntry(parent.fd, name, st.st_dev);
}

Listing list(const std::string& folder) {
    UniqueFd fd(NoFollow::openFolder(folder, O_RDONLY));
    if (fd.fd < 0) return Listing{{}, openFailure(-fd.fd)};
    return namesOf(fd.fd);
}

} // namespace tidra::sys::SafeRemove
