#include "demo/DemoMac.h"

#include "demo/DemoAge.h"

#include <algorithm>

namespace tidra::DemoMac {
namespace {

struct FixedItem {
    const char* id;
    const char* title;
    CleanupCategory category;
    Safety safety;
    bool toTrash;
    std::int64_t bytes;
    const char* consequence;
};

const std::vector<FixedItem>& fixedItems() {
    using C = CleanupCategory;
    using S = Safety;
    static const char* const reinstall = "Packages download again on the next install.";
    static const char* const rebuilt = "The app rebuilds it as needed.";
    static const char* const putBack = "Moved to the Trash, so you can still put it back.";
    static const std::vector<FixedItem> items = {
        {"xcode.derivedData", "Build data (DerivedData)", C::xcode, S::safe, false, 28'400'000'000,
         "The next build of each project starts from scratch."},
        {"xcode.deviceSupport", "Device support files", C::xcode, S::safe, false, 9'100'000'000,
         "Xcode copies them again the next time you connect a device."},
        {"xcode.simulators.unavailable", "Simulators for iOS 18.2, iOS 18.4 (6 devices)", C::xcode, S::safe, false,
         7'300'000'000, "None. Those system versions are no longer installed, so these simulators cannot start."},
        {"xcode.simulatorCaches", "Simulator caches", C::xcode, S::safe, false, 2'600'000'000,
         "Simulators rebuild them on their next launch."},
        {"xcode.previews", "SwiftUI preview data", C::xcode, S::safe, false, 1'200'000'000,
         "Previews rebuild the next time you open one."},
        {"xcode.cocoapods", "CocoaPods cache", C::xcode, S::safe, false, 900'000'000,
         "Pods download again on the next pod install."},
        {"xcode.archives", "Archives", C::xcode, S::review, false, 3'400'000'000,
         "You can no longer re-export these builds or symbolicate their crash reports."},
        {"gradle.caches", "Gradle caches and downloaded Gradle versions", C::android, S::safe, false, 6'800'000'000,
         "The next Gradle build downloads its dependencies again."},
        {"android.studioCaches", "Android Studio caches", C::android, S::safe, false, 1'900'000'000,
         "Android Studio re-indexes each project the next time you open it."},
        {"android.avd.Pixel_6_API_33", "Emulator: Pixel 6 API 33", C::android, S::review, false, 8'200'000'000,
         "Deletes the emulator and its data. Its system image is no longer installed, so it cannot start as it is."},
        {"npm.cache", "npm cache", C::javascript, S::safe, false, 3'900'000'000, reinstall},
        {"yarn.cache", "Yarn cache", C::javascript, S::safe, false, 1'600'000'000, reinstall},
        {"playwright.browsers", "Playwright browser downloads", C::javascript, S::safe, false, 1'800'000'000,
         "Each project needs \"npx playwright install\" before it next runs."},
        {"node.buildCaches", "Node build caches", C::javascript, S::safe, false, 400'000'000, "Rebuilt on demand."},
        {"dart.analysis", "Dart analysis cache", C::flutter, S::safe, false, 600'000'000,
         "The first analysis after reopening a project is slower."},
        {"pub.cache", "Pub package cache", C::flutter, S::review, false, 2'400'000'000,
         "Every project needs \"flutter pub get\" again, and globally activated tools may need reactivating."},
        {"homebrew.oldVersions", "Homebrew: old versions", C::developerTools, S::safe, false, 2'300'000'000,
         "None. Homebrew keeps them only so you could switch back."},
        {"homebrew.cache", "Homebrew downloads", C::developerTools, S::safe, false, 1'700'000'000,
         "None. Homebrew keeps them only so a reinstall can skip the download."},
        {"go.buildCache", "Go build cache", C::developerTools, S::safe, false, 1'400'000'000,
         "The next Go build compiles everything again."},
        {"cargo.cache", "Cargo download cache", C::developerTools, S::safe, false, 800'000'000,
         "Crates download again when a build needs them."},
        {"ide.AndroidStudio2024.3", "Android Studio 2024.3 settings and logs", C::developerTools, S::safe, false,
         1'100'000'000,
         "Left behind by an update; the newer version copied what it needed. If you still run this version, it "
         "starts fresh."},
        {"cache.com.spotify.client", "Spotify cache", C::apps, S::safe, false, 2'100'000'000, rebuilt},
        {"cache.com.tinyspeck.slackmacgap", "Slack cache", C::apps, S::safe, false, 700'000'000, rebuilt},
        {"logs", "Logs", C::apps, S::safe, false, 900'000'000, "None. These are diagnostic logs."},
        {"chrome.onDeviceModel", "Chrome's on-device AI model", C::apps, S::review, false, 4'000'000'000,
         "Chrome downloads it again unless its on-device AI is turned off in chrome://flags."},
        {"leftover.Windsurf", "Windsurf extensions and settings", C::leftovers, S::review, false, 1'300'000'000,
         "Windsurf is not installed. Reinstalling it later starts with a clean slate."},
        {"download.Xcode_26.0.xip", "Xcode_26.0.xip", C::downloads, S::review, true, 11'200'000'000, putBack},
        {"download.android-studio-2025.1.1-mac_arm.dmg", "android-studio-2025.1.1-mac_arm.dmg", C::downloads,
         S::review, true, 1'300'000'000, putBack},
        {"trash", "Everything in the Trash", C::trash, S::review, false, 3'200'000'000,
         "Erased for good. It can no longer be put back."},
    };
    return items;
}

CleanupItem item(const FixedItem& fixed, const std::string& demoRoot) {
    const std::vector<std::string> paths = {demoRoot + "/" + fixed.id};
    return CleanupItem{
        .id = fixed.id,
        .title = fixed.title,
        .category = fixed.category,
        .consequence = fixed.consequence,
        .safety = fixed.safety,
        .action = fixed.toTrash ? CleanupAction(CleanupAction::Trash{paths}) : CleanupAction(CleanupAction::Delete{paths}),
        .requiresAdmin = false,
        .minimumBytesToShow = 1,
        .knownBytes = fixed.bytes,
    };
}

} // namespace

std::string root(const std::string& home) { return home + "/.tidra-demo"; }

DiskUsage disk(std::int64_t freed) {
    constexpr std::int64_t total = 494'384'795'648, free = 31'740'000'000;
    // The disk cannot hold more free space than its size, nor less than none.
    return {.total = total, .available = free + std::clamp<std::int64_t>(freed, -free, total - free)};
}

MemorySnapshot memory(std::int64_t stopped) {
    // Beyond 20 GB every falling figure rests at its floor; clamping keeps the products in range.
    const std::int64_t s = std::clamp<std::int64_t>(stopped, 0, 20'000'000'000);
    const bool relieved = s >= 4'000'000'000;
    return {
        .total = 17'179'869'184,
        .app = std::max<std::int64_t>(2'100'000'000, 5'000'000'000 - s * 4 / 10),
        .wired = 2'400'000'000,
        .compressed = std::max<std::int64_t>(700'000'000, 6'600'000'000 - s * 6 / 10),
        .cached = 1'300'000'000,
        .swapUsed = std::max<std::int64_t>(300'000'000, 9'400'000'000 - s / 2),
        .freePercent = relieved ? 46 : 17,
        .pressure = relieved ? MemorySnapshot::Pressure::normal : MemorySnapshot::Pressure::warning,
    };
}

const DockerStatus& docker() {
    static const DockerStatus status{DockerStatus::Running{
        .cli = "/usr/local/bin/docker",
        .usage = {.containers = 1'100'000'000, .images = 9'600'000'000, .volumes = 4'400'000'000,
                  .buildCache = 7'900'000'000},
    }};
    return status;
}

std::vector<CleanupItem> cleanupItems(const std::string& home) {
    const std::string demoRoot = root(home);
    std::vector<CleanupItem> items;
    for (const FixedItem& fixed : fixedItems()) items.push_back(item(fixed, demoRoot));
    for (CleanupItem& dockerItem : Docker::cleanupItems(docker())) items.push_back(std::move(dockerItem));
    return items;
}

std::vector<CleanupRecord> history(Date now) {
    return {
        {.date = ago(now, 6 * day),
         .source = "Automatic",
         .freedBytes = 4'200'000'000,
         .items = {"Build data (DerivedData)", "npm cache", "Simulator caches"},
         .failures = 0},
        {.date = ago(now, 13 * day),
         .source = "Projects",
         .freedBytes = 7'900'000'000,
         .items = {"Worktree fix-nav", "Worktree agent/payments-retry", "orbit-engine/target"},
         .failures = 0},
    };
}

} // namespace tidra::DemoMac
