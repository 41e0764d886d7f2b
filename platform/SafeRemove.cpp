#include "platform/SafeRemove.h"

#include "platform/NoFollow.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

namespace tidra::sys::SafeRemove {
namespace {

constexpr const char* kOtherVolume = "contains another volume";
constexpr const char* kChanged = "has changed since the scan";

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

// Adds the owner's write and search permission to an open folder of ours that lacks them, as
// Go's module cache leaves every folder. Through the descriptor, so it is the very folder the
// walk entered; someone else's folder is never changed.
bool openUp(int folder) {
    struct stat st {};
    if (::fstat(folder, &st) != 0 || st.st_uid != ::geteuid()) return false;
    constexpr mode_t needed = S_IWUSR | S_IXUSR;
    if ((st.st_mode & needed) == needed) return false;
    return ::fchmod(folder, (st.st_mode & 07777) | needed) == 0;
}

// Deeper than any real tree; a deeper one is refused rather than walked without end.
constexpr std::size_t kMaxDepth = 4096;

struct Identity {
    dev_t device = 0;
    ino_t inode = 0;
    bool operator==(const Identity&) const = default;
};

Identity identityOf(int fd) {
    struct stat st {};
    return ::fstat(fd, &st) == 0 ? Identity{st.st_dev, st.st_ino} : Identity{};
}

// One folder on the way down: its listing, read once, and how far it has been worked through.
struct Level {
    std::string name; // in the folder above
    Identity identity;
    std::vector<std::string> names;
    std::size_t next = 0;
    // The first failure met below, which keeps this folder (and those above) in place.
    Outcome first;

    void note(Outcome outcome) {
        if (outcome.status == Outcome::Status::failed && first.status != Outcome::Status::failed)
            first = std::move(outcome);
    }
};

// Removes trees folder by folder without recursion, holding one descriptor at a time besides
// the caller's: the way down opens each folder by name without following links, the way back
// up opens ".." and checks it is the very folder that was left, so a tree moved meanwhile
// stops the removal instead of leading it elsewhere.
class TreeRemoval {
public:
    // `expected`, when given, is what the entry removed must be; a folder is checked on the
    // descriptor the walk goes down into.
    TreeRemoval(int parent, dev_t device, std::optional<Identity> expected)
        : parent_(parent), device_(device), expected_(expected) {}

    // What went before a failure still went: the outcome counts it in any case.
    Outcome remove(const std::string& name) {
        Outcome outcome = walk(name);
        outcome.bytes = bytes_;
        return outcome;
    }

private:
    Outcome walk(const std::string& name) {
        levels_.push_back(Level{{}, identityOf(parent_), {name}, 0, {}});
        while (!levels_.empty()) {
            if (levels_.back().next < levels_.back().names.size()) step();
            else if (!climb()) return Outcome::failed("was moved while being removed");
        }
        return vanished_ ? Outcome::missing() : std::move(result_);
    }

    int current() const { return levels_.size() == 1 ? parent_ : folder_.fd; }

