#pragma once

#include "platform/TreeWatcher.h"

#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace tidra {

// When anything a person edits last changed under each of a set of project folders. Build
// output, caches, editor settings and logs (`isGenerated`) never count. Owned by one thread,
// which calls `watch`, `lastChanges` and the destructor; changes arrive on a reader thread of
// its own and are recorded under a lock, so the owner may call at any moment.
class FolderActivity {
public:
    using Clock = std::function<std::chrono::system_clock::time_point()>;

    // `latency`: how long the events of one batch are gathered before they are recorded with
    // one reading of `clock`, which may be called from any thread.
    explicit FolderActivity(std::chrono::milliseconds latency,
                            Clock clock = [] { return std::chrono::system_clock::now(); });
    // Stops the watcher; returns after a batch being recorded has finished.
    ~FolderActivity();
    FolderActivity(const FolderActivity&) = delete;
    FolderActivity& operator=(const FolderActivity&) = delete;

    // Watches exactly `folders` (as the caller names them; matched through their real paths).
    // The same set as before, in any order, changes nothing. Otherwise the watcher is rebuilt
    // and recorded times of folders no longer in the set are dropped; an empty set watches
    // nothing and clears every time. Folders that cannot be watched simply never change.
    void watch(const std::vector<std::string>& folders);

    // Watched folder (as passed to `watch`) -> time of its newest change that counts. Folders
    // without a change since they were first watched are absent.
    std::map<std::string, std::chrono::system_clock::time_point> lastChanges() const;

    // Folder names whose contents never count as activity.
    static const std::set<std::string>& generated();
    // Whether a changed path is generated content: a component is a `generated` name, the
    // last component is ".DS_Store", or the path ends in ".log" or ".tsbuildinfo".
    static bool isGenerated(std::string_view path);

    // Records one batch of changed paths (real paths, as the watcher reports them): every
    // watched folder with a non-generated path strictly below its real path gets the time of
    // one clock reading; `overflowed` (events were lost) marks every watched folder. Called
    // by the watcher's reader thread; public so the matching can be driven directly.
    void record(const std::vector<std::string>& paths, bool overflowed = false);

private:
    struct Watched {
        std::string real;
        std::string folder;
    };

    const std::chrono::milliseconds latency_;
    const Clock clock_;
    mutable std::mutex lock_;
    std::unique_ptr<sys::TreeWatcher> stream_;
    std::vector<std::string> folders_;
    std::vector<Watched> realPaths_;
    std::map<std::string, std::chrono::system_clock::time_point> changes_;
};

} // namespace tidra
