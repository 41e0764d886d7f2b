#include "platform/FileStatus.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <cerrno>

namespace tidra::sys {
namespace {

constexpr unsigned statusFields = STATX_TYPE | STATX_INO | STATX_NLINK | STATX_BLOCKS | STATX_MTIME;
constexpr int noFollow = AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT;

FileStatus::Type typeOfMode(unsigned mode) {
    if (S_ISREG(mode)) return FileStatus::Type::regular;
    if (S_ISDIR(mode)) return FileStatus::Type::directory;
    if (S_ISLNK(mode)) return FileStatus::Type::symlink;
    return FileStatus::Type::other;
}

FileStatus fromStatx(const struct statx& st) {
    FileStatus status;
    status.type = typeOfMode(st.stx_mode);
    status.device = makedev(st.stx_dev_major, st.stx_dev_minor);
    status.inode = st.stx_ino;
    status.linkCount = st.stx_nlink;
    status.allocatedBytes = std::int64_t(st.stx_blocks) * 512;
    status.modified = st.stx_mtime.tv_sec;
    return status;
}

} // namespace

std::optional<FileStatus> FileStatus::of(const std::string& path) {
    int error = 0;
    return at(AT_FDCWD, path.c_str(), error);
}

std::optional<FileStatus> FileStatus::at(int folder, const char* name, int& error) {
    struct statx st{};
    if (::statx(folder, name, noFollow, statusFields, &st) != 0) {
        error = errno;
        return std::nullopt;
    }
    return fromStatx(st);
}

std::optional<std::uint64_t> FileStatus::deviceOf(int descriptor) {
    struct stat st{};
    if (::fstat(descriptor, &st) != 0) return std::nullopt;
    return std::uint64_t(st.st_dev);
}

} // namespace tidra::sys
