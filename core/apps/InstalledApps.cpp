#include "apps/InstalledApps.h"

#include "apps/NaturalOrder.h"
#include "platform/FileAccess.h"
#include "platform/PathText.h"
#include "platform/PropertyList.h"

#include <algorithm>
#include <numeric>

namespace tidra::InstalledApps {
namespace {

struct BundleInfo {
    std::string bundleID;
    std::optional<std::string> version;
};

// Visible names of a folder in byte order; an unreadable folder has none.
std::vector<std::string> children(const std::string& folder) {
    auto names = sys::folderEntries(folder).value_or(std::vector<std::string>{});
    std::erase_if(names, [](const std::string& name) { return name.starts_with('.'); });
    std::sort(names.begin(), names.end());
    return names;
}

bool isBundleName(const std::string& name) {
    return name.ends_with(".app");
}

std::vector<std::string> bundles(const std::vector<std::string>& folders) {
    std::vector<std::string> found;
    for (const auto& folder : folders) {
        for (const auto& child : children(folder)) {
            const std::string path = folder + "/" + child;
            if (!sys::isDirectoryNoFollow(path)) continue;
            if (isBundleName(child)) {
                found.push_back(path);
                continue;
            }
            // A vendor or Utilities folder: its bundles count, nothing deeper.
            for (const auto& inner : children(path))
                if (isBundleName(inner) && sys::isDirectoryNoFollow(path + "/" + inner)) found.push_back(path + "/" + inner);
        }
    }
    return found;
}

// The identifier (possibly empty) and version of a bundle; nothing without a readable
// Info.plist holding a string identifier.
std::optional<BundleInfo> readInfo(const std::string& bundle) {
    const auto info = sys::readPropertyList(bundle + "/Contents/Info.plist");
    const std::string* id = info ? info->string("CFBundleIdentifier") : nullptr;
    if (!id) return std::nullopt;
    const std::string* version = info->string("CFBundleShortVersionString");
    return BundleInfo{*id, version ? std::optional<std::string>(*version) : std::nullopt};
}

void sortByName(std::vector<InstalledApp>& apps) {
    std::vector<std::string> keys;
    for (const auto& app : apps) keys.push_back(NaturalOrder::sortKey(app.name));
    std::vector<std::size_t> order(apps.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return NaturalOrder::compareKeys(keys[a], keys[b]) < 0; });
    std::vector<InstalledApp> sorted;
    for (std::size_t index : order) sorted.push_back(std::move(apps[index]));
    apps = std::move(sorted);
}

} // namespace

std::optional<std::chrono::system_clock::time_point> spotlightLastOpened(const std::string&) {
    return std::nullopt;
}

std::vector<InstalledApp> list(const std::vector<std::string>& folders, const std::set<std::string>& excluding,
                               const LastOpened& lastOpened) {
    std::vector<InstalledApp> apps;
    for (const auto& path : bundles(folders)) {
        auto info = readInfo(path);
        if (!info || info->bundleID.empty() || excluding.count(info->bundleID)) continue;
        const std::string folderName(sys::PathText::lastComponent(path));
        apps.push_back({path, folderName.substr(0, folderName.size() - 4), std::move(info->bundleID),
                        std::move(info->version), lastOpened ? lastOpened(path) : std::nullopt,
                        !sys::isWritable(path)});
    }
    sortByName(apps);
    return apps;
}

std::vector<std::string> bundleIDs(const std::vector<std::string>& folders) {
    std::vector<std::string> ids;
    for (const auto& path : bundles(folders))
        if (auto info = readInfo(path)) ids.push_back(std::move(info->bundleID));
    return ids;
}

} // namespace tidra::InstalledApps
