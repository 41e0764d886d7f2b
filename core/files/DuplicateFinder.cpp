#include "files/DuplicateFinder.h"

#include "files/UserFiles.h"
#include "platform/FileReader.h"

#include <openssl/evp.h>
#include <tbb/parallel_for.h>

#include <algorithm>
#include <atomic>
#include <map>
#include <memory>
#include <unordered_map>

namespace tidra::DuplicateFinder {
namespace {

constexpr std::int64_t headTail = 65'536;
constexpr std::int64_t chunk = 1'048'576;
constexpr std::int64_t partialFrom = 2 * headTail + 1;
constexpr std::int64_t comparingStride = 16;
constexpr std::int64_t confirmingStride = 16 * chunk;

// One worker's read buffer, kept for the thread's life so a search allocates it once.
unsigned char* buffer() {
    thread_local const auto storage = std::make_unique<unsigned char[]>(std::size_t(chunk));
    return storage.get();
}

struct Sha256 {
    std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> context{EVP_MD_CTX_new(), EVP_MD_CTX_free};

    bool start() { return context && EVP_DigestInit_ex(context.get(), EVP_sha256(), nullptr) == 1; }
    bool feed(const unsigned char* data, std::int64_t size) {
        return EVP_DigestUpdate(context.get(), data, std::size_t(size)) == 1;
    }
    std::optional<std::string> hex() {
        unsigned char bytes[EVP_MAX_MD_SIZE];
        unsigned int length = 0;
        if (EVP_DigestFinal_ex(context.get(), bytes, &length) != 1) return std::nullopt;
        static constexpr char digits[] = "0123456789abcdef";
        std::string text;
        for (unsigned int i = 0; i < length; ++i) text += {digits[bytes[i] >> 4], digits[bytes[i] & 15]};
        return text;
    }
};

bool feedRange(sys::FileReader& file, Sha256& sha, std::int64_t offset, std::int64_t size) {
    const auto got = file.read(offset, buffer(), std::size_t(size));
    return got >= 0 && sha.feed(buffer(), got);
}

bool feedAll(sys::FileReader& file, Sha256& sha, const ChunkRead& chunkRead) {
    for (std::int64_t offset = 0;; offset += chunk) {
        const auto got = file.read(offset, buffer(), std::size_t(chunk));
        if (got < 0 || !sha.feed(buffer(), got)) return false;
        if (chunkRead && !chunkRead(got)) return false;
        if (got < chunk) return true;  // a short read is the end of the file
    }
}

// A set of files of one length, with a digest slot per file.
struct Set {
    std::int64_t length = 0;
    std::vector<DuplicateFile> files;
};

struct Slot {
    std::optional<std::string> digest;
    bool attempted = false;
};

// Digests every file of every set in one parallel pass. Each file writes only its own slot,
// so nothing is locked.
std::vector<std::vector<Slot>> digestAll(const std::vector<Set>& sets, bool partial, const IsCancelled& isCancelled,
                                         const std::function<void()>& done, const ChunkRead& chunkRead) {
    std::vector<std::vector<Slot>> slots(sets.size());
    std::vector<std::pair<std::size_t, std::size_t>> work;
    for (std::size_t s = 0; s < sets.size(); ++s) {
        slots[s].resize(sets[s].files.size());
        for (std::size_t f = 0; f < sets[s].files.size(); ++f) work.emplace_back(s, f);
    }
    tbb::parallel_for(std::size_t(0), work.size(), [&](std::size_t i) {
        if (isCancelled && isCancelled()) return;
        const auto [s, f] = work[i];
        auto& slot = slots[s][f];
        slot.digest = digest(sets[s].files[f].path, sets[s].length, partial, chunkRead);
        slot.attempted = !(isCancelled && isCancelled());
        if (done) done();
    });
    return slots;
}

// The files of `set` that share a digest with another, by digest; nothing when a file of the
// set was skipped by cancellation, since its group would be incomplete.
std::map<std::string, std::vector<DuplicateFile>> matches(const Set& set, const std::vector<Slot>& slots) {
    std::map<std::string, std::vector<DuplicateFile>> byDigest;
    if (!std::all_of(slots.begin(), slots.end(), [](const Slot& s) { return s.attempted; })) return byDigest;
    for (std::size_t f = 0; f < slots.size(); ++f)
        if (slots[f].digest) byDigest[*slots[f].digest].push_back(set.files[f]);
    std::erase_if(byDigest, [](const auto& entry) { return entry.second.size() < 2; });
    return byDigest;
}

std::vector<Set> setsByLength(const std::vector<UserFiles::File>& listed) {
    std::unordered_map<std::int64_t, Set> byLength;
    for (const auto& file : listed) {
        if (file.length == 0) continue;
        auto& set = byLength[file.length];
        set.length = file.length;
        set.files.push_back({file.path, file.bytes, file.modified, file.created, file.cloneID});
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

    std::vector<DuplicateGroup> run(const std::vector<Set>& sets) {
        std::vector<Set> toConfirm;
        compareHeadsAndTails(sets, toConfirm);
        confirmWhole(toConfirm);
        return orderGroups(std::move(groups_));
    }

private:
    void report(const Stage& stage) const {
        if (progress_) progress_(stage);
    }

    void compareHeadsAndTails(const std::vector<Set>& sets, std::vector<Set>& toConfirm) {
        std::int64_t total = 0;
        for (const auto& set : sets) total += std::int64_t(set.files.size());
        std::atomic<std::int64_t> count = 0;
        const auto done = [&] {
            const auto now = ++count;
            if (now % comparingStride == 0 || now == total) report(Comparing{now, total});
        };
        const auto slots = digestAll(sets, true, isCancelled_, done, nullptr);
        for (std::size_t s = 0; s < sets.size(); ++s)
            for (auto& [hash, files] : matches(sets[s], slots[s])) {
                if (sets[s].length < partialFrom) addGroup(hash, sets[s].length, std::move(files));
                else toConfirm.push_back({sets[s].length, std::move(files)});
            }
    }

    void confirmWhole(const std::vector<Set>& sets) {
        if (sets.empty()) return;
        std::int64_t total = 0;
        for (const auto& set : sets) total += set.length * std::int64_t(set.files.size());
        std::atomic<std::int64_t> read = 0;
        const auto chunkRead = [&](std::int64_t bytes) {
            const auto now = read += bytes;
            if (now / confirmingStride != (now - bytes) / confirmingStride) report(Confirming{now, total});
            return !(isCancelled_ && isCancelled_());
        };
        const auto slots = digestAll(sets, false, isCancelled_, nullptr, chunkRead);
        report(Confirming{read, total});
        for (std::size_t s = 0; s < sets.size(); ++s)
            for (auto& [hash, files] : matches(sets[s], slots[s])) addGroup(hash, sets[s].length, std::move(files));
    }

    void addGroup(const std::string& hash, std::int64_t length, std::vector<DuplicateFile> files) {
        for (auto& file : files) file.cloneID = resolvedCloneID(file.path, file.cloneID, cloneKeys_);
        groups_.push_back({hash, length, keeperFirst(std::move(files), home_)});
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
                                 const CloneKeyProvider& cloneKeys) {
    const auto listed = UserFiles::list(
        roots, std::max<std::int64_t>(minimumBytes, 1), nullptr,
        [&](std::int64_t files) {
            if (progress) progress(Looking{files});
        },
        isCancelled);
    const auto sets = setsByLength(listed);
    if (sets.empty() || (isCancelled && isCancelled())) return {};
    return Search(home, progress, isCancelled, cloneKeys).run(sets);
}

std::optional<std::string> digest(const std::string& path, std::int64_t size, bool partial,
                                  const ChunkRead& chunkRead) {
    const bool headAndTail = partial && size >= partialFrom;
    sys::FileReader file;
    if (!file.open(path, !headAndTail)) return std::nullopt;
    Sha256 sha;
    if (!sha.start()) return std::nullopt;
    const bool read = headAndTail ? feedRange(file, sha, 0, headTail) && feedRange(file, sha, size - headTail, headTail)
                                  : feedAll(file, sha, chunkRead);
    return read ? sha.hex() : std::nullopt;
}

} // namespace tidra::DuplicateFinder
