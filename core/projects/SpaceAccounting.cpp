#include "projects/SpaceAccounting.h"

#include "fs/BulkWalker.h"
#include "platform/CloneKeys.h"
#include "platform/DirectoryReader.h"
#include "platform/FileStatus.h"

#include <tbb/parallel_for_each.h>

#include <algorithm>
#include <compare>
#include <limits>
#include <mutex>
#include <unordered_set>

namespace tidra::SpaceAccounting {
namespace {

// Names a file's data. Identity is always (device, number): inode numbers repeat across
// volumes. The families keep a hard-linked inode, a one-link inode and a shared extent apart.
struct DataKey {
    enum class Family : std::uint8_t { hardLink, clone, file };
    Family family = Family::file;
    std::uint64_t device = 0;
    std::uint64_t id = 0;

    auto operator<=>(const DataKey&) const = default;
};

struct DataKeyHash {
    std::size_t operator()(const DataKey& key) const {
        const auto mixed = (key.id * 0x9E3779B97F4A7C15ull) ^ (key.device << 8) ^ std::uint64_t(key.family);
        return std::hash<std::uint64_t>{}(mixed);
    }
};

// One sighting of data that may be shared, or of a large file.
struct Entry {
    DataKey key;
    std::int32_t owner = 0;
    std::int64_t bytes = 0;
    std::uint16_t links = 0;

    auto operator<=>(const Entry&) const = default;
};

// What the walk knows of one file it hands over.
struct File {
    std::uint64_t device;
    std::uint64_t inode;
    std::int64_t links;
    std::int64_t bytes;
    // The data id a copy-on-write copy shares, when it shares any.
    std::optional<std::uint64_t> clone;
};

constexpr std::int64_t batch = 19999;
constexpr BulkWalker::Fields fields =
    BulkWalker::Field::identity | BulkWalker::Field::linkCount | BulkWalker::Field::allocatedBytes;

// The running count of entries read by all workers of one measurement.
class Counter {
public:
    Counter(const Progress& progress, const IsCancelled& isCancelled) : progress_(progress), isCancelled_(isCancelled) {}

    // Adds a worker's pending count and reports the new total; true when the work goes on.
    bool add(std::int64_t entries) {
        std::int64_t total = 0;
        {
            const std::lock_guard guard(lock_);
            total_ += entries;
            total = total_;
        }
        if (progress_) progress_(total);
        return !cancelled();
    }

