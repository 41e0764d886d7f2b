#include "platform/RegularFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace tidra::sys {

std::optional<std::string> readRegularFile(const std::string& path, std::size_t maximumBytes) {
    // O_NONBLOCK keeps the open itself from waiting on a FIFO; the type check then skips it.
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return std::nullopt;
    struct stat status {};
    std::optional<std::string> bytes;
    if (fstat(fd, &status) == 0 && S_ISREG(status.st_mode) &&
        static_cast<std::size_t>(status.st_size) <= maximumBytes) {
        std::string content(static_cast<std::size_t>(status.st_size), '\0');
        std::size_t done = 0;
        ssize_t got = 0;
        while (done < content.size() &&
               ((got = read(fd, content.data() + done, content.size() - done)) > 0 || (got < 0 && errno == EINTR)))
            if (got > 0) done += static_cast<std::size_t>(got);
        if (got >= 0) {
            content.resize(done);
            bytes = std::move(content);
        }
    }
    close(fd);
    return bytes;
}

} // namespace tidra::sys
