#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace tidra {

// One application bundle found in an Applications folder.
struct InstalledApp {
    // The searched folder + "/" + the bundle's name (one vendor folder in between for a bundle
    // found one level down).
    std::string path;
    // The bundle's folder name without ".app".
    std::string name;
    // "CFBundleIdentifier" of the bundle's Info.plist; never empty.
    std::string bundleID;
    // "CFBundleShortVersionString" when it is a string.
    std::optional<std::string> version;
    std::optional<std::chrono::system_clock::time_point> lastOpened;
    // The user may not write the bundle (owned by another user), so moving it needs a password.
    bool needsPassword;

    const std::string& id() const { return path; }
    bool operator==(const InstalledApp&) const = default;
};

namespace InstalledApps {

using LastOpened = std::function<std::optional<std::chrono::system_clock::time_point>(const std::string&)>;

// This platform keeps no last-used date for applications: always nothing.
std::optional<std::chrono::system_clock::time_point> spotlightLastOpened(const std::string& path);

// The apps of `folders` in natural name order (case-insensitive, digit runs by value; equal
// names keep the order found). Bundles are folders named "*.app" (case-sensitive) directly in
// a searched folder or one plain folder below it; links are never followed, names beginning
// with "." never looked at, and bundles without a readable Info.plist or a non-empty
// identifier left out. `excluding` holds identifiers to leave out, compared exactly.
// `lastOpened` is called once per listed app with its path.
std::vector<InstalledApp> list(const std::vector<std::string>& folders, const std::set<std::string>& excluding = {},
                               const LastOpened& lastOpened = spotlightLastOpened);

// The identifiers of every bundle found as `list` finds them, in the order found, duplicates
// kept, nothing excluded.
std::vector<std::string> bundleIDs(const std::vector<std::string>& folders);

} // namespace InstalledApps
} // namespace tidra
