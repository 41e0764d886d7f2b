#include "files/DuplicateFinder.h"

#include "files/IdenticalContent.h"
#include "files/ReadBuffer.h"
#include "files/SearchMemory.h"
#include "files/Sha256.h"
#include "files/UserFiles.h"
#include "platform/FileReader.h"

#include <tbb/parallel_for.h>

#include <algorithm>
#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

namespace tidra::DuplicateFinder {
namespace {

// Most files of equal length already differ in their first block.
constexpr std::int64_t prefix = 4096;
constexpr std::int64_t headTail = 65'536;
constexpr std::int64_t partialFrom = 2 * headTail + 1;
constexpr std::int64_t comparingStride = 16;
constexpr std::int64_t confirmingStride = 16 * ReadBuffer::chunk;

bool feedAll(sys::FileReader& file, const ReadBuffer& buffer, Sha256& sha, const ChunkRead& chunkRead) {
    for (std::int64_t offset = 0;; offset += buffer.size()) {
        const auto got = file.read(offset, buffer.data(), std::size_t(buffer.size()));
        if (got < 0 || !sha.feed(buffer.data(), got)) return false;
        if (chunkRead && !chunkRead(got)) return false;
        if (got < buffer.size()) return true;  // a short read is the end of the file
    }
}

// The first block, or head and tail, of a file of `size` bytes into `buffer`: the bytes
// read, or -1.
std::int64_t peekAt(sys::FileReader& file, std::int64_t size, bool headAndTail, const ReadBuffer& buffer) {
    if (!headAndTail) return file.read(0, buffer.data(), std::size_t(buffer.size()));
    const auto head = file.read(0, buffer.data(), std::size_t(headTail));
    const auto tail = head < 0 ? -1 : file.read(size - headTail, buffer.data() + head, std::size_t(headTail));
    return tail < 0 ? -1 : head + tail;
}

enum class Peek { prefix, headAndTail };

// A cheap key of the first block, or of head and tail, of a file of `size` bytes. Only sorts
// files apart: files with equal keys are still compared in full, so a collision costs a read,
// never a wrong group.
std::optional<std::string> keyOf(const std::string& path, std::int64_t size, Peek peek) {
    sys::FileReader file;
    if (!file.open(path, false)) return std::nullopt;
    const bool headAndTail = peek == Peek::headAndTail;
    const ReadBuffer buffer(headAndTail ? 2 * headTail : std::min(prefix, size));
    const auto got = peekAt(file, size, headAndTail, buffer);
    if (got < 0) return std::nullopt;
    const auto hash = std::hash<std::string_view>()({reinterpret_cast<const char*>(buffer.data()), std::size_t(got)});
    return std::to_string(hash) + ":" + std::to_string(got);
}

// Files of one length that may still be identical.
struct Set {
    std::int64_t length = 0;
    std::vector<DuplicateFile> files;
};

// A set's subsets of files whose keys (or digests) agree, with the key.
using Split = std::vector<std::pair<std::string, Set>>;

// Keys every file of every set in one parallel pass and splits the sets by key. Each file
// writes only its own slot, so nothing is locked. A set that cancellation left unfinished
// gives nothing: its groups would lack members.
Split splitByKey(std::vector<Set> sets, Peek peek, const IsCancelled& isCancelled,
                 const std::function<void()>& done) {
    struct Slot {
        std::optional<std::string> key;
        bool finished = false;
    };
    std::vector<std::vector<Slot>> slots(sets.size());
    std::vector<std::pair<std::size_t, std::size_t>> work;
    for (std::size_t s = 0; s < sets.size(); ++s) {
        slots[s].resize(sets[s].files.size());
        for (std::size_t f = 0; f < sets[s].files.size(); ++f) work.emplace_back(s, f);
    }
    tbb::parallel_for(std::size_t(0), work.size(), [&](std::size_t i) {
        if (isCancelled && isCancelled()) return;
        const auto [s, f] = work[i];
        slots[s][f] = {keyOf(sets[s].files[f].path, sets[s].length, peek), true};
        if (done) done();
    });
    Split split;
    for (std::size_t s = 0; s < sets.size(); ++s) {
        if (!std::all_of(slots[s].begin(), slots[s].end(), [](const Slot& slot) { return slot.finished; })) continue;
        std::map<std::string, Set> byKey;
        for (std::size_t f = 0; f < slots[s].size(); ++f)
            if (slots[s][f].key) {
                auto& part = byKey[*slots[s][f].key];
                part.length = sets[s].length;
                part.files.push_back(std::move(sets[s].files[f]));
            }
        for (auto& [key, part] : byKey)
            if (part.files.size() >= 2) split.emplace_back(key, std::move(part));
    }
    return split;
}

// Collects whole-content matches from parallel workers.
class Confirmed {
public:
    void add(const std::string& hash, Set set) {
        const std::lock_guard lock(mutex_);
        sets_.emplace_back(hash, std::move(set));
    }
    Split take() {
        const std::lock_guard lock(mutex_);
        return std::move(sets_);
    }

private:
    std::mutex mutex_;
    Split sets_;
};

// A few files are read side by side; a large set is hashed file by file.
void confirmSet(const Set& set, const ChunkRead& chunkRead, const IsCancelled& isCancelled, Confirmed& confirmed) {
    if (set.files.size() <= IdenticalContent::maximumFiles) {
        std::vector<std::string> paths;
        for (const auto& file : set.files) paths.push_back(file.path);
        const auto matches = IdenticalContent::split(paths, set.length, chunkRead);
        for (const auto& match : matches.value_or(std::vector<IdenticalContent::Match>{})) {
            Set part{set.length, {}};
            for (const auto index : match.members) part.files.push_back(set.files[index]);
            confirmed.add(match.hash, std::move(part));
        }
        return;
    }
    std::vector<std::optional<std::string>> digests(set.files.size());
    tbb::parallel_for(std::size_t(0), set.files.size(), [&](std::size_t f) {
        if (!(isCancelled && isCancelled())) digests[f] = digest(set.files[f].path, set.length, false, chunkRead);
    });
    if (isCancelled && isCancelled()) return;
    std::map<std::string, Set> byDigest;
    for (std::size_t f = 0; f < digests.size(); ++f)
        if (digests[f]) {
            byDigest[*digests[f]].length = set.length;
            byDigest[*digests[f]].files.push_back(set.files[f]);
        }
    for (auto& [hash, part] : byDigest)
        if (part.files.size() >= 2) confirmed.add(hash, std::move(part));
}

// Takes the paths over from `listed`, which the search needs no more. A file met twice (two
// roots overlapping, a bind mount) is one file, never a duplicate of itself.
std::vector<Set> setsByLength(std::vector<UserFiles::File> listed) {
    std::unordered_map<std::int64_t, Set> byLength;
    std::unordered_set<CloneID, CloneIDHash> taken;
    for (auto& file : listed) {
        if (file.length == 0 || !taken.insert(file.cloneID).second) continue;
        auto& set = byLength[file.length];
        set.length = file.length;
        set.files.push_back(
            {std::move(file.path), file.bytes, file.modified, file.created, file.cloneID, file.links > 1});
    }
    std::vector<Set> sets;
    for (auto& [length, set] : byLength)
        if (set.files.size() >= 2) sets.push_back(std::move(set));
    return sets;
}

class Search {
public:
    Search(const std::string& home, const Progress& progress, const IsCancelled& isCancelled,
           const CloneKeyProvider& cloneKeys)
        : home_(home), progress_(progress), isCancelled_(isCancelled), cloneKeys_(cloneKeys) {}

