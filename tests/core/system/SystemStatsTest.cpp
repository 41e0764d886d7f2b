#include "system/SystemStats.h"

#include "support/TempHome.h"

#include <gtest/gtest.h>
#include <sys/statvfs.h>

#include <algorithm>
#include <optional>

namespace tidra {
namespace {

using Pressure = MemorySnapshot::Pressure;

constexpr std::int64_t KiB = 1024;

// A real meminfo, trimmed to the fields read plus a few neighbours.
const char* const meminfo = R"(MemTotal:       16000000 kB
MemFree:         1000000 kB
MemAvailable:    4000000 kB
Buffers:          100000 kB
Cached:          3000000 kB
Active(file):    1500000 kB
Inactive(file):  1200000 kB
Unevictable:       20000 kB
SwapTotal:       2000000 kB
SwapFree:         500000 kB
Zswap:             30000 kB
AnonPages:       7000000 kB
SReclaimable:     300000 kB
SUnreclaim:       150000 kB
KernelStack:       16000 kB
PageTables:        60000 kB
HugePages_Total:       0
)";

const char* const calmPsi = "some avg10=0.00 avg60=0.10 avg300=0.00 total=1234\n"
                            "full avg10=0.00 avg60=0.00 avg300=0.00 total=0\n";

TEST(SystemStatsTest, MemoryFiguresFromMeminfo) {
    const auto snapshot = SystemStats::memoryFrom(meminfo, calmPsi);
    EXPECT_EQ(snapshot.total, 16'000'000 * KiB);
    EXPECT_EQ(snapshot.app, 7'000'000 * KiB);
    EXPECT_EQ(snapshot.wired, (20'000 + 16'000 + 60'000 + 150'000) * KiB);
    EXPECT_EQ(snapshot.compressed, 30'000 * KiB);
    EXPECT_EQ(snapshot.cached, (1'500'000 + 1'200'000 + 300'000) * KiB);
    EXPECT_EQ(snapshot.swapUsed, 1'500'000 * KiB);
    EXPECT_EQ(snapshot.freePercent, 25);
    EXPECT_EQ(snapshot.pressure, Pressure::normal);
    EXPECT_EQ(snapshot.used(), snapshot.app + snapshot.wired + snapshot.compressed);
}

TEST(SystemStatsTest, MissingOrMalformedFieldsFallBack) {
    // An empty or unreadable meminfo: every byte figure 0, free percent unknown.
    EXPECT_EQ(SystemStats::memoryFrom("", std::nullopt), MemorySnapshot{});
    EXPECT_EQ(SystemStats::memoryFrom("garbage\n\n:\nMemTotal:\nMemTotal: x kB\n", std::nullopt), MemorySnapshot{});

    // No zswap, no MemAvailable (kernels before 3.14), swap off, bad units and overflow ignored.
    const auto sparse = SystemStats::memoryFrom("MemTotal: 1000 kB\nAnonPages: 10 MB\nSwapTotal: 0 kB\n"
                                                "SwapFree: 0 kB\nPageTables: 99999999999999999999 kB\n"
                                                "KernelStack: 9223372036854775807 kB\nUnevictable: -3 kB\n",
                                                std::nullopt);
    EXPECT_EQ(sparse.total, 1000 * KiB);
    EXPECT_EQ(sparse.app, 0);
    EXPECT_EQ(sparse.wired, 0);
    EXPECT_EQ(sparse.compressed, 0);
    EXPECT_EQ(sparse.swapUsed, 0);
    EXPECT_EQ(sparse.freePercent, 100);
    EXPECT_EQ(sparse.pressure, Pressure::normal);

    // More swap free than swap total cannot give negative use.
    EXPECT_EQ(SystemStats::memoryFrom("SwapTotal: 5 kB\nSwapFree: 9 kB\n", std::nullopt).swapUsed, 0);
    EXPECT_EQ(SystemStats::memoryFrom("MemTotal: 0 kB\nMemAvailable: 0 kB\n", std::nullopt).freePercent, 100);
    EXPECT_EQ(SystemStats::memoryFrom("MemTotal: 10 kB\nMemAvailable: 20 kB\n", std::nullopt).freePercent, 100);
}

std::string psi(const char* some, const char* full) {
    return std::string("some avg10=") + some + " avg60=0.00 avg300=0.00 total=1\nfull avg10=" + full +
           " avg60=0.00 avg300=0.00 total=1\n";
}

TEST(SystemStatsTest, PressureFromPsiAndFreePercent) {
    struct Row {
        const char* name;
        std::int64_t availableKiB;  // of 1000
        std::optional<std::string> psi;
        std::int64_t freePercent;
        Pressure pressure;
    };
    const Row rows[] = {
        {"calm", 500, psi("0.00", "0.00"), 50, Pressure::normal},
        {"some just below", 500, psi("9.99", "9.99"), 50, Pressure::normal},
        {"some at ten", 500, psi("10.00", "0.00"), 50, Pressure::warning},
        {"full at ten", 500, psi("10.00", "10.00"), 50, Pressure::critical},
        {"full alone", 500, psi("0.00", "55.5"), 50, Pressure::critical},
        {"free 15", 150, psi("0.00", "0.00"), 15, Pressure::normal},
        {"free 14", 149, psi("0.00", "0.00"), 14, Pressure::warning},
        {"free 5", 50, psi("0.00", "0.00"), 5, Pressure::warning},
        {"free 4", 49, psi("0.00", "0.00"), 4, Pressure::critical},
        {"no psi, roomy", 500, std::nullopt, 50, Pressure::normal},
        {"no psi, tight", 100, std::nullopt, 10, Pressure::warning},
        {"no psi, critical", 10, std::nullopt, 1, Pressure::critical},
        {"psi without full line", 500, std::string("some avg10=12.00 avg60=0 avg300=0 total=0\n"), 50,
         Pressure::warning},
        {"malformed psi", 500, std::string("some avg10=high\nfull avg10=\nfull avg10=50x\n"), 50, Pressure::normal},
        {"empty psi", 100, std::string(), 10, Pressure::warning},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const std::string text = "MemTotal: 1000 kB\nMemAvailable: " + std::to_string(row.availableKiB) + " kB\n";
        const auto snapshot = SystemStats::memoryFrom(text, row.psi);
        EXPECT_EQ(snapshot.freePercent, row.freePercent);
        EXPECT_EQ(snapshot.pressure, row.pressure);
    }
}

TEST(SystemStatsTest, MemoryReadsTheProcFolderGiven) {
    test::TempHome proc;
    proc.text("meminfo", meminfo);
    EXPECT_EQ(SystemStats::memory(proc.root()), SystemStats::memoryFrom(meminfo, std::nullopt));
    proc.text("pressure/memory", psi("0.00", "20.00"));
    EXPECT_EQ(SystemStats::memory(proc.root()).pressure, Pressure::critical);

    test::TempHome empty;
    EXPECT_EQ(SystemStats::memory(empty.root()), MemorySnapshot{});

    const auto live = SystemStats::memory();
    EXPECT_GT(live.total, 0);
    EXPECT_GE(live.freePercent, 0);
    EXPECT_LE(live.freePercent, 100);
}

TEST(SystemStatsTest, DiskFigures) {
    EXPECT_EQ(SystemStats::diskFromBlocks(1000, 300, 250, 4096), (DiskUsage{4'096'000, 1'024'000, 204'800}));
    EXPECT_EQ(SystemStats::diskFromBlocks(1000, 250, 250, 4096), (DiskUsage{4'096'000, 1'024'000, 0}));
    EXPECT_EQ(SystemStats::diskFromBlocks(0, 0, 0, 4096), (DiskUsage{0, 0}));
    EXPECT_EQ(SystemStats::diskFromBlocks(UINT64_MAX / 2, 1, 1, 4096), std::nullopt);
    EXPECT_EQ(SystemStats::diskFromBlocks(UINT64_MAX, UINT64_MAX, std::uint64_t(INT64_MAX), 2), std::nullopt);
    EXPECT_EQ(SystemStats::diskFromBlocks(1000, 200, 250, 4096), std::nullopt) << "more available than free";

    // In use agrees with df: the root reserve is free space, not used space. Other programs write
    // to this disk meanwhile, so each figure must lie between a reading taken just before and one
    // just after; the free space may also go down and up again in between, so a few tries are
    // allowed. Counting the reserve as used, or as available, misses by far more than the churn.
    test::TempHome home;
    const auto between = [](std::int64_t figure, std::uint64_t a, std::uint64_t b, std::uint64_t unit) {
        return figure >= std::int64_t(std::min(a, b) * unit) && figure <= std::int64_t(std::max(a, b) * unit);
    };
    std::optional<DiskUsage> usage;
    bool agrees = false;
    for (int attempt = 0; attempt < 20 && !agrees; ++attempt) {
        struct statvfs before {}, after {};
        ASSERT_EQ(::statvfs(home.root().c_str(), &before), 0);
        usage = SystemStats::disk(home.root());
        ASSERT_EQ(::statvfs(home.root().c_str(), &after), 0);
        ASSERT_TRUE(usage.has_value());
        const auto unit = after.f_frsize;
        agrees = usage->total == std::int64_t(after.f_blocks * unit) &&
                 between(usage->available, before.f_bavail, after.f_bavail, unit) &&
                 between(usage->used(), before.f_blocks - before.f_bfree, after.f_blocks - after.f_bfree, unit);
    }
    EXPECT_TRUE(agrees) << "total " << usage->total << ", available " << usage->available << ", used " << usage->used();
    EXPECT_EQ(SystemStats::disk(home.path("missing")), std::nullopt);
}

TEST(DiskUsageTest, UsedAndUsedFraction) {
    EXPECT_EQ((DiskUsage{0, 0}).usedFraction(), 0.0);
    EXPECT_EQ((DiskUsage{0, 5}).usedFraction(), 0.0);
    EXPECT_EQ((DiskUsage{1000, 250}).used(), 750);
    EXPECT_DOUBLE_EQ((DiskUsage{1000, 250}).usedFraction(), 0.75);
    EXPECT_DOUBLE_EQ((DiskUsage{1000, 1000}).usedFraction(), 0.0);
    EXPECT_EQ((DiskUsage{1000, 250, 50}).used(), 700);
    EXPECT_DOUBLE_EQ((DiskUsage{1000, 250, 50}).usedFraction(), 0.7);
}

} // namespace
} // namespace tidra
