#include "support/TempHome.h"

#include <fcntl.h>
#include <ftw.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <system_error>
#include <vector>

namespace tidra::test {
namespace {

[[noreturn]] void fail(const std::string& what) {
    throw std::system_error(errno, std::generic_category(), what);
}

int makeWritable(const char* path, const struct stat* st, int type, FTW*) {
    // Fixtures may hold folders without write or search rights; open them up before removal.
    if (type == FTW_D || type == FTW_DNR) ::chmod(path, (st->st_mode & 07777) | 0700);
    return 0;
}

int removeEntry(const char* path, const struct stat*, int type, FTW*) {
    if (type == FTW_DP) ::rmdir(path);
    else ::unlink(path);
    return 0;
}

} // namespace

TempHome::TempHome() {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/tidra-test-XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (!::mkdtemp(buffer.data())) fail("mkdtemp");
    root_ = buffer.data();
    ::chmod(root_.c_str(), 0755);
}

TempHome::~TempHome() {
    ::nftw(root_.c_str(), makeWritable, 32, FTW_PHYS | FTW_MOUNT);
    ::nftw(root_.c_str(), removeEntry, 32, FTW_PHYS | FTW_DEPTH | FTW_MOUNT);
}

std::string TempHome::path(const std::string& relative) const {
    return relative.empty() ? root_ : root_ + "/" + relative;
}

void TempHome::makeParents(const std::string& absolute) {
    for (std::size_t slash = root_.size() + 1; (slash = absolute.find('/', slash)) != std::string::npos;
         ++slash) {
        const std::string prefix = absolute.substr(0, slash);
        if (::mkdir(prefix.c_str(), 0755) != 0 && errno != EEXIST) fail("mkdir " + prefix);
    }
}

std::string TempHome::dir(const std::string& relative, mode_t mode) {
    const std::string p = path(relative);
    makeParents(p);
    if (::mkdir(p.c_str(), mode) != 0 && errno != EEXIST) fail("mkdir " + p);
    ::chmod(p.c_str(), mode);
    return p;
}

std::string TempHome::file(const std::string& relative, std::int64_t bytes) {
    return text(relative, std::string(std::size_t(bytes), 'x'));
}

std::string TempHome::text(const std::string& relative, const std::string& content) {
    const std::string p = path(relative);
    makeParents(p);
    const int fd = ::open(p.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0644);
    if (fd < 0) fail("open " + p);
    std::size_t done = 0;
    while (done < content.size()) {
        const ssize_t n = ::write(fd, content.data() + done, content.size() - done);
        if (n <= 0) {
            ::close(fd);
            fail("write " + p);
        }
        done += std::size_t(n);
    }
    ::close(fd);
    return p;
}

std::string TempHome::symlink(const std::string& relative, const std::string& target) {
    const std::string p = path(relative);
    makeParents(p);
    if (::symlink(target.c_str(), p.c_str()) != 0) fail("symlink " + p);
    return p;
}

std::string TempHome::hardlink(const std::string& relative, const std::string& existingRelative) {
    const std::string p = path(relative);
    makeParents(p);
    if (::link(path(existingRelative).c_str(), p.c_str()) != 0) fail("link " + p);
    return p;
}

std::string TempHome::clone(const std::string& relative, const std::string& existingRelative) {
    const std::string p = path(relative);
    makeParents(p);
    const int from = ::open(path(existingRelative).c_str(), O_RDONLY | O_CLOEXEC);
    if (from < 0) fail("open " + existingRelative);
    const int to = ::open(p.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0644);
    const bool cloned = to >= 0 && ::ioctl(to, FICLONE, from) == 0;
    const int error = errno;
    ::close(from);
    if (to >= 0) ::close(to);
    errno = error;
    if (!cloned) fail("clone " + p);
    return p;
}

void TempHome::chmod(const std::string& relative, mode_t mode) {
    if (::chmod(path(relative).c_str(), mode) != 0) fail("chmod " + relative);
}

void TempHome::setModified(const std::string& relative, std::chrono::system_clock::time_point when) {
    const auto since = when.time_since_epoch();
    const auto seconds = std::chrono::floor<std::chrono::seconds>(since);
    const timespec times[2] = {
        {0, UTIME_OMIT},
        {time_t(seconds.count()),
         long(std::chrono::duration_cast<std::chrono::nanoseconds>(since - seconds).count())}};
    if (::utimensat(AT_FDCWD, path(relative).c_str(), times, AT_SYMLINK_NOFOLLOW) != 0)
        fail("utimensat " + relative);
}

std::string TempHome::plist(const std::string& relative, plist_t root, bool binary) {
    char* data = nullptr;
    uint32_t length = 0;
    if (binary) plist_to_bin(root, &data, &length);
    else plist_to_xml(root, &data, &length);
    plist_free(root);
    const std::string content(data ? data : "", length);
    if (binary) plist_to_bin_free(data);
    else plist_to_xml_free(data);
    return text(relative, content);
}

} // namespace tidra::test