    // Each round reads only as much as tells the remaining files apart: the first block, then
    // head and tail of large files, then whole contents; a file that matches no other file of
    // its length drops out at once.
    std::vector<DuplicateGroup> run(std::vector<Set> sets) {
        std::vector<Set> toHeadTail, toWhole;
        for (auto& [key, set] : comparePrefixes(std::move(sets)))
            (set.length < partialFrom ? toWhole : toHeadTail).push_back(std::move(set));
        for (auto& [key, set] : splitByKey(std::move(toHeadTail), Peek::headAndTail, isCancelled_, nullptr))
            toWhole.push_back(std::move(set));
        for (auto& [hash, set] : readWhole(toWhole)) addGroup(hash, std::move(set));
        return orderGroups(std::move(groups_));
    }

private:
    void report(const Stage& stage) const {
        if (progress_) progress_(stage);
    }

    Split comparePrefixes(std::vector<Set> sets) {
        std::int64_t total = 0;
        for (const auto& set : sets) total += std::int64_t(set.files.size());
        std::atomic<std::int64_t> count = 0;
        const auto done = [&] {
            const auto now = ++count;
            if (now % comparingStride == 0 || now == total) report(Comparing{now, total});
        };
        return splitByKey(std::move(sets), Peek::prefix, isCancelled_, done);
    }

