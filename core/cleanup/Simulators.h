#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tidra {

// One device the simulator tool knows.
struct SimulatorDevice {
    // Also the name of the device's folder under Library/Developer/CoreSimulator/Devices.
    std::string udid;
    std::string name;
    // Readable system version ("iOS 17.2"), derived from the tool's runtime key.
    std::string runtime;
    // False when the device's system version is no longer installed.
    bool isAvailable;

    bool operator==(const SimulatorDevice&) const = default;
};

namespace Simulators {

// The tool's device list ("simctl list devices -j", 60 s limit). Empty when the tool is
// missing, fails, times out or prints something unreadable: callers read that as "no simulators".
std::vector<SimulatorDevice> list(const std::string& xcrun = "/usr/bin/xcrun");

// The devices of the tool's JSON answer, grouped by runtime key in ascending byte order,
// in the tool's order within a group. Empty for anything malformed, including a single
// device without "udid" or "name": a half-read list would pass available devices as gone.
std::vector<SimulatorDevice> parse(std::string_view json);

// "com.apple.CoreSimulator.SimRuntime.iOS-17-2" gives "iOS 17.2".
std::string runtimeName(std::string_view runtimeKey);

} // namespace Simulators
} // namespace tidra
