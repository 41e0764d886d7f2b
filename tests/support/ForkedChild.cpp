#include "support/ForkedChild.h"

#include <poll.h>
#include <signal.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tidra::test {
namespace {

void writeAll(int fd, const std::string& data) {
    for (std::size_t done = 0; done < data.size();) {
        const ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n <= 0) return;
        done += std::size_t(n);
    }
}

std::string readAll(int fd) {
    std::string data;
    char buffer[4096];
    for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) > 0;) data.append(buffer, std::size_t(n));
    return data;
}

} // namespace

std::string runInChild(const std::function<std::string()>& fn) {
    int fds[2];
    if (::pipe(fds) != 0) return "<child failed: pipe>";
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(fds[0]);
        writeAll(fds[1], fn());
        ::close(fds[1]);
        ::_exit(0);
    }
    ::close(fds[1]);
    const std::string answer = pid > 0 ? readAll(fds[0]) : std::string();
    ::close(fds[0]);
    int status = 0;
    if (pid < 0 || ::waitpid(pid, &status, 0) != pid) return "<child failed: fork>";
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return "<child failed: status " + std::to_string(status) + ">";
    return answer;
}

std::optional<int> waitForChild(pid_t child, std::chrono::milliseconds limit) {
    // A pidfd turns readable when the process ends: a bounded wait with no polling loop.
    const int fd = int(::syscall(SYS_pidfd_open, child, 0));
    bool ended = false;
    if (fd >= 0) {
        pollfd entry{fd, POLLIN, 0};
        ended = ::poll(&entry, 1, int(limit.count())) == 1;
        ::close(fd);
    }
    if (!ended) ::kill(child, SIGKILL);
    int status = 0;
    if (::waitpid(child, &status, 0) != child) return std::nullopt;
    return ended ? std::optional(status) : std::nullopt;
}

} // namespace tidra::test
