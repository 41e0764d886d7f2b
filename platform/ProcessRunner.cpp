#include "platform/ProcessRunner.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <thread>

namespace tidra::sys::ProcessRunner {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// Once the pipes are closed the only thing left to notice is the child's exit.
constexpr milliseconds exitTick{10};
// How long reading goes on after SIGKILL, for a grandchild that left the group.
constexpr milliseconds abandonAfterKill{1000};
// Longer limits mean "no limit"; capping them keeps the clock arithmetic from overflowing.
constexpr milliseconds longestLimit = std::chrono::hours(24 * 365);

struct Child {
    pid_t pid = -1;
    int output = -1;
    int error = -1;
};

bool holdsNul(const std::string& text) { return text.find('\0') != std::string::npos; }

// argv/envp views over strings the caller keeps alive.
std::vector<char*> cStrings(const std::vector<std::string>& strings, const std::string* first = nullptr) {
    std::vector<char*> out;
    if (first) out.push_back(const_cast<char*>(first->c_str()));
    for (const auto& s : strings) out.push_back(const_cast<char*>(s.c_str()));
    out.push_back(nullptr);
    return out;
}

void closePair(int fds[2]) {
    ::close(fds[0]);
    ::close(fds[1]);
}

int spawnWithPipes(const Request& request, int out[2], int err[2], pid_t& pid) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_adddup2(&actions, err[1], 2);

    // Signal dispositions and the mask of the calling thread must not leak into the tool.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none, all;
    sigemptyset(&none);
    sigfillset(&all);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &all);
    posix_spawnattr_setpgroup(&attributes, 0);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    const auto argv = cStrings(request.arguments, &request.tool);
    const auto envp = cStrings(request.environment);
    const int rc = ::posix_spawn(&pid, request.tool.c_str(), &actions, &attributes, argv.data(), envp.data());
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    return rc;
}

std::optional<Child> spawn(const Request& request) {
    // A NUL byte would silently cut an argument short; such a call cannot be carried out as asked.
    if (!request.tool.starts_with('/') || holdsNul(request.tool)) return std::nullopt;
    if (std::ranges::any_of(request.arguments, holdsNul) || std::ranges::any_of(request.environment, holdsNul))
        return std::nullopt;
    int out[2], err[2];
    if (::pipe2(out, O_CLOEXEC) != 0) return std::nullopt;
    if (::pipe2(err, O_CLOEXEC) != 0) {
        closePair(out);
        return std::nullopt;
    }
    pid_t pid = -1;
    const int rc = spawnWithPipes(request, out, err, pid);
    ::close(out[1]);
    ::close(err[1]);
    if (rc != 0) {
        ::close(out[0]);
        ::close(err[0]);
        return std::nullopt;
    }
    return Child{pid, out[0], err[0]};
}

// Peeks without reaping: a zombie keeps the pid and the group id from being reused, so
// signalling the group stays safe until the very end.
bool hasExited(pid_t pid) {
    siginfo_t info{};
    while (::waitid(P_PID, id_t(pid), &info, WEXITED | WNOHANG | WNOWAIT) != 0)
        if (errno != EINTR) return true;
    return info.si_pid == pid;
}

int reap(pid_t pid) {
    int raw = 0;
    while (::waitpid(pid, &raw, 0) < 0)
        if (errno != EINTR) return -1;
    if (WIFSIGNALED(raw)) return WTERMSIG(raw);
    return WEXITSTATUS(raw);
}

// Reads what is ready on one stream; closes it at end-of-file or on a read error.
void drain(pollfd& stream, std::string& sink) {
    if (stream.fd < 0 || !(stream.revents & (POLLIN | POLLHUP | POLLERR))) return;
    char buffer[65536];
    const ssize_t n = ::read(stream.fd, buffer, sizeof buffer);
    if (n > 0) {
        sink.append(buffer, std::size_t(n));
    } else if (n == 0 || (errno != EINTR && errno != EAGAIN)) {
        ::close(stream.fd);
        stream.fd = -1;
    }
}

int pollTimeout(Clock::time_point next, bool pipesOpen) {
    auto wait = std::chrono::ceil<milliseconds>(next - Clock::now());
    wait = std::clamp(wait, milliseconds(0), milliseconds(60'000));
    if (!pipesOpen) wait = std::min(wait, exitTick);
    return int(wait.count());
}

// Escalates at the limit: SIGTERM to the group, SIGKILL after the grace period, then gives
// up on streams a detached grandchild may still hold.
class Deadline {
public:
    Deadline(const Request& request, pid_t group)
        : group_(group), termAt_(Clock::now() + std::min(request.timeout, longestLimit)),
          killAt_(termAt_ + std::min(request.grace, longestLimit)),
          abandonAt_(killAt_ + abandonAfterKill) {}

    // Sends whatever signal is due; false once the run should stop waiting.
    bool advance() {
        const auto now = Clock::now();
        if (stage_ == 0 && now >= termAt_) signal(SIGTERM);
        if (stage_ == 1 && now >= killAt_) signal(SIGKILL);
        return !(stage_ == 2 && now >= abandonAt_);
    }
    Clock::time_point next() const { return stage_ == 0 ? termAt_ : stage_ == 1 ? killAt_ : abandonAt_; }
    bool reached() const { return stage_ > 0; }

private:
    void signal(int number) {
        ::kill(-group_, number);
        ++stage_;
    }
    pid_t group_;
    int stage_ = 0;
    Clock::time_point termAt_, killAt_, abandonAt_;
};

Result collect(const Child& child, const Request& request) {
    Result result;
    Deadline deadline(request, child.pid);
    pollfd streams[2] = {{child.output, POLLIN, 0}, {child.error, POLLIN, 0}};
    for (;;) {
        const bool pipesOpen = streams[0].fd >= 0 || streams[1].fd >= 0;
        if (!pipesOpen && hasExited(child.pid)) break;
        if (!deadline.advance()) break;
        if (::poll(streams, 2, pollTimeout(deadline.next(), pipesOpen)) < 0 && errno != EINTR) break;
        drain(streams[0], result.standardOutput);
        drain(streams[1], result.standardError);
    }
    for (const auto& stream : streams)
        if (stream.fd >= 0) ::close(stream.fd);
    result.timedOut = deadline.reached();
    if (hasExited(child.pid)) {
        result.status = reap(child.pid);
    } else {
        // Stuck even after SIGKILL (uninterruptible sleep): reap it later rather than hang.
        std::thread([pid = child.pid] { reap(pid); }).detach();
        result.status = SIGKILL;
    }
    return result;
}

} // namespace

std::optional<Result> run(const Request& request) {
    const auto child = spawn(request);
    if (!child) return std::nullopt;
    return collect(*child, request);
}

} // namespace tidra::sys::ProcessRunner
