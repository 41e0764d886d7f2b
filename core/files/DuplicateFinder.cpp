#include "files/DuplicateFinder.h"

#include "files/FileTable.h"
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
#include <tuple>

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

// Head and tail of a file of `size` bytes into `buffer`: the bytes read, or -1.
std::int64_t headAndTail(sys::FileReader& file, std::int64_t size, const ReadBuffer& buffer) {
    const auto head = file.read(0, buffer.data(), std::size_t(headTail));
    const auto tail = head < 0 ? -1 : file.read(size - headTail, buffer.data() + head, std::size_t(headTail));
    return tail < 0 ? -1 : head + tail;
}

std::uint64_t hashOf(const unsigned char* data, std::int64_t size) {
    return std::hash<std::string_view>()({reinterpret_cast<const char*>(data), std::size_t(size)});
}

// A cheap key of the first block, or of head and tail, of a file. Only sorts files apart:
// files with equal keys are still compared in full, so a collision costs a read, never a
// wrong group.
struct Key {
    static constexpr std::int64_t unreadable = -1;
    static constexpr std::int64_t notRead = -2;

    std::uint64_t hash = 0;
    // Bytes the key covers, or one of the two marks above.
    std::int64_t got = notRead;

    bool readable() const { return got >= 0; }
    auto operator<=>(const Key&) const = default;
};

// The first block is read into the worker's stack: the pass over every file of a home
// allocates nothing per file but the path.
Key firstBlockKey(const std::string& path, std::int64_t size) {
    sys::FileReader file;
    if (!file.open(path, false)) return {0, Key::unreadable};
    unsigned char buffer[prefix];
    const auto got = file.read(0, buffer, std::size_t(std::min(prefix, size)));
    return got < 0 ? Key{0, Key::unreadable} : Key{hashOf(buffer, got), got};
}

Key headTailKey(const std::string& path, std::int64_t size) {
    sys::FileReader file;
    if (!file.open(path, false)) return {0, Key::unreadable};
    const ReadBuffer buffer(2 * headTail);
    const auto got = headAndTail(file, size, buffer);
    return got < 0 ? Key{0, Key::unreadable} : Key{hashOf(buffer.data(), got), got};
}

// Files of one length that may still be identical.
struct Set {
    std::int64_t length = 0;
    std::vector<DuplicateFile> files;
};

// The runs of two or more equal, readable keys among `keyed` (key, member) pairs, members
// ascending within each run.
template <typename Member>
std::vector<std::vector<Member>> matchingRuns(std::vector<std::pair<Key, Member>> keyed) {
    std::sort(keyed.begin(), keyed.end());
    std::vector<std::vector<Member>> runs;
    for (auto first = keyed.begin(); first != keyed.end();) {
        const auto last = std::find_if(first, keyed.end(), [&](const auto& k) { return k.first != first->first; });
        if (first->first.readable() && last - first >= 2) {
            auto& run = runs.emplace_back();
            for (auto it = first; it != last; ++it) run.push_back(it->second);
        }
        first = last;
    }
    return runs;
}

bool allRead(const std::vector<Key>& keys, std::size_t from, std::size_t to) {
    return std::none_of(keys.begin() + std::ptrdiff_t(from), keys.begin() + std::ptrdiff_t(to),
                        [](const Key& key) { return key.got == Key::notRead; });
}

// Splits every set by the head and tail of its files, read in one parallel pass. Each file
// writes only its own slot, so nothing is locked. A set that cancellation left unfinished
// gives nothing: its groups would lack members.
std::vector<Set> splitByHeadAndTail(std::vector<Set> sets, const IsCancelled& isCancelled) {
    std::vector<std::pair<std::size_t, std::size_t>> work;
    for (std::size_t s = 0; s < sets.size(); ++s)
        for (std::size_t f = 0; f < sets[s].files.size(); ++f) work.emplace_back(s, f);
    std::vector<Key> keys(work.size());
    tbb::parallel_for(std::size_t(0), work.size(), [&](std::size_t i) {
        if (isCancelled && isCancelled()) return;
        const auto [s, f] = work[i];
        keys[i] = headTailKey(sets[s].files[f].path, sets[s].length);
    });
    std::vector<Set> split;
    for (std::size_t first = 0; first < work.size(); first += sets[work[first].first].files.size()) {
        auto& set = sets[work[first].first];
        if (!allRead(keys, first, first + set.files.size())) continue;
        std::vector<std::pair<Key, std::size_t>> keyed;
        for (std::size_t f = 0; f < set.files.size(); ++f) keyed.emplace_back(keys[first + f], f);
        for (const auto& run : matchingRuns(std::move(keyed))) {
            auto& part = split.emplace_back(Set{set.length, {}});
            for (const auto f : run) part.files.push_back(std::move(set.files[f]));
        }
    }
    return split;
}

