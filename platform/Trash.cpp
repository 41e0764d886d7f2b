#include "platform/Trash.h"

#include "platform/NoFollow.h"
#include "platform/PathText.h"
#include "platform/UniqueFd.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <ctime>
#include <optional>

namespace tidra::sys::Trash {
namespace {

// Room left in a name for ".trashinfo" within the 255-byte limit of a file name.
constexpr std::size_t kMaxTrashName = 255 - 10;
constexpr int kMaxAttempts = 10000;

// Opens the folder `name` in `parent`, making it with mode 0700 when missing. The descriptor,
// or -errno.
int openOrMake(int parent, const char* name, bool followLink = false) {
    if (::mkdirat(parent, name, 0700) != 0 && errno != EEXIST) return -errno;
    const int fd = ::openat(parent, name, O_RDONLY | O_DIRECTORY | O_CLOEXEC | (followLink ? 0 : O_NOFOLLOW));
    return fd >= 0 ? fd : -errno;
}

dev_t deviceOf(int fd) {
    struct stat st {};
    return ::fstat(fd, &st) == 0 ? st.st_dev : dev_t(-1);
}

// The home trash folder, made as needed: the descriptor or -errno. Links the user put on the
// way (a linked ~/.local is common) are followed: it stays their Trash, and the move checks
// afterwards that it lies on the item's own file system.
int openHomeTrash(const std::string& home) {
    UniqueFd folder(NoFollow::openFolder(home, O_PATH));
    if (!folder.ok()) return folder.fd;
    for (const char* name : {".local", "share"}) {
        const int next = openOrMake(folder.fd, name, true);
        if (next < 0) return next;
        ::close(folder.fd);
        folder.fd = next;
    }
    return openOrMake(folder.fd, "Trash", true);
}

bool isMountRoot(const std::string& path) {
    struct statx sx {};
    if (::statx(AT_FDCWD, path.c_str(), AT_SYMLINK_NOFOLLOW, STATX_BASIC_STATS, &sx) != 0) return false;
    return (sx.stx_attributes_mask & STATX_ATTR_MOUNT_ROOT) && (sx.stx_attributes & STATX_ATTR_MOUNT_ROOT);
}

// The top folder of the file system holding `folder` (a path without links).
std::string topFolder(std::string folder) {
    while (folder != "/" && !isMountRoot(folder)) folder = PathText::parentFolder(folder);
    return folder;
}

// `$topdir/.Trash-$uid` for an entry on device `device` below `parentPath`; made with mode
// 0700 when missing, used only when it is a real folder of ours that no one else may enter.
std::string volumeTrashName() {
    return ".Trash-" + std::to_string(::getuid());
}

std::string volumeTrashPath(const std::string& parentPath) {
    const std::string top = topFolder(parentPath);
    return (top == "/" ? "" : top) + "/" + volumeTrashName();
}

int openVolumeTrash(const std::string& parentPath, dev_t device, std::string& error) {
    UniqueFd top(NoFollow::openFolder(topFolder(parentPath), O_PATH));
    const std::string name = volumeTrashName();
    const int fd = top.ok() ? openOrMake(top.fd, name.c_str()) : top.fd;
    if (fd < 0) {
        error = "is on another volume whose trash folder cannot be made (" + Outcome::errorText(-fd) + ")";
        return -1;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || st.st_uid != ::getuid() || (st.st_mode & 077) != 0 || st.st_dev != device) {
        ::close(fd);
        error = "is on another volume whose trash folder is not safe to use";
        return -1;
    }
    return fd;
}

std::string deletionDate() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &local);
    return text;
}

std::string trashName(const std::string& name, int attempt) {
    // Built by appending: g++ 12 in Release sees a false overlap in `"." + std::string`.
    std::string suffix;
    if (attempt > 0) suffix.append(".").append(std::to_string(attempt + 1));
    std::string trashed = name.substr(0, kMaxTrashName - suffix.size());
    trashed += suffix;
    return trashed;
}

bool writeAll(int fd, const std::string& data) {
    for (std::size_t done = 0; done < data.size();) {
        const ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n <= 0) return false;
        done += std::size_t(n);
    }
    return true;
}

