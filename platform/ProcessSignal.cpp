#include "platform/ProcessSignal.h"

#include "platform/ProcReader.h"

#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>

namespace tidra::sys::ProcessSignal {
namespace {

// Closes the pidfd on every way out.
class PidFd {
public:
    explicit PidFd(pid_t pid) : fd_(int(::syscall(SYS_pidfd_open, pid, 0))) {}
    ~PidFd() {
        if (fd_ >= 0) ::close(fd_);
    }
    PidFd(const PidFd&) = delete;
    PidFd& operator=(const PidFd&) = delete;

    int get() const { return fd_; }

private:
    int fd_;
};

Outcome outcomeOf(int error) {
    switch (error) {
    case ESRCH: return Outcome::gone;
    case EPERM: return Outcome::notPermitted;
    default: return Outcome::failed;
    }
}

int sendThrough(const PidFd& process, int signal) {
    return ::syscall(SYS_pidfd_send_signal, process.get(), signal, nullptr, 0) == 0 ? 0 : errno;
}

// The start time could not be read: most often the process ended in between, but a proc
// mounted with hidepid hides live processes too, and those must not count as stopped.
Outcome unverified(const PidFd& process) {
    const int error = sendThrough(process, 0);
    return error == 0 ? Outcome::failed : outcomeOf(error);
}

} // namespace

Outcome send(pid_t pid, int signal, const ProcReader& reader,
             const std::function<bool(std::uint64_t startTicks)>& isExpected) {
    if (pid < 1) return Outcome::failed;
    const PidFd process(pid);
    if (process.get() < 0) return outcomeOf(errno);
    const auto stat = reader.stat(pid);
    if (!stat) return unverified(process);
    if (!isExpected(stat->startTicks)) return Outcome::replaced;
    const int error = sendThrough(process, signal);
    return error == 0 ? Outcome::sent : outcomeOf(error);
}

} // namespace tidra::sys::ProcessSignal