    bool cancelled() const { return isCancelled_ && isCancelled_(); }

private:
    const Progress& progress_;
    const IsCancelled& isCancelled_;
    std::mutex lock_;
    std::int64_t total_ = 0;
};

using FileVisitor = std::function<void(const File&)>;

bool isExcluded(const Unit& unit, const BulkFolder& folder, const BulkEntry& entry) {
    return unit.looseFilesOnly || (!unit.excluding.empty() && unit.excluding.count(folder.pathOf(entry)) != 0);
}

// Walks one unit, handing every file with allocated bytes to `visit`.
void walk(const Unit& unit, Counter& counter, const CloneKeys& clones, const FileVisitor& visit) {
    std::int64_t pending = 0;
    std::optional<bool> canShare;
    BulkWalker::walk(unit.path, [&](BulkFolder& folder) {
        if (!canShare) canShare = clones.volumeCanShare && clones.volumeCanShare(folder);
        for (std::size_t index = 0; index < folder.entries.size(); ++index) {
            const auto& entry = folder.entries[index];
            if (entry.kind == BulkEntry::Kind::directory && isExcluded(unit, folder, entry))
                folder.skipped.insert(std::int64_t(index));
            if (entry.kind != BulkEntry::Kind::file || entry.allocatedBytes <= 0) continue;
            File file{entry.device, entry.fileID, entry.linkCount, entry.allocatedBytes, std::nullopt};
            if (*canShare && clones.sharedData && file.links == 1 && file.bytes >= sys::CloneKeys::smallestShared)
                file.clone = clones.sharedData(folder, entry);
            visit(file);
        }
        pending += std::int64_t(folder.entries.size());
        if (pending <= batch) return true;
        const bool goOn = counter.add(pending);
        pending = 0;
        return goOn;
    }, {}, fields);
    counter.add(pending);
}

std::vector<Unit> unitsOf(const std::vector<SpaceOwner>& owners) {
    std::vector<Unit> units;
    for (std::size_t number = 0; number < owners.size(); ++number) {
        auto more = split(owners[number], std::int32_t(number));
        std::move(more.begin(), more.end(), std::back_inserter(units));
    }
    return units;
}

using KeySet = std::unordered_set<DataKey, DataKeyHash>;

// The keys of everything the package stores hold that an owner could share with them.
KeySet storeKeys(const std::vector<std::string>& caches, Counter& counter, const CloneKeys& clones) {
    std::vector<SpaceOwner> stores;
    for (const auto& path : caches) stores.push_back({path, {}});
    auto units = unitsOf(stores);
    for (auto& unit : units) unit.owner = storeOwner;
    KeySet keys;
    std::mutex lock;
    tbb::parallel_for_each(units.begin(), units.end(), [&](const Unit& unit) {
        if (counter.cancelled()) return;
        std::vector<DataKey> found;
        walk(unit, counter, clones, [&](const File& file) {
            // One-link files of a store can only be matched through shared extents.
            if (file.links >= 2) found.push_back({DataKey::Family::hardLink, file.device, file.inode});
            else if (file.clone) found.push_back({DataKey::Family::clone, file.device, *file.clone});
        });
        const std::lock_guard guard(lock);
        keys.insert(found.begin(), found.end());
    });
    return keys;
}

// What the owners' walks gathered.
struct Gathered {
    std::vector<std::int64_t> apparent, own, shared;
    std::vector<Entry> entries;
};

// The totals of one unit, added to the shared results when the unit is done.
struct UnitTally {
    std::int64_t apparent = 0, own = 0, shared = 0;
    std::vector<Entry> entries;
    std::set<DataKey> seen;

    void count(const File& file, std::int32_t owner, const KeySet& stores) {
        DataKey key;
        bool first = true;
        if (file.links >= 2) {
            key = {DataKey::Family::hardLink, file.device, file.inode};
            first = seen.insert(key).second;
            if (first) apparent += file.bytes;
        } else {
            apparent += file.bytes;
            if (!file.clone) return countPlain(file, owner);
            key = {DataKey::Family::clone, file.device, *file.clone};
        }
        if (stores.count(key) != 0) {
            if (first) shared += file.bytes;
            return;
        }
        // Every link met is recorded, repeats too, so a run can tell whether all links were seen.
        const auto links = std::uint16_t(std::clamp<std::int64_t>(file.links, 0, std::numeric_limits<std::uint16_t>::max()));
        entries.push_back({key, owner, file.bytes, links});
    }

