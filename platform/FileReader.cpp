#include "platform/FileReader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace tidra::sys {

FileReader::~FileReader() {
    if (descriptor_ >= 0) ::close(descriptor_);
}

bool FileReader::open(const std::string& path, bool sequential) {
    // Non-blocking so that a FIFO swapped in since the listing cannot hang the open; anything
    // but a regular file (a device that never ends) is refused.
    descriptor_ = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (descriptor_ < 0) return false;
    struct stat st{};
    if (::fstat(descriptor_, &st) != 0 || !S_ISREG(st.st_mode)) return false;
    if (sequential) ::posix_fadvise(descriptor_, 0, 0, POSIX_FADV_SEQUENTIAL);
    return true;
}

std::int64_t FileReader::read(std::int64_t offset, unsigned char* buffer, std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
        const ssize_t got = ::pread(descriptor_, buffer + done, size - done, off_t(offset) + off_t(done));
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return -1;
        if (got == 0) break;
        done += std::size_t(got);
    }
    return std::int64_t(done);
}

} // namespace tidra::sys
