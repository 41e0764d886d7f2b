#include "projects/SpaceAccounting.h"

#include "support/GitFixture.h"
#include "support/MountNamespace.h"
#include "support/TempHome.h"
#include "support/FileProbe.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <map>
#include <mutex>

namespace tidra {
namespace {

using test::TempHome;
using Owners = SpaceAccount::Owners;
using Combinations = std::map<Owners, std::int64_t>;

using test::allocated;

// No file shares extents: keeps results independent of the file system under /tmp.
SpaceAccounting::CloneKeys noClones() { return {}; }

// Clones faked by path: files listed under the same id share their data.
SpaceAccounting::CloneKeys fakeClones(std::map<std::string, std::uint64_t> ids, std::atomic<int>* asked = nullptr) {
    return {[](const BulkFolder&) { return true; },
            [ids = std::move(ids), asked](const BulkFolder& folder, const BulkEntry& entry) -> std::optional<std::uint64_t> {
                if (asked) ++*asked;
                const auto found = ids.find(folder.pathOf(entry));
                if (found == ids.end()) return std::nullopt;
                return found->second;
            }};
}

struct Fixture {
    TempHome home;
    const std::string base = test::realPath(home.root());

    std::string at(const std::string& relative) const { return base + "/" + relative; }
    SpaceOwner owner(const std::string& relative, std::set<std::string> excluded = {}) const {
        std::set<std::string> full;
        for (const auto& path : excluded) full.insert(at(path));
        return {at(relative), full};
    }
    SpaceAccount measure(const std::vector<SpaceOwner>& owners, const std::vector<std::string>& caches = {},
                         const SpaceAccounting::CloneKeys& clones = noClones()) const {
        std::vector<std::string> stores;
        for (const auto& cache : caches) stores.push_back(at(cache));
        return SpaceAccounting::measure(owners, stores, {}, {}, clones);
    }
};

TEST(SpaceAccountingSplitTest, LooseFilesThenOneUnitPerSubfolder) {
    Fixture f;
    f.home.file("p/loose", 10);
    f.home.dir("p/a");
    f.home.dir("p/b/deep");
    f.home.dir("p/skip");
    f.home.dir("elsewhere");
    f.home.symlink("p/link", f.at("elsewhere"));
    const auto owner = f.owner("p", {"p/skip"});

    const auto units = SpaceAccounting::split(owner, 7);
    ASSERT_EQ(units.size(), 3u);
    EXPECT_EQ(units[0], (SpaceAccounting::Unit{f.at("p"), 7, owner.excluding, true}));
    std::set<std::string> children;
    for (std::size_t i = 1; i < units.size(); ++i) {
        EXPECT_FALSE(units[i].looseFilesOnly);
        EXPECT_EQ(units[i].owner, 7);
        EXPECT_EQ(units[i].excluding, owner.excluding);
        children.insert(units[i].path);
    }
    EXPECT_EQ(children, (std::set<std::string>{f.at("p/a"), f.at("p/b")}));

    const auto missing = SpaceAccounting::split(f.owner("gone"), 1);
    EXPECT_EQ(missing, (std::vector<SpaceAccounting::Unit>{{f.at("gone"), 1, {}, false}}));
}

TEST(SpaceAccountingSplitTest, AFolderMountedInsideIsNotPartOfTheOwner) {
    Fixture f;
    const auto own = allocated(f.home.file("p/own", 20000));
    f.home.dir("p/mounted");
    const auto answer = test::runInMountNamespace([&] {
        if (!test::mountTmpfs(f.at("p/mounted"))) return std::string("<no tmpfs>");
        f.home.file("p/mounted/big", 100000);
        const auto units = SpaceAccounting::split(f.owner("p"), 0);
        const auto account = f.measure({f.owner("p")});
        return std::to_string(units.size()) + " " + std::to_string(account.apparent[0]);
    });
    if (!answer || *answer == "<no tmpfs>") GTEST_SKIP() << "cannot mount here: no mount namespace or tmpfs";
    EXPECT_EQ(*answer, "1 " + std::to_string(own));
}

TEST(SpaceAccountingTest, ApparentCountsLooseFilesSubfoldersAndLinksOncePerUnit) {
    Fixture f;
    const auto loose = allocated(f.home.file("p/loose", 10000));
    const auto deep = allocated(f.home.file("p/a/b/deep", 20000));
    f.home.file("p/empty", 0);
    f.home.file("p/a/twice", 30000);
    const auto twice = allocated(f.home.hardlink("p/a/b/twice2", "p/a/twice"));
    const auto split = allocated(f.home.file("p/c/split", 40000));
    f.home.hardlink("p/d/split2", "p/c/split");
    f.home.file("p/skip/hidden", 50000);
    f.home.symlink("p/link", "/usr");

    const auto account = f.measure({f.owner("p", {"p/skip"})});
    // Two links in one unit count once; in two units (c and d) twice; the data once either way.
    EXPECT_EQ(account.apparent, (std::vector<std::int64_t>{loose + deep + twice + 2 * split}));
    EXPECT_EQ(account.sharedOutside, (std::vector<std::int64_t>{0}));
    EXPECT_EQ(account.combinations, (Combinations{{{0}, loose + deep + twice + split}}));
}

TEST(SpaceAccountingTest, HardLinksAcrossOwnersStoresAndOutside) {
    Fixture f;
    const auto pair = allocated(f.home.file("a/pair", 1000000));
    f.home.hardlink("b/pair", "a/pair");
    const auto triple = allocated(f.home.file("a/triple", 100000));
    f.home.hardlink("b/triple", "a/triple");
    f.home.hardlink("outside/triple", "a/triple");
    const auto stored = allocated(f.home.file("store/v3/files/00/pkg", 200000));
    f.home.hardlink("a/node_modules/pkg", "store/v3/files/00/pkg");
    f.home.hardlink("a/node_modules/pkg-again", "store/v3/files/00/pkg");
    const auto small = allocated(f.home.file("b/small", 10000));

    const auto account = f.measure({f.owner("a"), f.owner("b")}, {"store", "no-such-store"});
    EXPECT_EQ(account.apparent, (std::vector<std::int64_t>{pair + triple + stored, pair + triple + small}));
    EXPECT_EQ(account.sharedOutside, (std::vector<std::int64_t>{triple + stored, triple}));
    EXPECT_EQ(account.combinations, (Combinations{{{0, 1}, pair}, {{1}, small}}));

    EXPECT_EQ(account.freed({}), 0);
    EXPECT_EQ(account.freed({0}), 0);
    EXPECT_EQ(account.freed({1}), small);
    EXPECT_EQ(account.freed({0, 1}), pair + small);
    EXPECT_EQ(account.freed({0, 1, 5, -1}), pair + small);
}

TEST(SpaceAccountingTest, ExcludedFoldersCountOnlyForTheirOwnOwner) {
    Fixture f;
    const auto code = allocated(f.home.file("wt/src/main.js", 20000));
    const auto module = allocated(f.home.file("wt/node_modules/lib/index.js", 30000));
    const auto account = f.measure({f.owner("wt/node_modules"), f.owner("wt", {"wt/node_modules"})});
    EXPECT_EQ(account.apparent, (std::vector<std::int64_t>{module, code}));
    EXPECT_EQ(account.freed({1}), code);
    EXPECT_EQ(account.freed({0, 1}), code + module);
}

TEST(SpaceAccountingTest, ClonesShareOneKeyWithinAndAcrossOwners) {
    Fixture f;
    const auto original = allocated(f.home.file("a/original", 64000));
    const auto copy = allocated(f.home.file("a/copy", 64000));
    const auto other = allocated(f.home.file("b/clone", 64000));
    const auto shrunk = allocated(f.home.file("c/clone", 20000));
    const auto tiny = allocated(f.home.file("c/tiny", 8000));
    const auto stored = allocated(f.home.file("store/blob", 64000));
    const auto imported = allocated(f.home.file("d/imported", 64000));
    std::atomic<int> asked = 0;
    const auto clones = fakeClones({{f.at("a/original"), 1}, {f.at("a/copy"), 1}, {f.at("b/clone"), 1},
                                    {f.at("c/clone"), 1}, {f.at("c/tiny"), 1},
                                    {f.at("store/blob"), 2}, {f.at("d/imported"), 2}},
                                   &asked);

    const auto account = f.measure({f.owner("a"), f.owner("b"), f.owner("c"), f.owner("d")}, {"store"}, clones);
    EXPECT_EQ(account.apparent, (std::vector<std::int64_t>{original + copy, other, shrunk + tiny, imported}));
    EXPECT_EQ(account.sharedOutside, (std::vector<std::int64_t>{0, 0, 0, stored}));
    // One run for data seen four times; the smallest size is what all of them surely share.
    EXPECT_EQ(account.combinations, (Combinations{{{0, 1, 2}, std::min({original, copy, other, shrunk})}, {{2}, tiny}}));
    // Files below 16,384 bytes are never asked about.
    EXPECT_EQ(asked.load(), 6);
}

TEST(SpaceAccountingTest, RealClonesOnBtrfs) {
    Fixture f;
    f.home.dir("mnt");
    const auto answer = test::runInMountNamespace([&] {
        if (auto failed = test::mountImage("btrfs", f.at("btrfs.img"), f.at("mnt")); !failed.empty())
            return "<no image> " + failed;
        const auto original = allocated(f.home.file("mnt/a/original", 100000));
        f.home.clone("mnt/b/clone", "mnt/a/original");
        f.home.file("mnt/store/blob", 100000);
        f.home.clone("mnt/c/imported", "mnt/store/blob");
        const auto account = f.measure({f.owner("mnt/a"), f.owner("mnt/b"), f.owner("mnt/c")}, {"mnt/store"},
                                       SpaceAccounting::CloneKeys::live());
        const bool right = account.combinations == Combinations{{{0, 1}, original}} &&
                           account.sharedOutside == std::vector<std::int64_t>{0, 0, original};
        return std::string(right ? "right" : "wrong");
    });
    if (!answer) GTEST_SKIP() << "no mount namespace here: cannot mount a btrfs image";
    if (answer->starts_with("<no image>")) GTEST_SKIP() << "cannot mount a btrfs image: " << *answer;
    EXPECT_EQ(*answer, "right");
}

TEST(SpaceAccountingTest, LargePlainFilesAreOwnedPrivately) {
    Fixture f;
    const auto large = allocated(f.home.file("a/large", 100000));
    const auto account = f.measure({f.owner("a"), f.owner("missing")});
    EXPECT_EQ(account.apparent, (std::vector<std::int64_t>{large, 0}));
    EXPECT_EQ(account.combinations, (Combinations{{{0}, large}}));
    EXPECT_EQ(account.freed({0, 1}), large);
}

TEST(SpaceAccountingTest, SameResultEveryRun) {
    Fixture f;
    for (int i = 0; i < 40; ++i) {
        const std::string name = std::string("p").append(std::to_string(i % 4)).append("/m").append(std::to_string(i)).append("/f");
        f.home.file(name, 20000 + i * 4096);
        f.home.hardlink(std::string("p").append(std::to_string((i + 1) % 4)).append("/n").append(std::to_string(i)), name);
    }
    const std::vector<SpaceOwner> owners = {f.owner("p0"), f.owner("p1"), f.owner("p2"), f.owner("p3")};
    const auto first = f.measure(owners);
    for (int run = 0; run < 5; ++run) EXPECT_EQ(f.measure(owners), first);
}

TEST(SpaceAccountingTest, ProgressCountsEveryEntryAndNoOwnersStillWalkStores) {
    Fixture f;
    for (int i = 0; i < 30; ++i) f.home.file("store/f" + std::to_string(i), 1);
    f.home.dir("store/sub");
    std::mutex lock;
    std::int64_t highest = 0;
    const auto account = SpaceAccounting::measure(
        {}, {f.at("store")},
        [&](std::int64_t total) {
            const std::lock_guard guard(lock);
            highest = std::max(highest, total);
        },
        {}, noClones());
    EXPECT_EQ(highest, 31);
    EXPECT_EQ(account, SpaceAccount{});
}

TEST(SpaceAccountingTest, CancelledBeforeStartReadsNothingButKeepsTheForm) {
    Fixture f;
    f.home.file("a/x", 100000);
    std::atomic<int> progress = 0;
    const auto account = SpaceAccounting::measure(
        {f.owner("a"), f.owner("b")}, {}, [&](std::int64_t) { ++progress; }, [] { return true; }, noClones());
    EXPECT_EQ(account.apparent, (std::vector<std::int64_t>{0, 0}));
    EXPECT_EQ(account.sharedOutside, (std::vector<std::int64_t>{0, 0}));
    EXPECT_TRUE(account.combinations.empty());
    EXPECT_EQ(progress.load(), 0);
}

TEST(SpaceAccountTest, FreedSumsCombinationsInsideTheSelection) {
    const SpaceAccount account{{0, 0, 0}, {0, 0, 0}, {{{0}, 1}, {{1}, 10}, {{0, 1}, 100}, {{0, 1, 2}, 1000}}};
    const std::vector<std::pair<std::set<std::int32_t>, std::int64_t>> rows = {
        {{}, 0}, {{0}, 1}, {{1}, 10}, {{2}, 0}, {{0, 1}, 111}, {{0, 2}, 1}, {{0, 1, 2}, 1111}, {{7}, 0}};
    for (const auto& [owners, bytes] : rows) EXPECT_EQ(account.freed(owners), bytes) << owners.size();
}

} // namespace
} // namespace tidra
