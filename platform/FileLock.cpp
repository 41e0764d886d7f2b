#include "platform/FileLock.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <thread>
#include <unistd.h>

namespace tidra::sys {

FileLock::FileLock(const std::string& path, std::chrono::milliseconds timeout) {
    fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644);
    if (fd_ < 0) {
        error_ = std::strerror(errno);
        return;
    }
    // Polling instead of a blocking flock keeps a stuck holder from hanging us.
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
        if (errno != EWOULDBLOCK && errno != EINTR) {
            error_ = std::strerror(errno);
            return;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            error_ = "timed out";
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    held_ = true;
}

FileLock::~FileLock() {
    // Closing the descriptor releases the lock.
    if (fd_ >= 0) ::close(fd_);
}

} // namespace tidra::sys
