#include "fs/BulkWalker.h"

#include "platform/DirectoryReader.h"
#include "platform/FileStatus.h"

#include <cerrno>
#include <utility>
#include <vector>

namespace tidra::BulkWalker {
namespace {

using Listed = sys::DirectoryReader::Type;
using Status = sys::FileStatus;

std::optional<BulkEntry::Kind> kindOf(Listed type) {
    switch (type) {
    case Listed::regular: return BulkEntry::Kind::file;
    case Listed::directory: return BulkEntry::Kind::directory;
    case Listed::symlink: return BulkEntry::Kind::symlink;
    case Listed::other: return BulkEntry::Kind::other;
    case Listed::unknown: break;
    }
    return std::nullopt;
}

BulkEntry::Kind kindOf(Status::Type type) {
    switch (type) {
    case Status::Type::regular: return BulkEntry::Kind::file;
    case Status::Type::directory: return BulkEntry::Kind::directory;
    case Status::Type::symlink: return BulkEntry::Kind::symlink;
    case Status::Type::other: break;
    }
    return BulkEntry::Kind::other;
}

void fill(BulkEntry& entry, const Status& status) {
    entry.kind = kindOf(status.type);
    entry.device = status.device;
    entry.fileID = status.inode;
    entry.modified = status.modified;
    if (entry.kind == BulkEntry::Kind::directory) return;
    entry.linkCount = status.linkCount;
    entry.allocatedBytes = status.allocatedBytes;
}

class Walk {
public:
    Walk(const Visitor& visit, const Unreadable& unreadable, Fields fields, std::uint64_t volume)
        : visit_(visit), unreadable_(unreadable), fields_(fields), volume_(volume) {}

    void run(const std::string& root) {
        stack_.emplace_back(root, 0);
        while (!stack_.empty()) {
            auto [path, depth] = std::move(stack_.back());
            stack_.pop_back();
            if (!visitFolder(path, depth)) return;
        }
    }

private:
    enum class Outcome { ready, unreadable, skip };

    // False when the visitor ended the walk.
    bool visitFolder(const std::string& path, std::int64_t depth) {
        const Outcome outcome = read(path);
        if (outcome == Outcome::unreadable && unreadable_) unreadable_(path);
        if (outcome != Outcome::ready) return true;
        folder_.path = path;
        folder_.depth = depth;
        folder_.skipped.clear();
        folder_.descriptor = reader_.descriptor();
        const bool goOn = visit_(folder_);
        folder_.descriptor = -1;
        reader_.close();
        if (goOn) pushSubfolders(path, depth + 1);
        return goOn;
    }

    Outcome read(const std::string& path) {
        if (!reader_.open(path)) return Outcome::unreadable;
        const auto device = Status::deviceOf(reader_.descriptor());
        if (!device || *device != volume_) return Outcome::skip;
        switch (reader_.list()) {
        case sys::DirectoryReader::Result::unreadable: return Outcome::unreadable;
        case sys::DirectoryReader::Result::broken: return Outcome::skip;
        case sys::DirectoryReader::Result::complete: break;
        }
        return describeEntries() ? Outcome::ready : Outcome::unreadable;
    }

    bool needsStatus(BulkEntry::Kind kind) const {
        return (fields_ & Field::allFiles) != 0 &&
               (kind != BulkEntry::Kind::directory || (fields_ & Field::folders) != 0);
    }

    // False when the folder lets us list names but not look at its entries (no search right).
    bool describeEntries() {
        folder_.entries.clear();
        for (const auto& listed : reader_.entries()) {
            BulkEntry entry;
            entry.namePointer = listed.name;
            entry.nameLength = std::int64_t(listed.nameLength);
            entry.fileID = listed.inode;
            const auto kind = kindOf(listed.type);
            if (kind) entry.kind = *kind;
            if (!kind || needsStatus(*kind)) {
                int error = 0;
                const auto status = Status::at(reader_.descriptor(), listed.name, error);
                if (!status && error == EACCES) return false;
                if (!status) continue;  // vanished since it was listed
                fill(entry, *status);
            }
            folder_.entries.push_back(entry);
        }
        return true;
    }

    void pushSubfolders(const std::string& path, std::int64_t depth) {
        const auto& entries = folder_.entries;
        for (auto index = std::int64_t(entries.size()) - 1; index >= 0; --index) {
            const auto& entry = entries[std::size_t(index)];
            if (entry.kind != BulkEntry::Kind::directory || folder_.skipped.count(index)) continue;
            stack_.emplace_back(BulkFolder::childPath(path, entry), depth);
        }
    }

    const Visitor& visit_;
    const Unreadable& unreadable_;
    const Fields fields_;
    const std::uint64_t volume_;
    sys::DirectoryReader reader_;
    BulkFolder folder_;
    std::vector<std::pair<std::string, std::int64_t>> stack_;
};

} // namespace

void walk(const std::string& root, const Visitor& visit, const Unreadable& unreadable, Fields fields,
          std::optional<std::uint64_t> volume) {
    const auto status = Status::of(root);
    if (!status || status->type != Status::Type::directory) return;
    if (volume && *volume != status->device) return;
    Walk(visit, unreadable, fields, volume.value_or(status->device)).run(root);
}

} // namespace tidra::BulkWalker
