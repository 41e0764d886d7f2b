#include "performance/FolderActivity.h"

#include "platform/FileAccess.h"
#include "platform/PathText.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

namespace tidra {
namespace {

bool endsWith(std::string_view text, std::string_view end) {
    return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

using sys::PathText::isInside;

} // namespace

FolderActivity::FolderActivity(std::chrono::milliseconds latency, Clock clock)
    : latency_(latency), clock_(std::move(clock)) {}

FolderActivity::~FolderActivity() {
    std::unique_ptr<sys::TreeWatcher> stream;
    {
        std::lock_guard guard(lock_);
        stream = std::move(stream_);
    }
    // Joined outside the lock: its reader may be waiting for the lock in record().
    stream.reset();
}

const std::set<std::string>& FolderActivity::generated() {
    static const std::set<std::string> names = {
        "node_modules", ".git",     ".next",     ".nuxt",    ".svelte-kit", ".turbo",      ".wrangler", ".vite",
        ".cache",       ".parcel-cache", ".angular", ".expo", ".dart_tool", ".gradle",   ".build",    "build",
        "dist",         "out",      "target",    "coverage", "DerivedData", ".idea",       ".vscode",   ".swiftpm",
    };
    return names;
}

bool FolderActivity::isGenerated(std::string_view path) {
    if (endsWith(path, ".log") || endsWith(path, ".tsbuildinfo")) return true;
    const auto& names = generated();
    std::string_view last;
    while (!path.empty()) {
        const auto slash = path.find('/');
        const std::string_view component = path.substr(0, slash);
        if (!component.empty()) {
            if (names.count(std::string(component))) return true;
            last = component;
        }
        path = slash == std::string_view::npos ? std::string_view() : path.substr(slash + 1);
    }
    return last == ".DS_Store";
}

void FolderActivity::watch(const std::vector<std::string>& given) {
    std::vector<std::string> folders = given;
    std::sort(folders.begin(), folders.end());
    folders.erase(std::unique(folders.begin(), folders.end()), folders.end());
    {
        // Only the owner's thread changes `folders_`, so the answer holds after unlocking.
        std::lock_guard guard(lock_);
        if (folders == folders_) return;
    }
    std::vector<Watched> realPaths;
    std::vector<std::string> roots;
    for (const auto& folder : folders) {
        realPaths.push_back({sys::realPath(folder).value_or(folder), folder});
        roots.push_back(realPaths.back().real);
    }

    std::unique_ptr<sys::TreeWatcher> old;
    {
        std::lock_guard guard(lock_);
        folders_ = std::move(folders);
        realPaths_ = std::move(realPaths);
        std::erase_if(changes_, [this](const auto& change) {
            return !std::binary_search(folders_.begin(), folders_.end(), change.first);
        });
        old = std::move(stream_);
    }
    // Joined outside the lock: its reader may be waiting for the lock in record().
    old.reset();
    if (roots.empty()) return;

    auto stream = std::make_unique<sys::TreeWatcher>(
        roots, generated(), latency_,
        [this](const sys::TreeWatcher::Batch& batch) { record(batch.paths, batch.overflowed); });
    if (!stream->running()) return;
    std::lock_guard guard(lock_);
    stream_ = std::move(stream);
}

std::map<std::string, std::chrono::system_clock::time_point> FolderActivity::lastChanges() const {
    std::lock_guard guard(lock_);
    return changes_;
}

void FolderActivity::record(const std::vector<std::string>& paths, bool overflowed) {
    const auto now = clock_();
    std::vector<const std::string*> counted;
    for (const auto& path : paths)
        if (!isGenerated(path)) counted.push_back(&path);
    if (counted.empty() && !overflowed) return;

    std::lock_guard guard(lock_);
    for (const auto& watched : realPaths_) {
        const bool marked = overflowed || std::any_of(counted.begin(), counted.end(), [&](const std::string* path) {
                                return isInside(*path, watched.real);
                            });
        if (marked) changes_[watched.folder] = now;
    }
}

} // namespace tidra
