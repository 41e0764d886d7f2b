#include "platform/FileDetails.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace tidra::sys {
namespace {

constexpr unsigned detailFields = STATX_TYPE | STATX_INO | STATX_NLINK | STATX_SIZE | STATX_BLOCKS | STATX_MTIME | STATX_BTIME;

std::int64_t nanoseconds(const struct statx_timestamp& time) {
    return std::int64_t(time.tv_sec) * 1'000'000'000 + std::int64_t(time.tv_nsec);
}

} // namespace

std::optional<FileDetails> FileDetails::of(const std::string& path) { return at(AT_FDCWD, path.c_str()); }

std::optional<FileDetails> FileDetails::at(int folder, const char* name) {
    struct statx st{};
    if (::statx(folder, name, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT, detailFields, &st) != 0) return std::nullopt;
    FileDetails details;
    details.isRegular = S_ISREG(st.stx_mode);
    details.device = makedev(st.stx_dev_major, st.stx_dev_minor);
    details.inode = st.stx_ino;
    details.linkCount = std::int64_t(st.stx_nlink);
    details.length = std::int64_t(st.stx_size);
    details.allocatedBytes = std::int64_t(st.stx_blocks) * 512;
    details.modifiedNanoseconds = nanoseconds(st.stx_mtime);
    // tmpfs and older file systems keep no birth time.
    const bool hasBirth = (st.stx_mask & STATX_BTIME) != 0;
    details.createdNanoseconds = hasBirth ? nanoseconds(st.stx_btime) : details.modifiedNanoseconds;
    return details;
}

} // namespace tidra::sys
