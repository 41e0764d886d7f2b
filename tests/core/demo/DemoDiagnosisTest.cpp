#include "demo/DemoMac.h"
#include "DemoMoment.h"

#include <gtest/gtest.h>

namespace tidra {
namespace {

using namespace std::chrono_literals;

using test::kHome;
using test::kNow;

TEST(DemoDiagnosisTest, StartupItemsWithOneLeftover) {
    const auto items = DemoMac::startupItems(kHome);
    ASSERT_EQ(items.size(), 6u);
    EXPECT_EQ(items[0].label, "com.acme.cli.updater");
    EXPECT_EQ(items[0].plistPath, "/Users/demo/Library/LaunchAgents/com.acme.cli.updater.plist");
    EXPECT_EQ(items[2].program, "/Users/demo/Library/Google/GoogleSoftwareUpdate/GoogleSoftwareUpdate.bundle/Contents/"
                                "Resources/GoogleSoftwareUpdateAgent.app/Contents/MacOS/GoogleSoftwareUpdateAgent");
    EXPECT_EQ(items[3].scope, StartupItem::Scope::allUsers);
    EXPECT_EQ(items[5].scope, StartupItem::Scope::system);
    EXPECT_FALSE(items[5].startsAutomatically);
    int leftovers = 0;
    for (const auto& item : items) leftovers += item.isLeftover();
    EXPECT_EQ(leftovers, 1);
    EXPECT_TRUE(items[0].isLeftover());
}

TEST(DemoDiagnosisTest, SlownessInputsComeFromTheOtherDemoSources) {
    const DemoMac::Pids gone = {4039, 4040};
    const auto inputs = DemoMac::slownessInputs(kHome, gone, 1'234, 5'000, kNow);
    EXPECT_EQ(inputs.memory, DemoMac::memory(DemoMac::memory(gone, kHome)));
    EXPECT_EQ(inputs.disk, DemoMac::disk(5'000));
    EXPECT_EQ(inputs.groups, DemoMac::sample(kHome, gone, kNow).groups);
    EXPECT_EQ(inputs.developerTools, DemoMac::developerTools(kHome, gone, kNow));
    EXPECT_EQ(inputs.idleTimes, DemoMac::idleTimes(inputs.developerTools));
    EXPECT_EQ(inputs.systemCPU,
              (std::map<std::string, double>{{"mds_stores", 46.0}, {"mdworker_shared", 14.0}, {"WindowServer", 12.0}}));
    EXPECT_FALSE(inputs.timeMachineRunning);
    EXPECT_EQ(inputs.heat, SlownessInputs::Heat::normal);
    EXPECT_FALSE(inputs.lowPowerMode);
    EXPECT_EQ(inputs.safeBytes, 1'234);
    // Stopping the virtual machine alone relieves the memory pressure.
    EXPECT_EQ(inputs.memory.pressure, MemorySnapshot::Pressure::normal);
}

} // namespace
} // namespace tidra
