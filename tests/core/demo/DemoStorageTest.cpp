#include "demo/DemoMac.h"
#include "DemoMoment.h"

#include <gtest/gtest.h>

#include <numeric>
#include <set>

namespace tidra {
namespace {

using namespace std::chrono_literals;
using Pressure = MemorySnapshot::Pressure;

using test::kHome;
using test::kNow;

TEST(DemoStorageTest, DiskGrowsByWhatWasFreed) {
    EXPECT_EQ(DemoMac::disk(0), (DiskUsage{494'384'795'648, 31'740'000'000}));
    EXPECT_EQ(DemoMac::disk(1'500), (DiskUsage{494'384'795'648, 31'740'001'500}));
    EXPECT_EQ(DemoMac::disk(INT64_MAX), (DiskUsage{494'384'795'648, 494'384'795'648}));
    EXPECT_EQ(DemoMac::disk(-40'000'000'000), (DiskUsage{494'384'795'648, 0}));
}

struct MemoryCase {
    std::int64_t stopped;
    std::int64_t app, compressed, swapUsed, freePercent;
    Pressure pressure;
};

TEST(DemoStorageTest, MemoryImprovesWithStoppedBytesDownToFloors) {
    const MemoryCase cases[] = {
        {0, 5'000'000'000, 6'600'000'000, 9'400'000'000, 17, Pressure::warning},
        {3'999'999'999, 3'400'000'001, 4'200'000'001, 7'400'000'001, 17, Pressure::warning},
        {4'000'000'000, 3'400'000'000, 4'200'000'000, 7'400'000'000, 46, Pressure::normal},
        {20'000'000'000, 2'100'000'000, 700'000'000, 300'000'000, 46, Pressure::normal},
        // Far beyond anything the table holds: the floors stay and nothing overflows.
        {INT64_MAX, 2'100'000'000, 700'000'000, 300'000'000, 46, Pressure::normal},
        // A negative amount stops nothing.
        {-5'000'000'000, 5'000'000'000, 6'600'000'000, 9'400'000'000, 17, Pressure::warning},
    };
    for (const MemoryCase& c : cases) {
        SCOPED_TRACE(c.stopped);
        const MemorySnapshot m = DemoMac::memory(c.stopped);
        EXPECT_EQ(m.total, 17'179'869'184);
        EXPECT_EQ(m.wired, 2'400'000'000);
        EXPECT_EQ(m.cached, 1'300'000'000);
        EXPECT_EQ(m.app, c.app);
        EXPECT_EQ(m.compressed, c.compressed);
        EXPECT_EQ(m.swapUsed, c.swapUsed);
        EXPECT_EQ(m.freePercent, c.freePercent);
        EXPECT_EQ(m.pressure, c.pressure);
    }
}

TEST(DemoStorageTest, CleanupItemsAreTheFixedCatalogThenDocker) {
    const auto items = DemoMac::cleanupItems(kHome);
    ASSERT_EQ(items.size(), 33u);

    std::set<std::string> ids;
    for (std::size_t i = 0; i < items.size(); ++i) {
        const CleanupItem& item = items[i];
        SCOPED_TRACE(item.id);
        ids.insert(item.id);
        EXPECT_FALSE(item.requiresAdmin);
        ASSERT_TRUE(item.knownBytes.has_value());
        if (i >= 29) {
            EXPECT_EQ(item.category, CleanupCategory::docker);
            EXPECT_TRUE(item.action.paths().empty());
            continue;
        }
        EXPECT_EQ(item.minimumBytesToShow, 1);
        EXPECT_EQ(item.action.paths(), std::vector<std::string>{kHome + "/.tidra-demo/" + item.id});
        // Only the two downloads stay recoverable.
        EXPECT_EQ(!item.action.isPermanent(), item.category == CleanupCategory::downloads);
    }
    EXPECT_EQ(ids.size(), items.size());

    EXPECT_EQ(items.front().id, "xcode.derivedData");
    EXPECT_EQ(items.front().consequence, "The next build of each project starts from scratch.");
    EXPECT_EQ(items[28].id, "trash");
    EXPECT_EQ(items[29].id, "docker.containers");
    EXPECT_EQ(items[32].id, "docker.buildCache");
    EXPECT_EQ(items[32].knownBytes, 7'900'000'000);
    EXPECT_EQ(items[10].action.paths().front(), "/Users/demo/.tidra-demo/npm.cache");
}

TEST(DemoStorageTest, CleanupSizesAddUpToTheFiguresTheScreensShow) {
    std::int64_t safe = 0, all = 0;
    for (const CleanupItem& item : DemoMac::cleanupItems(kHome)) {
        all += *item.knownBytes;
        if (item.safety == Safety::safe && !item.requiresAdmin) safe += *item.knownBytes;
    }
    EXPECT_EQ(safe, 85'400'000'000);
    EXPECT_EQ(all, 112'500'000'000 + 23'000'000'000);
}

TEST(DemoStorageTest, DockerIsRunningWithFixedUsage) {
    const auto* running = std::get_if<DockerStatus::Running>(&DemoMac::docker().value);
    ASSERT_NE(running, nullptr);
    EXPECT_EQ(running->cli, "/usr/local/bin/docker");
    EXPECT_EQ(running->usage, (DockerUsage{1'100'000'000, 9'600'000'000, 4'400'000'000, 7'900'000'000}));
}

TEST(DemoStorageTest, HistoryIsNewestFirstAndMovesWithNow) {
    const auto records = DemoMac::history(kNow);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].date, kNow - 6 * 24h);
    EXPECT_EQ(records[0].source, "Automatic");
    EXPECT_EQ(records[0].freedBytes, 4'200'000'000);
    EXPECT_EQ(records[0].items,
              (std::vector<std::string>{"Build data (DerivedData)", "npm cache", "Simulator caches"}));
    EXPECT_EQ(records[1].date, kNow - 13 * 24h);
    EXPECT_EQ(records[1].source, "Projects");
    EXPECT_EQ(records[1].freedBytes, 7'900'000'000);
    EXPECT_EQ(records[1].items.back(), "orbit-engine/target");
    for (const CleanupRecord& record : records) EXPECT_EQ(record.failures, 0);
    EXPECT_EQ(DemoMac::history(kNow + 1h)[1].date, kNow + 1h - 13 * 24h);
}

} // namespace
} // namespace tidra