// Files of one set found identical by their whole content.
struct Match {
    std::size_t set = 0;
    // SHA-256 of the content, 64 lower-case hexadecimal digits.
    std::string hash;
    // Indexes into the set's files.
    std::vector<std::size_t> members;
};

// Collects whole-content matches from parallel workers. They hand over indexes only: the
// groups are built on the calling thread once the reading is done, so that nothing the
// workers allocated outlives the search in their heaps.
class Confirmed {
public:
    void add(Match match) {
        const std::lock_guard lock(mutex_);
        matches_.push_back(std::move(match));
    }
    std::vector<Match> take() {
        const std::lock_guard lock(mutex_);
        return std::move(matches_);
    }

private:
    std::mutex mutex_;
    std::vector<Match> matches_;
};

// A few files are read side by side; a large set is hashed file by file.
void confirmSet(std::size_t s, const Set& set, const ChunkRead& chunkRead, const IsCancelled& isCancelled,
                Confirmed& confirmed) {
    if (set.files.size() <= IdenticalContent::maximumFiles) {
        std::vector<std::string> paths;
        for (const auto& file : set.files) paths.push_back(file.path);
        auto matches = IdenticalContent::split(paths, set.length, chunkRead);
        for (auto& match : matches.value_or(std::vector<IdenticalContent::Match>{}))
            confirmed.add({s, std::move(match.hash), std::move(match.members)});
        return;
    }
    std::vector<std::optional<std::string>> digests(set.files.size());
    tbb::parallel_for(std::size_t(0), set.files.size(), [&](std::size_t f) {
        if (!(isCancelled && isCancelled())) digests[f] = digest(set.files[f].path, set.length, false, chunkRead);
    });
    if (isCancelled && isCancelled()) return;
    std::map<std::string, std::vector<std::size_t>> byDigest;
    for (std::size_t f = 0; f < digests.size(); ++f)
        if (digests[f]) byDigest[*digests[f]].push_back(f);
    for (auto& [hash, members] : byDigest)
        if (members.size() >= 2) confirmed.add({s, hash, std::move(members)});
}

// The rows of `table` whose length another file shares, ordered by length. A file met twice
// (two roots overlapping, a bind mount) is one file, never a duplicate of itself: only its
// first row stays.
std::vector<std::uint32_t> sameLengthRows(const FileTable& table) {
    std::vector<std::uint32_t> rows;
    for (std::size_t row = 0; row < table.size(); ++row)
        if (table.length(row) > 0) rows.push_back(std::uint32_t(row));
    const auto identity = [&](std::uint32_t row) {
        const auto facts = table.facts(row);
        return std::tuple(facts.length, facts.device, facts.inode);
    };
    std::sort(rows.begin(), rows.end(),
              [&](auto a, auto b) { return std::pair(identity(a), a) < std::pair(identity(b), b); });
    rows.erase(std::unique(rows.begin(), rows.end(), [&](auto a, auto b) { return identity(a) == identity(b); }),
               rows.end());
    const auto sameLength = [&](std::size_t i, std::size_t j) {
        return j < rows.size() && table.length(rows[i]) == table.length(rows[j]);
    };
    std::size_t kept = 0;
    for (std::size_t i = 0; i < rows.size(); ++i)
        if ((i > 0 && sameLength(i - 1, i)) || sameLength(i, i + 1)) rows[kept++] = rows[i];
    rows.resize(kept);
    rows.shrink_to_fit();
    return rows;
}

class Search {
public:
    Search(const std::string& home, const Progress& progress, const IsCancelled& isCancelled,
           const CloneKeyProvider& cloneKeys)
        : home_(home), progress_(progress), isCancelled_(isCancelled), cloneKeys_(cloneKeys) {}

