#include "cleanup/Simulators.h"

#include "system/Shell.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <chrono>

namespace tidra::Simulators {
namespace {

using nlohmann::json;

constexpr std::chrono::seconds listTimeout{60};

const std::string& requiredString(const json& device, const char* key) {
    return device.at(key).get_ref<const std::string&>();
}

bool availability(const json& device) {
    const auto found = device.find("isAvailable");
    if (found == device.end() || found->is_null()) return true;
    return found->get<bool>();
}

std::vector<SimulatorDevice> devicesOf(const json& listing) {
    std::vector<SimulatorDevice> devices;
    // The JSON object keeps its keys in ascending byte order already.
    for (const auto& [key, group] : listing.at("devices").get_ref<const json::object_t&>()) {
        const std::string runtime = runtimeName(key);
        for (const auto& device : group.get_ref<const json::array_t&>()) {
            devices.push_back({requiredString(device, "udid"), requiredString(device, "name"), runtime,
                               availability(device)});
        }
    }
    return devices;
}

// The last non-empty part between dots, or the whole key when there is none.
std::string_view lastPart(std::string_view key) {
    std::string_view last;
    for (std::size_t start = 0; start <= key.size();) {
        std::size_t dot = key.find('.', start);
        if (dot == std::string_view::npos) dot = key.size();
        if (dot > start) last = key.substr(start, dot - start);
        start = dot + 1;
    }
    return last.empty() ? key : last;
}

} // namespace

std::string runtimeName(std::string_view key) {
    const std::string_view last = lastPart(key);
    const auto hyphen = last.find('-');
    if (hyphen == std::string_view::npos) return std::string(last);
    std::string version(last.substr(hyphen + 1));
    std::replace(version.begin(), version.end(), '-', '.');
    return std::string(last.substr(0, hyphen)) + " " + version;
}

std::vector<SimulatorDevice> list(const std::string& xcrun) {
    const auto output = Shell::run(xcrun, {"simctl", "list", "devices", "-j"}, {}, listTimeout);
    if (!output || !output->succeeded()) return {};
    return parse(output->standardOutput);
}

std::vector<SimulatorDevice> parse(std::string_view text) {
    const json listing = json::parse(text, nullptr, false);
    if (!listing.is_object()) return {};
    try {
        return devicesOf(listing);
    } catch (const json::exception&) {
        return {};
    }
}

} // namespace tidra::Simulators
