#include "fs/FileWalker.h"

#include <sys/stat.h>

#include <optional>
#include <vector>

namespace tidra {
namespace {

std::optional<WalkEntry::Kind> kindOf(unsigned short info) {
    switch (info) {
    case FTS_D: return WalkEntry::Kind::directory;
    case FTS_F: return WalkEntry::Kind::file;
    case FTS_SL:
    case FTS_SLNONE: return WalkEntry::Kind::symlink;
    case FTS_DEFAULT: return WalkEntry::Kind::other;
    case FTS_DNR:
    case FTS_ERR: return WalkEntry::Kind::unreadableDirectory;
    default: return std::nullopt;
    }
}

} // namespace

std::string_view WalkEntry::path() const { return {entry->fts_path, entry->fts_pathlen}; }

std::string_view WalkEntry::name() const {
    const std::string_view full = path();
    return full.substr(full.size() - std::min<std::size_t>(entry->fts_namelen, full.size()));
}

std::int64_t WalkEntry::depth() const { return entry->fts_level; }

std::int64_t WalkEntry::allocatedBytes() const {
    return entry->fts_statp ? std::int64_t(entry->fts_statp->st_blocks) * 512 : 0;
}

std::uint64_t WalkEntry::inode() const { return entry->fts_statp ? entry->fts_statp->st_ino : 0; }

std::int64_t WalkEntry::linkCount() const {
    return entry->fts_statp ? std::int64_t(entry->fts_statp->st_nlink) : 0;
}

std::chrono::system_clock::time_point WalkEntry::modified() const {
    const auto seconds = entry->fts_statp ? entry->fts_statp->st_mtim.tv_sec : 0;
    return std::chrono::system_clock::time_point(std::chrono::seconds(seconds));
}

void FileWalker::walk(const std::string& root, const Visitor& visit) {
    // fts wants a mutable, NULL-terminated argument list.
    std::vector<char> copy(root.begin(), root.end());
    copy.push_back('\0');
    char* const roots[] = {copy.data(), nullptr};
    FTS* traversal = ::fts_open(roots, FTS_PHYSICAL | FTS_NOCHDIR | FTS_XDEV, nullptr);
    if (!traversal) return;
    while (FTSENT* current = ::fts_read(traversal)) {
        const auto kind = kindOf(current->fts_info);
        if (!kind) continue;
        const WalkDecision decision = visit(WalkEntry{*kind, current});
        if (decision == WalkDecision::stop) break;
        if (decision == WalkDecision::skipDirectory && *kind == WalkEntry::Kind::directory)
            ::fts_set(traversal, current, FTS_SKIP);
    }
    ::fts_close(traversal);
}

} // namespace tidra
