#include "platform/SmallFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace tidra::sys {
namespace {

int readAll(int fd, std::size_t maximumBytes, std::string& bytes) {
    struct stat st;
    if (::fstat(fd, &st) != 0) return errno;
    if (!S_ISREG(st.st_mode)) return EINVAL;
    if (std::size_t(st.st_size) > maximumBytes) return EFBIG;
    char buffer[65536];
    for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) != 0;) {
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return errno;
        // The file may have grown since fstat.
        if (bytes.size() + std::size_t(n) > maximumBytes) return EFBIG;
        bytes.append(buffer, std::size_t(n));
    }
    return 0;
}

} // namespace

std::optional<std::string> readSmallFile(const std::string& path, std::size_t maximumBytes, int* error) {
    std::string bytes;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    const int failure = fd < 0 ? errno : readAll(fd, maximumBytes, bytes);
    if (fd >= 0) ::close(fd);
    if (error) *error = failure;
    if (failure != 0) return std::nullopt;
    return bytes;
}

} // namespace tidra::sys
