#include "platform/ProcReader.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <utility>

namespace tidra::sys {
namespace {

constexpr unsigned kKernelThreadFlag = 0x00200000; // PF_KTHREAD
constexpr std::string_view kDeletedMark = " (deleted)";

template <typename Number>
bool parseNumber(std::string_view text, Number& out) {
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, out);
    return ec == std::errc() && ptr == end;
}

// Splits on single spaces, as the kernel writes stat.
std::vector<std::string_view> fields(std::string_view text) {
    std::vector<std::string_view> out;
    while (!text.empty()) {
        const auto space = text.find(' ');
        out.push_back(text.substr(0, space));
        if (space == std::string_view::npos) break;
        text.remove_prefix(space + 1);
    }
    return out;
}

// The first number of a status value such as "\t  1234 kB" or "\t1000\t1000\t1000\t1000".
std::optional<std::int64_t> statusNumber(std::string_view value, int position = 0) {
    for (int i = 0;; ++i) {
        const auto start = value.find_first_not_of(" \t");
        if (start == std::string_view::npos) return std::nullopt;
        value.remove_prefix(start);
        const auto stop = std::min(value.find_first_of(" \t\n"), value.size());
        if (i == position) {
            std::int64_t number = 0;
            return parseNumber(value.substr(0, stop), number) ? std::optional(number) : std::nullopt;
        }
        value.remove_prefix(stop);
    }
}

bool isNumericName(const char* name) {
    if (*name == '\0') return false;
    for (; *name; ++name)
        if (*name < '0' || *name > '9') return false;
    return true;
}

bool sameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

std::optional<std::string> readLinkAt(int dirfd, const std::string& relative) {
    char buffer[4096];
    const ssize_t n = ::readlinkat(dirfd, relative.c_str(), buffer, sizeof buffer);
    if (n <= 0 || std::size_t(n) >= sizeof buffer) return std::nullopt;
    return std::string(buffer, std::size_t(n));
}

} // namespace

bool ProcStat::isKernelThread() const { return (flags & kKernelThreadFlag) != 0; }

std::optional<ProcStat> parseStat(std::string_view text) {
    // The name sits in parentheses and may itself hold ") (", so only the last ")" ends it.
    const auto open = text.find('(');
    const auto close = text.rfind(')');
    if (open == std::string_view::npos || close == std::string_view::npos || close < open) return std::nullopt;
    std::string_view rest = text.substr(close + 1);
    if (rest.empty() || rest.front() != ' ') return std::nullopt;
    rest.remove_prefix(1);
    while (!rest.empty() && rest.back() == '\n') rest.remove_suffix(1);
    // Field n of proc(5) is token n - 3 here: the pid and the name come before.
    const auto tokens = fields(rest);
    if (tokens.size() < 20) return std::nullopt;
    ProcStat stat;
    stat.comm = std::string(text.substr(open + 1, close - open - 1));
    std::uint64_t user = 0, system = 0;
    if (!parseNumber(tokens[1], stat.parent) || !parseNumber(tokens[6], stat.flags) ||
        !parseNumber(tokens[11], user) || !parseNumber(tokens[12], system) ||
        !parseNumber(tokens[19], stat.startTicks))
        return std::nullopt;
    stat.cpuTicks = user + system;
    return stat;
}

std::optional<ProcStatus> parseStatus(std::string_view text) {
    ProcStatus status;
    bool haveUid = false;
    while (!text.empty()) {
        const auto end = std::min(text.find('\n'), text.size());
        const std::string_view line = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        const auto colon = line.find(':');
        if (colon == std::string_view::npos) continue;
        const std::string_view key = line.substr(0, colon), value = line.substr(colon + 1);
        if (key == "Uid") {
            const auto uid = statusNumber(value, 1);
            if (!uid) return std::nullopt;
            status.effectiveUid = uid_t(*uid);
            haveUid = true;
        } else if (key == "RssAnon" || key == "RssShmem" || key == "VmSwap") {
            status.memoryBytes += statusNumber(value).value_or(0) * 1024;
        }
    }
    return haveUid ? std::optional(status) : std::nullopt;
}

