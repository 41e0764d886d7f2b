#include "projects/StrictWalk.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <vector>

namespace tidra::StrictWalk {
namespace {

struct DirCloser {
    void operator()(DIR* dir) const { ::closedir(dir); }
};
using Dir = std::unique_ptr<DIR, DirCloser>;

Dir openFolder(const std::string& path, dev_t device) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return nullptr;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || st.st_dev != device) {
        ::close(fd);
        return nullptr;
    }
    Dir dir(::fdopendir(fd));
    if (!dir) ::close(fd);
    return dir;
}

Kind kindOf(mode_t mode) {
    if (S_ISREG(mode)) return Kind::file;
    if (S_ISDIR(mode)) return Kind::directory;
    if (S_ISLNK(mode)) return Kind::symlink;
    return Kind::other;
}

// Lists one folder into `pending`; false when anything in it could not be read.
bool listFolder(const std::string& path, dev_t device, const Visitor& visit,
                std::vector<std::string>& pending, bool& stopped) {
    Dir dir = openFolder(path, device);
    if (!dir) return false;
    std::vector<std::string> folders;
    for (;;) {
        errno = 0;
        const dirent* entry = ::readdir(dir.get());
        if (!entry) break;
        const std::string_view name = entry->d_name;
        if (name == "." || name == "..") continue;
        struct stat st {};
        if (::fstatat(::dirfd(dir.get()), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) return false;
        const std::string full = path + "/" + entry->d_name;
        const Kind kind = kindOf(st.st_mode);
        const Step step = visit(full, name, kind);
        if (step == Step::stop) {
            stopped = true;
            return true;
        }
        if (kind != Kind::directory || step == Step::skip) continue;
        // Another file system below the root is something we cannot vouch for.
        if (st.st_dev != device) return false;
        folders.push_back(full);
    }
    if (errno != 0) return false;
    // Reversed so the stack hands the folders out in listing order.
    pending.insert(pending.end(), folders.rbegin(), folders.rend());
    return true;
}

} // namespace

Result walk(const std::string& root, const Visitor& visit) {
    struct stat st {};
    if (::lstat(root.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return Result::failed;
    std::vector<std::string> pending{root};
    while (!pending.empty()) {
        const std::string path = std::move(pending.back());
        pending.pop_back();
        bool stopped = false;
        if (!listFolder(path, st.st_dev, visit, pending, stopped)) return Result::failed;
        if (stopped) return Result::stopped;
    }
    return Result::finished;
}

} // namespace tidra::StrictWalk
