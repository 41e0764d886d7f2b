#pragma once

#include <unistd.h>

namespace tidra::sys {

// Owns a file descriptor (or a negative error value) and closes it when it goes.
struct UniqueFd {
    int fd;
    explicit UniqueFd(int value) : fd(value) {}
    ~UniqueFd() {
        if (fd >= 0) ::close(fd);
    }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;
    bool ok() const { return fd >= 0; }
    // Closes the one held and takes `value` in its place.
    void reset(int value) {
        if (fd >= 0) ::close(fd);
        fd = value;
    }
};

} // namespace tidra::sys
