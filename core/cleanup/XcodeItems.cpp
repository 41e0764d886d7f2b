#include "cleanup/CatalogBuilders.h"

#include <algorithm>
#include <set>

namespace tidra::CleanupCatalog {
namespace {

using PathAction = Builder::PathAction;

Builder::Entry xcodeEntry(const char* id, const char* title, const char* consequence, Safety safety = Safety::safe) {
    return {id, title, CleanupCategory::xcode, consequence, safety};
}

// "iOS 16.4, iOS 17.0 (3 devices)": each runtime once, in ascending order.
std::string simulatorsTitle(const std::vector<SimulatorDevice>& devices) {
    std::set<std::string> runtimes;
    for (const auto& device : devices) runtimes.insert(device.runtime);
    std::string names;
    for (const auto& runtime : runtimes) names += (names.empty() ? "" : ", ") + runtime;
    const std::string count = devices.size() == 1 ? "1 device" : std::to_string(devices.size()) + " devices";
    return "Simulators for " + names + " (" + count + ")";
}

// Devices whose system version is gone can never start again; the simulator tool removes
// them all at once, so the item runs it and its folders only serve for measuring.
void addUnavailableSimulators(Builder& b) {
    auto devices = b.env.simulators ? b.env.simulators() : std::vector<SimulatorDevice>{};
    std::erase_if(devices, [](const SimulatorDevice& device) { return device.isAvailable; });
    if (devices.empty()) return;
    std::vector<std::string> candidates;
    for (const auto& device : devices)
        candidates.push_back(b.env.home + "/Library/Developer/CoreSimulator/Devices/" + device.udid);
    const auto folders = Builder::existing(candidates);
    if (folders.empty()) return;
    b.claimed.insert(b.claimed.end(), folders.begin(), folders.end());
    b.items.push_back({"xcode.simulators.unavailable", simulatorsTitle(devices), CleanupCategory::xcode,
                       "None. Those system versions are no longer installed, so these simulators cannot start.",
                       Safety::safe, CleanupAction::Run{"/usr/bin/xcrun", {"simctl", "delete", "unavailable"}, folders},
                       false, 1, std::nullopt});
}

} // namespace

void xcode(Builder& b) {
    const std::string xcodeFolder = b.env.home + "/Library/Developer/Xcode";
    b.add(xcodeEntry("xcode.derivedData", "Build data (DerivedData)",
                     "The next build of each project starts from scratch."),
          PathAction::removeContents, {xcodeFolder + "/DerivedData"});
    std::vector<std::string> deviceSupport;
    for (const char* platform : {"iOS", "watchOS", "tvOS", "visionOS"})
        deviceSupport.push_back(xcodeFolder + "/" + platform + " DeviceSupport");
    b.add(xcodeEntry("xcode.deviceSupport", "Device support files",
                     "Xcode copies them again the next time you connect a device."),
          PathAction::removeContents, deviceSupport);
    b.add(xcodeEntry("xcode.ibSupport", "Interface Builder simulators", "Xcode recreates them when it next needs them."),
          PathAction::remove, {xcodeFolder + "/UserData/IB Support"});
    b.add(xcodeEntry("xcode.previews", "SwiftUI preview data", "Previews rebuild the next time you open one."),
          PathAction::remove, {xcodeFolder + "/UserData/Previews"});
    addUnavailableSimulators(b);
    b.add(xcodeEntry("xcode.simulatorCaches", "Simulator caches", "Simulators rebuild them on their next launch."),
          PathAction::removeContents, {b.env.home + "/Library/Developer/CoreSimulator/Caches"});
    b.add(xcodeEntry("xcode.cocoapods", "CocoaPods cache", "Pods download again on the next pod install."),
          PathAction::remove, {b.env.home + "/Library/Caches/CocoaPods"});
    b.add(xcodeEntry("xcode.archives", "Archives",
                     "You can no longer re-export these builds or symbolicate their crash reports.", Safety::review),
          PathAction::removeContents, {xcodeFolder + "/Archives"});
}

} // namespace tidra::CleanupCatalog
