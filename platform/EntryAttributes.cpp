#include "platform/EntryAttributes.h"

#include <sys/stat.h>
#include <unistd.h>

namespace tidra::sys {

std::optional<std::chrono::system_clock::time_point> modificationTime(const std::string& path) {
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0) return std::nullopt;
    const auto since = std::chrono::seconds(st.st_mtim.tv_sec) + std::chrono::nanoseconds(st.st_mtim.tv_nsec);
    return std::chrono::system_clock::time_point(std::chrono::duration_cast<std::chrono::system_clock::duration>(since));
}

std::optional<std::string> linkTarget(const std::string& path) {
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return std::nullopt;
    // The size lstat reports may be 0 (some file systems) or stale: grow until the text fits.
    std::string target(st.st_size > 0 ? std::size_t(st.st_size) + 1 : 256, '\0');
    for (;;) {
        const ssize_t n = ::readlink(path.c_str(), target.data(), target.size());
        if (n < 0) return std::nullopt;
        if (std::size_t(n) < target.size()) {
            target.resize(std::size_t(n));
            return target;
        }
        target.resize(target.size() * 2);
    }
}

} // namespace tidra::sys