    Split readWhole(const std::vector<Set>& sets) {
        if (sets.empty()) return {};
        std::int64_t total = 0;
        for (const auto& set : sets) total += set.length * std::int64_t(set.files.size());
        std::atomic<std::int64_t> read = 0;
        const ChunkRead chunkRead = [&](std::int64_t bytes) {
            const auto now = read += bytes;
            if (now / confirmingStride != (now - bytes) / confirmingStride) report(Confirming{now, total});
            return !(isCancelled_ && isCancelled_());
        };
        Confirmed confirmed;
        tbb::parallel_for(std::size_t(0), sets.size(), [&](std::size_t s) {
            if (!(isCancelled_ && isCancelled_())) confirmSet(sets[s], chunkRead, isCancelled_, confirmed);
        });
        report(Confirming{read, total});
        return confirmed.take();
    }

    void addGroup(const std::string& hash, Set set) {
        for (auto& file : set.files) file.cloneID = resolvedCloneID(file.path, file.cloneID, cloneKeys_);
        groups_.push_back({hash, set.length, keeperFirst(std::move(set.files), home_)});
    }

    const std::string& home_;
    const Progress& progress_;
    const IsCancelled& isCancelled_;
    const CloneKeyProvider& cloneKeys_;
    std::vector<DuplicateGroup> groups_;
};

} // namespace

std::vector<std::string> defaultRoots(const std::string& home) {
    static const std::vector<std::string> names{"Desktop", "Documents", "Downloads", "Pictures",
                                                "Movies",  "Videos",    "Music",     "Public"};
    std::vector<std::string> roots;
    for (const auto& name : names) roots.push_back(home + "/" + name);
    return roots;
}

std::vector<DuplicateGroup> find(const std::vector<std::string>& roots, std::int64_t minimumBytes,
                                 const std::string& home, const Progress& progress, const IsCancelled& isCancelled,
                                 const CloneKeyProvider& cloneKeys, const Unreadable& unreadable) {
    SearchMemory::settle();
    auto listed = UserFiles::list(
        roots, std::max<std::int64_t>(minimumBytes, 1), nullptr,
        [&](std::int64_t files) {
            if (progress) progress(Looking{files});
        },
        isCancelled, unreadable);
    auto groups = [&]() -> std::vector<DuplicateGroup> {
        auto sets = setsByLength(std::move(listed));
        if (sets.empty() || (isCancelled && isCancelled())) return {};
        return Search(home, progress, isCancelled, cloneKeys).run(std::move(sets));
    }();
    // The application runs for days: hand the listing's memory, freed in the workers'
    // arenas, back to the system instead of keeping it resident until the next search.
    SearchMemory::giveBack();
    return groups;
}

std::optional<std::string> digest(const std::string& path, std::int64_t size, bool partial,
                                  const ChunkRead& chunkRead) {
    const bool headAndTail = partial && size >= partialFrom;
    sys::FileReader file;
    if (!file.open(path, !headAndTail)) return std::nullopt;
    Sha256 sha;
    if (!headAndTail) return feedAll(file, ReadBuffer::forWholeFile(size), sha, chunkRead) ? sha.hex() : std::nullopt;
    const ReadBuffer buffer(2 * headTail);
    const auto got = peekAt(file, size, true, buffer);
    if (got < 0 || !sha.feed(buffer.data(), got)) return std::nullopt;
    return sha.hex();
}

} // namespace tidra::DuplicateFinder
