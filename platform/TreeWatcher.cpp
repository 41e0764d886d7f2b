#include "platform/TreeWatcher.h"

#include "platform/PathText.h"

#include <dirent.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <system_error>

namespace tidra::sys {
namespace {

constexpr std::uint32_t eventMask =
    IN_CREATE | IN_DELETE | IN_MODIFY | IN_ATTRIB | IN_MOVED_FROM | IN_MOVED_TO | IN_EXCL_UNLINK;

using PathText::isAtOrInside;

bool isFolderEntry(const std::string& parent, const dirent& entry) {
    if (entry.d_type != DT_UNKNOWN) return entry.d_type == DT_DIR;
    struct stat status {};
    const std::string path = parent + "/" + entry.d_name;
    return lstat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

} // namespace

TreeWatcher::TreeWatcher(const std::vector<std::string>& roots, std::set<std::string> skippedNames,
                         std::chrono::milliseconds latency, Receiver receive)
    : skippedNames_(std::move(skippedNames)), latency_(latency), receive_(std::move(receive)) {
    inotify_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    wake_ = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (inotify_ < 0 || wake_ < 0) return;
    for (const auto& root : roots) watchTree(root);
    try {
        reader_ = std::thread([this] { readLoop(); });
    } catch (const std::system_error&) {
        // No thread, no watcher: running() tells the owner.
    }
}

TreeWatcher::~TreeWatcher() {
    if (reader_.joinable()) {
        const std::uint64_t one = 1;
        // An eventfd write of 1 cannot fail short of a counter overflow we never approach.
        [[maybe_unused]] auto written = write(wake_, &one, sizeof one);
        reader_.join();
    }
    if (inotify_ >= 0) close(inotify_);
    if (wake_ >= 0) close(wake_);
}

void TreeWatcher::watchTree(const std::string& root, Pending* found) {
    std::vector<std::string> stack{root};
    while (!stack.empty() && !full_) {
        const std::string folder = std::move(stack.back());
        stack.pop_back();
        if (!watchFolder(folder)) continue;
        DIR* dir = opendir(folder.c_str());
        if (!dir) continue;
        while (const dirent* entry = readdir(dir)) {
            const std::string name = entry->d_name;
            if (name == "." || name == ".." || skippedNames_.count(name)) continue;
            if (found) found->paths.insert(folder + "/" + name);
            if (isFolderEntry(folder, *entry)) stack.push_back(folder + "/" + name);
        }
        closedir(dir);
    }
}

bool TreeWatcher::watchFolder(const std::string& path) {
    const int watch = inotify_add_watch(inotify_, path.c_str(), eventMask | IN_ONLYDIR | IN_DONT_FOLLOW);
    if (watch < 0) {
        // Out of watches: keep what is watched and stop trying, every further call would fail.
        if (errno == ENOSPC) full_ = true;
        return false;
    }
    folders_[watch] = path;
    return true;
}

void TreeWatcher::forgetTree(const std::string& root) {
    for (auto it = folders_.begin(); it != folders_.end();) {
        if (!isAtOrInside(it->second, root)) {
            ++it;
            continue;
        }
        inotify_rm_watch(inotify_, it->first);
        it = folders_.erase(it);
    }
}

void TreeWatcher::readLoop() {
    using Clock = std::chrono::steady_clock;
    Pending pending;
    Clock::time_point deadline{};
    for (;;) {
        int timeout = -1;
        if (!pending.empty()) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
            timeout = static_cast<int>(std::max<std::int64_t>(0, left.count()));
        }
        pollfd fds[2] = {{wake_, POLLIN, 0}, {inotify_, POLLIN, 0}};
        if (poll(fds, 2, timeout) < 0 && errno != EINTR) return;
        if (fds[0].revents) return;
        if (fds[1].revents & (POLLERR | POLLNVAL)) return;
        if (fds[1].revents & POLLIN) {
            const bool opening = pending.empty();
            readEvents(pending);
            if (opening && !pending.empty()) deadline = Clock::now() + latency_;
        }
        if (!pending.empty() && Clock::now() >= deadline) {
            receive_(Batch{{pending.paths.begin(), pending.paths.end()}, pending.overflowed});
            pending = {};
        }
    }
}

void TreeWatcher::readEvents(Pending& pending) {
    alignas(inotify_event) char buffer[64 * 1024];
    for (;;) {
        const ssize_t length = read(inotify_, buffer, sizeof buffer);
        if (length <= 0) return;
        for (ssize_t offset = 0; offset < length;) {
            inotify_event event;
            std::memcpy(&event, buffer + offset, sizeof event);
            const char* name = buffer + offset + sizeof event;
            takeEvent(event.wd, event.mask, event.len ? std::string(name, strnlen(name, event.len)) : std::string(),
                      pending);
            offset += static_cast<ssize_t>(sizeof event + event.len);
        }
    }
}

void TreeWatcher::takeEvent(int watch, std::uint32_t mask, const std::string& name, Pending& pending) {
    if (mask & IN_Q_OVERFLOW) {
        pending.overflowed = true;
        return;
    }
    const auto found = folders_.find(watch);
    if (found == folders_.end()) return;
    if (mask & IN_IGNORED) {
        folders_.erase(found);
        return;
    }
    const std::string path = name.empty() ? found->second : found->second + "/" + name;
    if ((mask & IN_ISDIR) && !skippedNames_.count(name)) {
        // A folder renamed away keeps its watch under the old path; drop it so events inside
        // are not filed under a name that no longer exists.
        if (mask & IN_MOVED_FROM) forgetTree(path);
        if (mask & (IN_CREATE | IN_MOVED_TO)) watchTree(path, &pending);
    }
    pending.paths.insert(path);
}

} // namespace tidra::sys