    // Each round reads only as much as tells the remaining files apart: the first block, then
    // head and tail of large files, then whole contents; a file that matches no other file of
    // its length drops out at once. The listing goes once the first round is done: only the
    // files that passed it are carried on, by path.
    std::vector<DuplicateGroup> run(FileTable listed) {
        std::vector<Set> toHeadTail, toWhole;
        for (auto& set : compareFirstBlocks(std::move(listed)))
            (set.length < partialFrom ? toWhole : toHeadTail).push_back(std::move(set));
        for (auto& set : splitByHeadAndTail(std::move(toHeadTail), isCancelled_)) toWhole.push_back(std::move(set));
        for (auto& match : readWhole(toWhole)) {
            Set part{toWhole[match.set].length, {}};
            for (const auto f : match.members) part.files.push_back(std::move(toWhole[match.set].files[f]));
            addGroup(match.hash, std::move(part));
        }
        return orderGroups(std::move(groups_));
    }

private:
    void report(const Stage& stage) const {
        if (progress_) progress_(stage);
    }

    // Reads the first block of every file whose length another file shares, all in one
    // parallel pass, and keeps the files whose block matches another's of the same length.
    std::vector<Set> compareFirstBlocks(FileTable listed) {
        const auto rows = sameLengthRows(listed);
        if (rows.empty() || (isCancelled_ && isCancelled_())) return {};
        const auto total = std::int64_t(rows.size());
        std::atomic<std::int64_t> count = 0;
        std::vector<Key> keys(rows.size());
        tbb::parallel_for(std::size_t(0), rows.size(), [&](std::size_t i) {
            if (isCancelled_ && isCancelled_()) return;
            keys[i] = firstBlockKey(listed.path(rows[i]), listed.length(rows[i]));
            const auto now = ++count;
            if (now % comparingStride == 0 || now == total) report(Comparing{now, total});
        });
        std::vector<Set> sets;
        for (std::size_t first = 0, last = 0; first < rows.size(); first = last) {
            const auto length = listed.length(rows[first]);
            while (last < rows.size() && listed.length(rows[last]) == length) ++last;
            if (!allRead(keys, first, last)) continue;
            std::vector<std::pair<Key, std::uint32_t>> keyed;
            for (auto i = first; i < last; ++i) keyed.emplace_back(keys[i], rows[i]);
            for (const auto& run : matchingRuns(std::move(keyed))) {
                auto& set = sets.emplace_back(Set{length, {}});
                for (const auto row : run) {
                    const auto facts = listed.facts(row);
                    set.files.push_back({listed.path(row), 0, {}, {}, CloneID::ownIdentity(facts.device, facts.inode)});
                }
            }
        }
        return sets;
    }

    std::vector<Match> readWhole(const std::vector<Set>& sets) {
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
            if (!(isCancelled_ && isCancelled_())) confirmSet(s, sets[s], chunkRead, isCancelled_, confirmed);
        });
        report(Confirming{read, total});
        return confirmed.take();
    }

    // The listing kept no details: they are read now, for the few files that made a group. A
    // file gone since its content was read leaves the group.
    void addGroup(const std::string& hash, Set set) {
        std::vector<DuplicateFile> files;
        for (auto& file : set.files) {
            const auto now = UserFiles::fileAt(file.path);
            if (!now) continue;
            const auto cloneID = resolvedCloneID(file.path, file.cloneID, cloneKeys_);
            files.push_back({std::move(file.path), now->bytes, now->modified, now->created, cloneID, now->links > 1});
        }
        if (files.size() >= 2) groups_.push_back({hash, set.length, keeperFirst(std::move(files), home_)});
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
    auto listed = UserFiles::table(
        roots, std::max<std::int64_t>(minimumBytes, 1), nullptr,
        [&](std::int64_t files) {
            if (progress) progress(Looking{files});
        },
        isCancelled, unreadable, UserFiles::Details::leftOut);
    auto groups = isCancelled && isCancelled() ? std::vector<DuplicateGroup>{}
                                               : Search(home, progress, isCancelled, cloneKeys).run(std::move(listed));
    // The application runs for days: hand the listing and the workers' read buffers back to
    // the system instead of keeping them resident until the next search.
    SearchMemory::giveBack();
    return groups;
}

std::optional<std::string> digest(const std::string& path, std::int64_t size, bool partial,
                                  const ChunkRead& chunkRead) {
    const bool partly = partial && size >= partialFrom;
    sys::FileReader file;
    if (!file.open(path, !partly)) return std::nullopt;
    Sha256 sha;
    if (!partly) return feedAll(file, ReadBuffer::forWholeFile(size), sha, chunkRead) ? sha.hex() : std::nullopt;
    const ReadBuffer buffer(2 * headTail);
    const auto got = headAndTail(file, size, buffer);
    if (got < 0 || !sha.feed(buffer.data(), got)) return std::nullopt;
    return sha.hex();
}

} // namespace tidra::DuplicateFinder
