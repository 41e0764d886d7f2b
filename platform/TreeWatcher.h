#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

namespace tidra::sys {

// Watches whole folder trees with one inotify descriptor and one reader thread, and hands the
// changed paths over in batches. Each instance watches a fixed set of trees for its whole life:
// to watch another set, make a new one. Not copyable or movable (the reader refers to it).
class TreeWatcher {
public:
    struct Batch {
        // Full paths of entries created, removed, renamed, written or changed in attributes,
        // each once; a path equal to a watched folder is an event on that folder itself.
        std::vector<std::string> paths;
        // The kernel dropped events: anything below any watched folder may have changed.
        bool overflowed = false;
    };
    using Receiver = std::function<void(const Batch&)>;

    // Watches every folder below each of `roots` (absolute, already resolved paths) except
    // folders whose name is in `skippedNames` (their contents are never looked at), and
    // symbolic links, which are not followed. Folders made later are watched as they appear.
    // The first event of a batch opens it; after `latency` the batch goes to `receive`, called
    // on the reader thread, one batch at a time, never after destruction has returned.
    // When the system's watch limit is reached, the folders already watched stay watched and
    // the rest are silently left out. `running()` is false when inotify or the thread could
    // not be set up at all.
    TreeWatcher(const std::vector<std::string>& roots, std::set<std::string> skippedNames,
                std::chrono::milliseconds latency, Receiver receive);
    // Stops the reader and waits for a batch being handed over to return. Pending events
    // that were not handed over yet are dropped.
    ~TreeWatcher();
    TreeWatcher(const TreeWatcher&) = delete;
    TreeWatcher& operator=(const TreeWatcher&) = delete;

    bool running() const { return reader_.joinable(); }
    // Folders currently watched (for tests; reads the reader's state, so only call it while
    // no events are arriving).
    std::size_t watchedFolderCount() const { return folders_.size(); }

private:
    // Watches `root` and every folder below it. With `found`, every entry met is also filed as
    // changed: a folder that just appeared may have filled before its watch was in place.
    struct Pending;
    void watchTree(const std::string& root, Pending* found = nullptr);
    bool watchFolder(const std::string& path);
    void forgetTree(const std::string& root);
    // Events gathered for the batch that is open.
    struct Pending {
        std::set<std::string> paths;
        bool overflowed = false;
        bool empty() const { return paths.empty() && !overflowed; }
    };
    void readLoop();
    void readEvents(Pending& pending);
    void takeEvent(int watch, std::uint32_t mask, const std::string& name, Pending& pending);

    std::set<std::string> skippedNames_;
    std::chrono::milliseconds latency_;
    Receiver receive_;
    int inotify_ = -1;
    int wake_ = -1;
    bool full_ = false;
    // Watch descriptor -> folder path; touched by the constructor, then only by the reader.
    std::unordered_map<int, std::string> folders_;
    std::thread reader_;
};

} // namespace tidra::sys
