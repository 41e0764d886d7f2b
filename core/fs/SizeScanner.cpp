#include "fs/SizeScanner.h"

#include "fs/BulkWalker.h"
#include "platform/FileStatus.h"

#include <tbb/parallel_for_each.h>
#include <tbb/task_arena.h>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <set>
#include <unordered_map>

namespace tidra::SizeScanner {
namespace {

constexpr std::int64_t cancelStride = 256;

struct FileIdentity {
    std::uint64_t device;
    std::uint64_t inode;
    bool operator==(const FileIdentity&) const = default;
};

struct IdentityHash {
    std::size_t operator()(const FileIdentity& id) const noexcept {
        return std::size_t(id.inode * 0x9E3779B97F4A7C15ull ^ id.device);
    }
};

using Clock = std::chrono::system_clock;

void raiseNewest(SizeResult& result, std::optional<Clock::time_point> candidate) {
    if (candidate && (!result.newestModification || *candidate > *result.newestModification))
        result.newestModification = candidate;
}

// The shared state of one measure call. Walks of one large folder run on the pool; each keeps
// its own counts and merges them once at its end, so only hard-linked files and the folder
// counter are touched by several threads at a time.
class Measurement {
public:
    explicit Measurement(const std::function<bool()>& isCancelled)
        : isCancelled_(isCancelled), splitBelow_(pendingWanted()) {}

    bool cancelled() const { return cancelled_.load(std::memory_order_relaxed); }

    // A file with several links frees its blocks only when every link was met.
    SizeResult result() const {
        SizeResult total = total_;
        for (const auto& [identity, linked] : linked_)
            (linked.met >= linked.links ? total.bytes : total.sharedBytes) += linked.bytes;
        return total;
    }

    void measure(const std::string& path) {
        const auto status = sys::FileStatus::of(path);
        if (!status) return;
        if (status->type != sys::FileStatus::Type::directory) {
            SizeResult single;
            countFile(single, {status->device, status->inode}, status->linkCount, status->allocatedBytes,
                      status->modified);
            merge(single);
            return;
        }
        folders_ = 0;
        pending_ = 1;
        const std::string roots[] = {path};
        tbb::parallel_for_each(std::begin(roots), std::end(roots),
                               [&](const std::string& root, tbb::feeder<std::string>& feeder) {
                                   walkSubtree(root, status->device, feeder);
                               });
    }

private:
    // Enough queued subtrees to keep every worker busy; none on a single thread, where
    // splitting would only cost.
    static long pendingWanted() {
        const int workers = tbb::this_task_arena::max_concurrency();
        return workers > 1 ? 2L * workers : 0;
    }

    void walkSubtree(const std::string& root, std::uint64_t volume, tbb::feeder<std::string>& feeder) {
        pending_.fetch_sub(1, std::memory_order_relaxed);
        if (cancelled()) return;
        SizeResult local;
        BulkWalker::walk(
            root,
            [&](BulkFolder& folder) {
                if (!folderReached()) return false;
                for (const auto& entry : folder.entries) tally(local, entry);
                if (pending_.load(std::memory_order_relaxed) < splitBelow_) splitOff(folder, feeder);
                return true;
            },
            [&](const std::string&) { ++local.unreadableDirectories; }, BulkWalker::Field::allFiles, volume);
        merge(local);
    }

    // Hands the folder's subfolders to idle workers instead of descending into them here.
    void splitOff(BulkFolder& folder, tbb::feeder<std::string>& feeder) {
        for (std::size_t index = 0; index < folder.entries.size(); ++index) {
            const auto& entry = folder.entries[index];
            if (entry.kind != BulkEntry::Kind::directory) continue;
            folder.skipped.insert(std::int64_t(index));
            pending_.fetch_add(1, std::memory_order_relaxed);
            feeder.add(folder.pathOf(entry));
        }
    }

    // Counts one folder of the current path; false when the walk must end.
    bool folderReached() {
        if (cancelled()) return false;
        const std::int64_t count = folders_.fetch_add(1, std::memory_order_relaxed) + 1;
        if (count % cancelStride != 0 || !isCancelled_()) return true;
        cancelled_ = true;
        return false;
    }

    void tally(SizeResult& local, const BulkEntry& entry) {
        switch (entry.kind) {
        case BulkEntry::Kind::file:
            countFile(local, {entry.device, entry.fileID}, entry.linkCount, entry.allocatedBytes, entry.modified);
            break;
        case BulkEntry::Kind::symlink:
        case BulkEntry::Kind::other: local.bytes += entry.allocatedBytes; break;
        case BulkEntry::Kind::directory: break;
        }
    }

    void countFile(SizeResult& local, FileIdentity identity, std::int64_t links, std::int64_t bytes,
                   std::int64_t modified) {
        // Only multiply-linked files can be met twice, so only they are remembered; their
        // blocks are added at the end, once it is known whether a link lies outside.
        if (links >= 2 && !metLink(identity, links, bytes)) return;
        if (links < 2) local.bytes += bytes;
        ++local.files;
        raiseNewest(local, Clock::time_point(std::chrono::seconds(modified)));
    }

    // True the first time the file is met.
    bool metLink(FileIdentity identity, std::int64_t links, std::int64_t bytes) {
        const std::lock_guard lock(linkedMutex_);
        auto [found, first] = linked_.try_emplace(identity, Linked{links, 0, bytes});
        ++found->second.met;
        return first;
    }

    void merge(const SizeResult& part) {
        const std::lock_guard lock(mutex_);
        total_.bytes += part.bytes;
        total_.files += part.files;
        total_.unreadableDirectories += part.unreadableDirectories;
        raiseNewest(total_, part.newestModification);
    }

    const std::function<bool()>& isCancelled_;
    const long splitBelow_;
    std::atomic<bool> cancelled_{false};
    std::atomic<std::int64_t> folders_{0};
    std::atomic<long> pending_{0};
    struct Linked {
        std::int64_t links;
        std::int64_t met;
        std::int64_t bytes;
    };
    std::mutex linkedMutex_;
    std::unordered_map<FileIdentity, Linked, IdentityHash> linked_;
    std::mutex mutex_;
    SizeResult total_;
};

// True when `path` was given already or lies inside another given path: its links would be
// met twice, and a file would seem to have all its links among the paths.
bool covered(const std::string& path, const std::set<std::string>& given, std::set<std::string>& met) {
    if (!met.insert(path).second) return true;
    for (auto slash = path.rfind('/'); slash != std::string::npos && slash > 0; slash = path.rfind('/', slash - 1))
        if (given.contains(path.substr(0, slash))) return true;
    return given.contains("/") && path != "/";
}

} // namespace

SizeResult measure(const std::vector<std::string>& paths, const std::function<bool()>& isCancelled) {
    Measurement measurement(isCancelled);
    const std::set<std::string> given(paths.begin(), paths.end());
    std::set<std::string> met;
    for (const auto& path : paths) {
        if (measurement.cancelled()) break;
        if (!covered(path, given, met)) measurement.measure(path);
    }
    return measurement.result();
}

} // namespace tidra::SizeScanner