ProcReader::ProcReader(std::string root)
    : root_(std::move(root)), fd_(::open(root_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {}

ProcReader::~ProcReader() {
    if (fd_ >= 0) ::close(fd_);
}

std::vector<pid_t> ProcReader::pids() const {
    std::vector<pid_t> out;
    const int dirfd = ::openat(fd_, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirfd < 0) return out;
    DIR* dir = ::fdopendir(dirfd);
    if (!dir) {
        ::close(dirfd);
        return out;
    }
    out.reserve(1024);
    while (const dirent* entry = ::readdir(dir)) {
        pid_t pid = 0;
        if (isNumericName(entry->d_name) && parseNumber(std::string_view(entry->d_name), pid) && pid > 0)
            out.push_back(pid);
    }
    ::closedir(dir);
    return out;
}

std::optional<std::string> ProcReader::file(const std::string& relative) const {
    const int fd = ::openat(fd_, relative.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    std::string data;
    std::size_t used = 0;
    for (;;) {
        data.resize(used + 4096);
        const ssize_t n = ::read(fd, data.data() + used, 4096);
        if (n < 0) {
            ::close(fd);
            return std::nullopt;
        }
        if (n == 0) break;
        used += std::size_t(n);
    }
    ::close(fd);
    data.resize(used);
    return data;
}

std::optional<ProcStat> ProcReader::stat(pid_t pid) const {
    const auto text = file(std::to_string(pid) + "/stat");
    return text ? parseStat(*text) : std::nullopt;
}

std::optional<ProcStatus> ProcReader::status(pid_t pid) const {
    const auto text = file(std::to_string(pid) + "/status");
    return text ? parseStatus(*text) : std::nullopt;
}

std::optional<ProcReader::Link> ProcReader::link(pid_t pid, const char* name) const {
    const std::string relative = std::to_string(pid) + "/" + name;
    auto target = readLinkAt(fd_, relative);
    if (!target) return std::nullopt;
    Link out{std::move(*target), false};
    if (!out.target.ends_with(kDeletedMark)) return out;
    // The mark is ambiguous: a file may really be named so. It is ours only when the path as
    // written is not the file the link leads to.
    struct stat viaLink {}, viaName {};
    const bool literal = ::fstatat(fd_, relative.c_str(), &viaLink, 0) == 0 &&
                         ::stat(out.target.c_str(), &viaName) == 0 && sameFile(viaLink, viaName);
    if (!literal) {
        out.target.resize(out.target.size() - kDeletedMark.size());
        out.deleted = true;
    }
    return out;
}

std::optional<std::string> ProcReader::executable(pid_t pid) const {
    auto exe = link(pid, "exe");
    if (!exe || exe->target.empty()) return std::nullopt;
    return std::move(exe->target);
}

std::vector<std::string> ProcReader::arguments(pid_t pid) const {
    std::vector<std::string> out;
    const auto text = file(std::to_string(pid) + "/cmdline");
    if (!text || text->empty()) return out;
    std::string_view rest = *text;
    // A process that rewrote its arguments may leave no final NUL; the last piece still counts.
    if (rest.back() == '\0') rest.remove_suffix(1);
    for (;;) {
        const auto nul = rest.find('\0');
        out.emplace_back(rest.substr(0, nul));
        if (nul == std::string_view::npos) break;
        rest.remove_prefix(nul + 1);
    }
    return out;
}

std::optional<std::string> ProcReader::workingDirectory(pid_t pid) const {
    auto cwd = link(pid, "cwd");
    if (!cwd || cwd->deleted || cwd->target.empty()) return std::nullopt;
    return std::move(cwd->target);
}

std::vector<std::uint64_t> ProcReader::socketInodes(pid_t pid) const {
    std::vector<std::pair<int, std::uint64_t>> found;
    const int dirfd = ::openat(fd_, (std::to_string(pid) + "/fd").c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirfd < 0) return {};
    DIR* dir = ::fdopendir(dirfd);
    if (!dir) {
        ::close(dirfd);
        return {};
    }
    constexpr std::string_view prefix = "socket:[";
    while (const dirent* entry = ::readdir(dir)) {
        int number = 0;
        if (!isNumericName(entry->d_name) || !parseNumber(std::string_view(entry->d_name), number)) continue;
        const auto target = readLinkAt(dirfd, entry->d_name);
        if (!target || !target->starts_with(prefix) || !target->ends_with("]")) continue;
        std::uint64_t inode = 0;
        const std::string_view digits(target->data() + prefix.size(), target->size() - prefix.size() - 1);
        if (parseNumber(digits, inode)) found.emplace_back(number, inode);
    }
    ::closedir(dir);
    std::sort(found.begin(), found.end());
    std::vector<std::uint64_t> out;
    out.reserve(found.size());
    for (const auto& [number, inode] : found) out.push_back(inode);
    return out;
}

std::optional<std::int64_t> ProcReader::bootTime() const {
    const auto text = file("stat");
    if (!text) return std::nullopt;
    const auto at = text->find("\nbtime ");
    if (at == std::string::npos) return std::nullopt;
    return statusNumber(std::string_view(*text).substr(at + 7));
}

long ProcReader::ticksPerSecond() {
    static const long ticks = [] {
        const long value = ::sysconf(_SC_CLK_TCK);
        return value > 0 ? value : 100;
    }();
    return ticks;
}

} // namespace tidra::sys