// The open folders one move works between.
struct Move {
    int parent;
    std::string name;
    int files;
    int info;
    std::string record;
};

// One attempt under one trash name: the record first, exclusively, then the rename. Empty
// optional: the name is taken, try the next.
std::optional<Outcome> attempt(const Move& move, const std::string& trashed) {
    const std::string recordName = trashed + ".trashinfo";
    UniqueFd record(::openat(move.info, recordName.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (!record.ok()) return errno == EEXIST ? std::nullopt : std::optional(Outcome::failedWith(errno));
    if (!writeAll(record.fd, move.record)) {
        const int error = errno;
        ::unlinkat(move.info, recordName.c_str(), 0);
        return Outcome::failedWith(error);
    }
    if (::renameat2(move.parent, move.name.c_str(), move.files, trashed.c_str(), RENAME_NOREPLACE) == 0)
        return Outcome::done();
    const int error = errno;
    ::unlinkat(move.info, recordName.c_str(), 0);
    if (error == EEXIST) return std::nullopt;
    if (error == ENOENT) return Outcome::missing();
    return Outcome::failedWith(error);
}

// Moves into the trash folder open as `trash` at `trashPath`; `trashed` learns where the
// entry landed when this call moved it.
Outcome moveInto(int trash, const std::string& trashPath, const Move& partial, std::string& trashed) {
    UniqueFd files(openOrMake(trash, "files"));
    UniqueFd info(openOrMake(trash, "info"));
    if (!files.ok() || !info.ok()) return Outcome::failedWith(files.ok() ? -info.fd : -files.fd);
    Move move = partial;
    move.files = files.fd;
    move.info = info.fd;
    for (int i = 0; i < kMaxAttempts; ++i) {
        const std::string name = trashName(move.name, i);
        auto outcome = attempt(move, name);
        if (!outcome) continue;
        if (outcome->status == Outcome::Status::done) trashed = trashPath + "/files/" + name;
        return *outcome;
    }
    return Outcome::failed("no free name in the Trash");
}

} // namespace

std::string encodePath(const std::string& path) {
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    for (const unsigned char c : path) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                           c == '-' || c == '.' || c == '_' || c == '~' || c == '/';
        if (plain) out += char(c);
        else out += {'%', hex[c >> 4], hex[c & 15]};
    }
    return out;
}

std::string record(const std::string& originalPath) {
    return "[Trash Info]\nPath=" + encodePath(originalPath) + "\nDeletionDate=" + deletionDate() + "\n";
}

Outcome move(const std::string& path, const std::string& home) {
    std::string trashed;
    return move(path, home, trashed);
}

Outcome move(const std::string& path, const std::string& home, std::string& trashed) {
    trashed.clear();
    std::string parentPath, name;
    if (!NoFollow::split(path, parentPath, name)) return Outcome::failed("not a path that can be trashed");
    UniqueFd parent(NoFollow::openFolder(parentPath, O_PATH));
    if (parent.fd == -ENOENT) return Outcome::missing();
    if (!parent.ok())
        return Outcome::failed(parent.fd == -ELOOP ? "a folder above it is a symbolic link"
                                                   : Outcome::errorText(-parent.fd));
    struct stat st {};
    if (::fstatat(parent.fd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return errno == ENOENT ? Outcome::missing() : Outcome::failedWith(errno);

    const Move move{parent.fd, name, -1, -1, record(path)};
    UniqueFd homeTrash(openHomeTrash(home));
    if (!homeTrash.ok()) return Outcome::failed("the Trash cannot be made (" + Outcome::errorText(-homeTrash.fd) + ")");
    if (deviceOf(homeTrash.fd) == st.st_dev) return moveInto(homeTrash.fd, home + "/.local/share/Trash", move, trashed);
    std::string error;
    UniqueFd volumeTrash(openVolumeTrash(parentPath, st.st_dev, error));
    if (!volumeTrash.ok()) return Outcome::failed(error);
    return moveInto(volumeTrash.fd, volumeTrashPath(parentPath), move, trashed);
}

} // namespace tidra::sys::Trash
