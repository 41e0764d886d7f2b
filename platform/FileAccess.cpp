#include "platform/FileAccess.h"

#include "platform/PathText.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace tidra::sys {
namespace {

std::string parentOf(const std::string& path) {
    const auto parent = PathText::parentFolder(path);
    return parent.empty() ? "." : std::string(parent);
}

bool canSearchAndWrite(const std::string& path) {
    return ::access(path.c_str(), W_OK | X_OK) == 0;
}

} // namespace

bool entryExists(const std::string& path) {
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0;
}

int entryError(const std::string& path) {
    struct stat st;
    if (::lstat(path.c_str(), &st) == 0) return 0;
    return errno == ENOTDIR ? ENOENT : errno;
}

std::optional<std::uint64_t> mountId(const std::string& path) {
    struct statx sx {};
    if (::statx(AT_FDCWD, path.c_str(), AT_SYMLINK_NOFOLLOW, STATX_MNT_ID, &sx) != 0) return std::nullopt;
    if (!(sx.stx_mask & STATX_MNT_ID)) return std::nullopt;
    return sx.stx_mnt_id;
}

bool isDirectoryNoFollow(const std::string& path) {
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool isSymbolicLink(const std::string& path) {
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

bool existsFollowingLinks(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0;
}

bool isExecutableFile(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

bool isWritable(const std::string& path) {
    return ::access(path.c_str(), W_OK) == 0;
}

bool isDeletable(const std::string& path) {
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0) return false;
    const std::string parent = parentOf(path);
    struct stat parentStat;
    if (::stat(parent.c_str(), &parentStat) != 0 || !canSearchAndWrite(parent)) return false;
    const uid_t me = ::geteuid();
    // In a sticky folder (such as /tmp) only the owner of the entry or of the folder may unlink.
    if ((parentStat.st_mode & S_ISVTX) && me != 0 && st.st_uid != me && parentStat.st_uid != me)
        return false;
    return !S_ISDIR(st.st_mode) || canSearchAndWrite(path);
}

std::optional<std::vector<std::string>> folderEntries(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    DIR* dir = ::fdopendir(fd);
    if (!dir) {
        ::close(fd);
        return std::nullopt;
    }
    std::vector<std::string> names;
    errno = 0;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view name = entry->d_name;
        if (name != "." && name != "..") names.emplace_back(name);
        errno = 0;
    }
    const bool failed = errno != 0;
    ::closedir(dir);
    if (failed) return std::nullopt;
    return names;
}

bool canList(const std::string& folder) { return folderEntries(folder).has_value(); }

std::optional<std::string> realPath(const std::string& path) {
    // With no buffer the answer is allocated to its length, so no PATH_MAX buffer can be short.
    char* resolved = ::realpath(path.c_str(), nullptr);
    if (!resolved) return std::nullopt;
    std::string real(resolved);
    std::free(resolved);
    return real;
}

} // namespace tidra::sys