    // Removes the next entry of the current folder, or goes down into it.
    void step() {
        Level& level = levels_.back();
        const std::string& name = level.names[level.next++];
        // Taken just before the unlink: whether this unlink takes the entry's last link, and so
        // its blocks, off the disk.
        struct stat st {};
        const bool known = ::fstatat(current(), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0;
        const int error = unlink(name);
        if (error == 0) {
            if (known && st.st_nlink == 1 && !S_ISDIR(st.st_mode)) bytes_ += std::int64_t(st.st_blocks) * 512;
            return;
        }
        if (error == ENOENT) return noteVanished();
        if (error != EISDIR) return level.note(Outcome::failedWith(error));
        if (levels_.size() > kMaxDepth) return level.note(Outcome::failed("is nested too deeply"));
        descend(name);
    }

    // 0 or the errno of unlinking an entry of the current folder. A read-only folder inside
    // the tree is opened up and the entry tried once more; the parent of the tree is never
    // changed.
    int unlink(const std::string& name) {
        if (::unlinkat(current(), name.c_str(), 0) == 0) return 0;
        const int error = errno;
        if (error != EACCES || levels_.size() == 1 || !openUp(folder_.fd)) return error;
        return ::unlinkat(current(), name.c_str(), 0) == 0 ? 0 : errno;
    }

    void descend(const std::string& name) {
        const int child = ::openat(current(), name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        // Swapped for a link or a file since the unlink: left alone.
        if (child < 0) return errno == ENOENT ? noteVanished() : levels_.back().note(Outcome::failedWith(errno));
        if (isOtherVolume(child, device_)) {
            ::close(child);
            return levels_.back().note(Outcome::failed(kOtherVolume));
        }
        if (levels_.size() == 1 && expected_ && identityOf(child) != *expected_) {
            ::close(child);
            return levels_.back().note(Outcome::failed(kChanged));
        }
        Listing listing = namesOf(child);
        folder_.reset(child);
        levels_.push_back(Level{name, identityOf(child), std::move(listing.names), 0, {}});
        if (!listing.ok()) levels_.back().note(Outcome::failed(listing.error));
    }

    // Leaves a folder that has been worked through, removing it when all of it went.
    bool climb() {
        Level done = std::move(levels_.back());
        levels_.pop_back();
        if (levels_.empty()) {
            result_ = std::move(done.first);
            return true;
        }
        if (levels_.size() > 1) {
            const int up = ::openat(folder_.fd, "..", O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
            folder_.reset(up);
            if (up < 0 || identityOf(up) != levels_.back().identity) return false;
        }
        if (done.first.status != Outcome::Status::failed &&
            ::unlinkat(current(), done.name.c_str(), AT_REMOVEDIR) != 0 && errno != ENOENT)
            done.note(Outcome::failedWith(errno));
        levels_.back().note(std::move(done.first));
        return true;
    }

    void noteVanished() {
        if (levels_.size() == 1) vanished_ = true;
    }

    int parent_;
    dev_t device_;
    std::optional<Identity> expected_;
    UniqueFd folder_{-1};
    std::vector<Level> levels_;
    Outcome result_;
    bool vanished_ = false;
    std::int64_t bytes_ = 0;
};

std::string openFailure(int error) {
    if (error == ELOOP) return "is a symbolic link";
    // openat2 answers so for a way out of the folder it started from.
    if (error == EXDEV) return "leads out of its folder";
    return Outcome::errorText(error);
}

// Removes `name` in the open folder `parent`, never crossing into another file system; with
// `expected`, only while it is that entry.
Outcome removeIn(int parent, const std::string& name, std::optional<Identity> expected = std::nullopt) {
    struct stat st {};
    if (::fstatat(parent, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return errno == ENOENT ? Outcome::missing() : Outcome::failedWith(errno);
    if (expected && Identity{st.st_dev, st.st_ino} != *expected) return Outcome::failed(kChanged);
    return TreeRemoval(parent, st.st_dev, expected).remove(name);
}

bool isName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.find_first_of(std::string("/\0", 2)) == std::string::npos;
}

bool isAtOrInside(const std::string& path, const std::string& folder) {
    return path.starts_with(folder) && (path.size() == folder.size() || path[folder.size()] == '/');
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
    return removeIn(parent.fd, name);
}

Folder::Folder(const std::string& path) : fd_(NoFollow::openFolder(path, O_RDONLY)) {
    if (!fd_.ok()) fail(-fd_.fd);
}

Folder::Folder(const std::string& home, const std::string& path) : fd_(-EINVAL) {
    if (home.empty() || home.find('\0') != std::string::npos || !isAtOrInside(path, home)) {
        error_ = "outside the home folder";
        return;
    }
    const UniqueFd top(::open(home.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (!top.ok()) {
        fail(errno);
        return;
    }
    fd_.reset(NoFollow::openBeneath(top.fd, path.size() == home.size() ? "" : path.substr(home.size() + 1), O_RDONLY));
    if (!fd_.ok()) fail(-fd_.fd);
}

Folder::Folder(const Folder& base, const std::string& relative) : fd_(-EINVAL) {
    if (!base.ok()) {
        error_ = base.error_;
        missing_ = base.missing_;
        return;
    }
    fd_.reset(NoFollow::openBeneath(base.fd_.fd, relative, O_RDONLY));
    if (!fd_.ok()) fail(-fd_.fd);
}

void Folder::fail(int error) {
    error_ = openFailure(error);
    missing_ = error == ENOENT || error == ENOTDIR;
}

std::optional<FileStatus> Folder::status() const {
    return statusOf(".");
}

std::optional<FileStatus> Folder::statusOf(const std::string& name) const {
    int error = 0;
    return ok() ? FileStatus::at(fd_.fd, name.c_str(), error) : std::nullopt;
}

Listing Folder::list() const {
    return ok() ? namesOf(fd_.fd) : Listing{{}, error_};
}

Outcome Folder::remove(const std::string& name) const {
    if (!isName(name)) return Outcome::failed("not a removable path");
    if (!ok()) return Outcome::failed(error_);
    return removeIn(fd_.fd, name);
}

Outcome Folder::remove(const std::string& name, std::uint64_t device, std::uint64_t inode) const {
    if (!isName(name)) return Outcome::failed("not a removable path");
    if (!ok()) return Outcome::failed(error_);
    return removeIn(fd_.fd, name, Identity{dev_t(device), ino_t(inode)});
}

Outcome Folder::removeBelow(const std::string& relative) const {
    const auto slash = relative.rfind('/');
    if (slash == std::string::npos) return remove(relative);
    const Folder parent(*this, relative.substr(0, slash));
    if (parent.missing()) return Outcome::missing();
    if (!parent.ok())
        return Outcome::failed(parent.error() == "is a symbolic link" ? "a folder above it is a symbolic link"
                                                                       : parent.error());
    return parent.remove(relative.substr(slash + 1));
}

} // namespace tidra::sys::SafeRemove
