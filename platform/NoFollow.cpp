#include "platform/NoFollow.h"

#include "platform/PathText.h"

#include <fcntl.h>
#include <linux/openat2.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

namespace tidra::sys::NoFollow {
namespace {

// The kernel stops reading a path at a NUL byte, so a path holding one names something other
// than the text that was judged: "<dir>/..\0" would act on the folder above <dir>.
bool isUsable(const std::string& path) {
    return !path.empty() && path[0] == '/' && path.find('\0') == std::string::npos;
}

// Refuses a link at any place, the last one included (ELOOP).
int openWithoutLinks(int from, const char* path, int flags, std::uint64_t resolve) {
    open_how how{};
    how.flags = std::uint64_t(flags | O_DIRECTORY | O_CLOEXEC);
    how.resolve = resolve | RESOLVE_NO_SYMLINKS | RESOLVE_NO_MAGICLINKS;
    // No libc wrapper for openat2 on this system yet.
    const long fd = ::syscall(SYS_openat2, from, path, &how, sizeof how);
    return fd >= 0 ? int(fd) : -errno;
}

} // namespace

int openFolder(const std::string& path, int flags) {
    if (!isUsable(path)) return -EINVAL;
    return openWithoutLinks(AT_FDCWD, path.c_str(), flags, 0);
}

int openBeneath(int folder, const std::string& relative, int flags) {
    if (relative.find('\0') != std::string::npos || relative.starts_with('/')) return -EINVAL;
    return openWithoutLinks(folder, relative.empty() ? "." : relative.c_str(), flags, RESOLVE_BENEATH);
}

bool split(const std::string& path, std::string& parent, std::string& name) {
    if (!isUsable(path)) return false;
    name = PathText::lastComponent(path);
    parent = PathText::parentFolder(path);
    return !name.empty() && name != "." && name != "..";
}

} // namespace tidra::sys::NoFollow
