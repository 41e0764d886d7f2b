#include "platform/FileStore.h"

#include "platform/PathText.h"
#include "platform/SmallFile.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tidra::sys::FileStore {
namespace {

std::string reason(int error) { return std::strerror(error); }

std::string folderOf(const std::string& path) {
    const auto folder = PathText::parentFolder(path);
    return folder.empty() ? "." : std::string(folder);
}

bool writeAll(int fd, const std::string& data) {
    for (std::size_t done = 0; done < data.size();) {
        const ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += std::size_t(n);
    }
    return true;
}

// Unique within the machine: the pid separates processes, the counter threads and calls.
std::string temporaryName(const std::string& path) {
    static std::atomic<unsigned> counter{0};
    return path + ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
}

std::optional<std::string> writeFlushed(const std::string& temporary, const std::string& data) {
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0644);
    if (fd < 0) return reason(errno);
    // Without the fsync a crash right after the rename can leave an empty file behind.
    const bool ok = writeAll(fd, data) && ::fsync(fd) == 0;
    const int error = errno;
    if (::close(fd) != 0 && ok) return reason(errno);
    if (!ok) return reason(error);
    return std::nullopt;
}

void flushFolder(const std::string& path) {
    const int fd = ::open(folderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

} // namespace

Contents read(const std::string& path, std::size_t maximumBytes) {
    int error = 0;
    auto data = readSmallFile(path, maximumBytes, &error);
    if (data) return {Contents::Status::ok, std::move(*data), {}};
    if (error == ENOENT || error == ENOTDIR) return {};
    if (error == EINVAL) return {Contents::Status::failed, {}, "not a regular file"};
    if (error == EFBIG) return {Contents::Status::failed, {}, "too large"};
    return {Contents::Status::failed, {}, reason(error)};
}

std::optional<std::string> writeAtomically(const std::string& path, const std::string& data,
                                           const std::function<std::optional<std::string>()>& beforeReplace) {
    const std::string temporary = temporaryName(path);
    auto failure = writeFlushed(temporary, data);
    if (!failure && beforeReplace) failure = beforeReplace();
    if (failure) {
        ::unlink(temporary.c_str());
        return failure;
    }
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        const int error = errno;
        ::unlink(temporary.c_str());
        return reason(error);
    }
    flushFolder(path);
    return std::nullopt;
}

std::optional<std::string> renameNoReplace(const std::string& from, const std::string& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return std::nullopt;
    if (errno == EEXIST) return "exists";
    if (errno != EINVAL && errno != ENOSYS) return reason(errno);
    // File systems without RENAME_NOREPLACE: a hard link fails on an existing name just the same.
    if (::link(from.c_str(), to.c_str()) != 0) return errno == EEXIST ? "exists" : reason(errno);
    ::unlink(from.c_str());
    return std::nullopt;
}

bool makeFolders(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0) return S_ISDIR(info.st_mode);
    if (path.empty() || path == "/") return false;
    const std::string parent = folderOf(path);
    if (parent != path && !makeFolders(parent)) return false;
    return ::mkdir(path.c_str(), 0755) == 0 || errno == EEXIST;
}

} // namespace tidra::sys::FileStore