    void countPlain(const File& file, std::int32_t owner) {
        if (file.bytes < sys::CloneKeys::smallestShared) own += file.bytes;
        else entries.push_back({{DataKey::Family::file, file.device, file.inode}, owner, file.bytes, 1});
    }
};

Gathered gather(const std::vector<SpaceOwner>& owners, const KeySet& stores, Counter& counter, const CloneKeys& clones) {
    Gathered result{std::vector<std::int64_t>(owners.size()), std::vector<std::int64_t>(owners.size()),
                    std::vector<std::int64_t>(owners.size()), {}};
    const auto units = unitsOf(owners);
    std::mutex lock;
    tbb::parallel_for_each(units.begin(), units.end(), [&](const Unit& unit) {
        if (counter.cancelled()) return;
        UnitTally tally;
        walk(unit, counter, clones, [&](const File& file) { tally.count(file, unit.owner, stores); });
        const auto at = std::size_t(unit.owner);
        const std::lock_guard guard(lock);
        result.apparent[at] += tally.apparent;
        result.own[at] += tally.own;
        result.shared[at] += tally.shared;
        std::move(tally.entries.begin(), tally.entries.end(), std::back_inserter(result.entries));
    });
    return result;
}

// Settles one run of sightings of the same data.
void settle(std::vector<Entry>::const_iterator first, std::vector<Entry>::const_iterator last, Gathered& gathered,
            SpaceAccount& account) {
    // The smallest size and the largest link count: clones may report different sizes and a
    // file may gain a link while we walk; neither may promise more than deleting gives back.
    std::int64_t bytes = first->bytes;
    std::uint16_t links = 0;
    std::set<std::int32_t> holders;
    for (auto entry = first; entry != last; ++entry) {
        bytes = std::min(bytes, entry->bytes);
        links = std::max(links, entry->links);
        holders.insert(entry->owner);
    }
    const auto sightings = last - first;
    if (first->key.family == DataKey::Family::hardLink && links >= 2 && sightings < links) {
        for (const auto owner : holders) account.sharedOutside[std::size_t(owner)] += bytes;
    } else if (holders.size() == 1) {
        gathered.own[std::size_t(*holders.begin())] += bytes;
    } else {
        account.combinations[SpaceAccount::Owners(holders.begin(), holders.end())] += bytes;
    }
}

SpaceAccount settleAll(Gathered gathered) {
    SpaceAccount account{gathered.apparent, gathered.shared, {}};
    // A total order, so the result never depends on which worker finished first.
    std::sort(gathered.entries.begin(), gathered.entries.end());
    const auto& entries = gathered.entries;
    for (auto run = entries.begin(); run != entries.end();) {
        const auto end = std::find_if(run, entries.end(), [&](const Entry& e) { return e.key != run->key; });
        settle(run, end, gathered, account);
        run = end;
    }
    for (std::size_t owner = 0; owner < gathered.own.size(); ++owner)
        if (gathered.own[owner] > 0) account.combinations[{std::int32_t(owner)}] += gathered.own[owner];
    return account;
}

} // namespace

std::vector<Unit> split(const SpaceOwner& owner, std::int32_t number) {
    const Unit whole{owner.path, number, owner.excluding, false};
    sys::DirectoryReader reader;
    if (!reader.open(owner.path) || reader.list() != sys::DirectoryReader::Result::complete) return {whole};
    const auto volume = sys::FileStatus::deviceOf(reader.descriptor());
    std::vector<Unit> units{{owner.path, number, owner.excluding, true}};
    for (const auto& listed : reader.entries()) {
        int error = 0;
        const auto status = sys::FileStatus::at(reader.descriptor(), listed.name, error);
        // A folder mounted from another volume is not part of this one's space.
        if (!status || status->type != sys::FileStatus::Type::directory || status->device != volume) continue;
        auto child = owner.path + "/" + std::string(listed.name, listed.nameLength);
        if (owner.excluding.count(child) != 0) continue;
        units.push_back({std::move(child), number, owner.excluding, false});
    }
    return units;
}

CloneKeys CloneKeys::live() {
    return {[](const BulkFolder& folder) { return sys::CloneKeys::volumeCanShare(folder.descriptor); },
            [](const BulkFolder& folder, const BulkEntry& entry) {
                return sys::CloneKeys::sharedExtent(folder.descriptor, entry.namePointer);
            }};
}

SpaceAccount measure(const std::vector<SpaceOwner>& owners, const std::vector<std::string>& caches,
                     const Progress& progress, const IsCancelled& isCancelled, const CloneKeys& clones) {
    Counter counter(progress, isCancelled);
    const auto stores = storeKeys(caches, counter, clones);
    return settleAll(gather(owners, stores, counter, clones));
}

} // namespace tidra::SpaceAccounting
