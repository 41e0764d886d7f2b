#pragma once

#include <chrono>
#include <string>

namespace tidra::sys {

// An exclusive advisory lock (flock) on a lock file, held for the life of the object. The
// lock file is created when missing and left in place: removing it would let a later locker
// lock a different file than one already waiting. Separate FileLock objects exclude each
// other across processes and across threads of one process alike. The kernel drops the lock
// when its holder dies, so a crashed holder never blocks anyone for good.
class FileLock {
public:
    // Waits at most `timeout` for the lock; check `held()` afterwards.
    FileLock(const std::string& path, std::chrono::milliseconds timeout);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    bool held() const { return held_; }
    // Why the lock is not held: an error text, or "timed out"; empty when held.
    const std::string& error() const { return error_; }

private:
    int fd_ = -1;
    bool held_ = false;
    std::string error_;
};

} // namespace tidra::sys
