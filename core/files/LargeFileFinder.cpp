#include "files/LargeFileFinder.h"

#include "files/LargestFiles.h"
#include "fs/BulkWalker.h"
#include "platform/DirectoryReader.h"
#include "platform/FileStatus.h"
#include "platform/PathText.h"

#include <tbb/parallel_for_each.h>

#include <mutex>
#include <set>

namespace tidra::LargeFileFinder {
namespace {

using Clock = std::chrono::system_clock;
using sys::FileStatus;

constexpr std::int64_t reportAfter = 4095;

bool isSkippedFolder(std::string_view parent, std::string_view name) {
    if (name == "node_modules" || name == ".git" || name == ".Trash") return true;
    // The freedesktop Trash of a home folder, wherever the search starts.
    return name == "Trash" && parent.ends_with("/.local/share");
}

// All workers' findings; every access holds the lock.
class Collector {
public:
    explicit Collector(std::int64_t limit) : best_(limit) {}
    void add(LargestFiles& found) {
        const std::lock_guard lock(mutex_);
        best_.merge(found);
    }
    std::int64_t addExamined(std::int64_t count) {
        const std::lock_guard lock(mutex_);
        return examined_ += count;
    }
    std::vector<LargeFile> largest() {
        const std::lock_guard lock(mutex_);
        return best_.ranked();
    }

private:
    std::mutex mutex_;
    LargestFiles best_;
    std::int64_t examined_ = 0;
};

// One work folder's walk, with its own list and counter.
class Worker {
public:
    Worker(std::int64_t minimumBytes, std::int64_t limit, const std::set<std::string>& excluding,
           const std::set<std::string>& excludedNames, const Progress& progress, const IsCancelled& isCancelled,
           const Unreadable& unreadable, Collector& collector)
        : minimumBytes_(minimumBytes), excluding_(excluding), excludedNames_(excludedNames), progress_(progress),
          isCancelled_(isCancelled), unreadable_(unreadable), collector_(collector), found_(limit) {}

    void run(const std::string& folder, std::uint64_t volume) {
        BulkWalker::walk(folder, [this](BulkFolder& f) { return visit(f); }, unreadable_,
                         BulkWalker::Field::allFiles, volume);
        report(examined_);
        collector_.add(found_);
    }

private:
    bool visit(BulkFolder& folder) {
        for (std::size_t index = 0; index < folder.entries.size(); ++index) {
            const auto& entry = folder.entries[index];
            if (entry.kind == BulkEntry::Kind::file) consider(folder, entry);
            else if (entry.kind == BulkEntry::Kind::directory && staysOut(folder, entry))
                folder.skipped.insert(std::int64_t(index));
        }
        if (examined_ <= reportAfter) return true;
        report(std::exchange(examined_, 0));
        return !(isCancelled_ && isCancelled_());
    }

    void consider(const BulkFolder& folder, const BulkEntry& entry) {
        ++examined_;
        if (entry.allocatedBytes < minimumBytes_) return;
        const bool linked = entry.linkCount >= 2;
        found_.offer({folder.pathOf(entry), entry.allocatedBytes, Clock::from_time_t(entry.modified), linked},
                     entry.device, entry.fileID, linked);
    }

    bool staysOut(const BulkFolder& folder, const BulkEntry& entry) const {
        if (isSkippedFolder(folder.path, entry.nameView())) return true;
        // The path is built only for the rare name that matches an excluded folder's.
        return excludedNames_.count(entry.name()) && excluding_.count(folder.pathOf(entry));
    }

    void report(std::int64_t count) {
        const auto total = collector_.addExamined(count);
        if (progress_) progress_(total);
    }

    const std::int64_t minimumBytes_;
    const std::set<std::string>& excluding_;
    const std::set<std::string>& excludedNames_;
    const Progress& progress_;
    const IsCancelled& isCancelled_;
    const Unreadable& unreadable_;
    Collector& collector_;
    LargestFiles found_;
    std::int64_t examined_ = 0;
};

void split(const std::string& folder, int levels, std::uint64_t volume, const std::set<std::string>& excluding,
           Subtrees& out) {
    sys::DirectoryReader reader;
    if (!reader.open(folder) || reader.list() != sys::DirectoryReader::Result::complete) {
        out.unreadable.push_back(folder);
        return;
    }
    std::vector<std::string> subfolders;
    for (const auto& entry : reader.entries()) {
        int error = 0;
        const auto status = FileStatus::at(reader.descriptor(), entry.name, error);
        if (!status) continue;
        std::string path = folder + "/" + entry.name;
        if (status->type == FileStatus::Type::regular) out.files.push_back(std::move(path));
        else if (status->type == FileStatus::Type::directory && status->device == volume &&
                 !isSkippedFolder(folder, entry.name) && !excluding.count(path))
            subfolders.push_back(std::move(path));
    }
    reader.close();
    for (auto& path : subfolders) {
        if (levels >= 2) split(path, levels - 1, volume, excluding, out);
        else out.folders.push_back(std::move(path));
    }
}

} // namespace

Subtrees subtrees(const std::string& root, int levels, const std::set<std::string>& excluding) {
    Subtrees out;
    const auto status = FileStatus::of(root);
    if (status && status->type == FileStatus::Type::directory) split(root, levels, status->device, excluding, out);
    return out;
}

std::vector<LargeFile> find(const std::string& root, std::int64_t minimumBytes, std::int64_t limit,
                            const std::set<std::string>& excluding, const Progress& progress,
                            const IsCancelled& isCancelled, const Unreadable& unreadable) {
    Collector collector(limit);
    std::set<std::string> excludedNames;
    for (const auto& path : excluding) excludedNames.emplace(sys::PathText::lastComponent(path));
    const auto rootStatus = FileStatus::of(root);
    if (!rootStatus || rootStatus->type != FileStatus::Type::directory) return {};
    auto work = subtrees(root, 2, excluding);
    if (unreadable)
        for (const auto& folder : work.unreadable) unreadable(folder);
    LargestFiles loose(limit);
    for (auto& path : work.files) {
        const auto status = FileStatus::of(path);
        if (!status || status->type != FileStatus::Type::regular || status->allocatedBytes < minimumBytes) continue;
        const bool linked = status->linkCount >= 2;
        loose.offer({std::move(path), status->allocatedBytes, Clock::from_time_t(status->modified), linked},
                    status->device, status->inode, linked);
    }
    collector.add(loose);
    tbb::parallel_for_each(work.folders.begin(), work.folders.end(), [&](const std::string& folder) {
        Worker(minimumBytes, limit, excluding, excludedNames, progress, isCancelled, unreadable, collector)
            .run(folder, rootStatus->device);
    });
    return collector.largest();
}

} // namespace tidra::LargeFileFinder
