#include "cleanup/AndroidItems.h"

#include "cleanup/CatalogBuilders.h"
#include "cleanup/SettingsText.h"
#include "platform/FileAccess.h"
#include "platform/PathText.h"
#include "platform/SmallFile.h"

#include <algorithm>

namespace tidra::CleanupCatalog {
namespace {

using PathAction = Builder::PathAction;

// An emulator's config.ini is a few kilobytes; anything far larger is not one.
constexpr std::size_t maximumConfigBytes = 1 << 20;

// The emulator holds these locks in the device's folder while it runs and drops them when it
// quits (Android emulator sources, android/base/files/FileLock and the multi-instance check).
bool avdIsRunning(const std::string& avd) {
    return sys::entryExists(avd + "/hardware-qemu.ini.lock") || sys::entryExists(avd + "/multiinstance.lock");
}

const char* emulatorConsequence(const std::string& avd, const std::string& home) {
    if (avdIsRunning(avd))
        return "It is running now: close it first. Deletes the emulator and everything stored on it.";
    return avdSystemImageExists(avd, home) ? "Deletes the emulator and everything stored on it."
                                           : "Deletes the emulator and its data. Its system image is no longer "
                                             "installed, so it cannot start as it is.";
}

void addEmulator(Builder& b, const std::string& folder, const std::string& avd) {
    const std::string fileName(sys::PathText::lastComponent(avd));
    const std::string name = fileName.substr(0, fileName.size() - 4);
    std::string title = "Emulator: " + name;
    std::replace(title.begin(), title.end(), '_', ' ');
    const char* consequence = emulatorConsequence(avd, b.env.home);
    b.add({"android.avd." + name, title, CleanupCategory::android, consequence, Safety::review}, PathAction::remove,
          {avd, folder + "/" + name + ".ini"});
}

} // namespace

bool avdSystemImageExists(const std::string& avd, const std::string& home) {
    const auto config = sys::readSmallFile(avd + "/config.ini", maximumConfigBytes);
    if (!config) return true;
    const auto image = SettingsText::value(*config, "image.sysdir.1");
    if (!image) return true;
    // The SDK's designed place first, then where Android Studio puts it on Linux: an image
    // missing from one may be installed in the other, and calling a working emulator broken
    // invites deleting it.
    for (const char* sdk : {"/Library/Android/sdk/", "/Android/Sdk/"})
        if (sys::existsFollowingLinks(home + sdk + *image)) return true;
    return false;
}

void android(Builder& b) {
    const std::string& home = b.env.home;
    b.add({"gradle.caches", "Gradle caches and downloaded Gradle versions", CleanupCategory::android,
           "The next Gradle build downloads its dependencies again.", Safety::safe},
          PathAction::remove, {home + "/.gradle/caches", home + "/.gradle/wrapper/dists", home + "/.gradle/daemon"});
    // On Linux the caches are ~/.cache/Google/AndroidStudio<version> (Android Studio's
    // "Configure the IDE" page, its configuration, cache and log folders).
    const auto isStudio = [](const std::string& name) { return name.starts_with("AndroidStudio"); };
    auto studioCaches = Builder::children(home + "/Library/Caches/Google", isStudio);
    const auto linuxCaches = Builder::children(home + "/.cache/Google", isStudio);
    studioCaches.insert(studioCaches.end(), linuxCaches.begin(), linuxCaches.end());
    b.add({"android.studioCaches", "Android Studio caches", CleanupCategory::android,
           "Android Studio re-indexes each project the next time you open it.", Safety::safe},
          PathAction::remove, studioCaches);
    const std::string emulators = home + "/.android/avd";
    for (const auto& avd : Builder::children(emulators, [](const std::string& name) { return name.ends_with(".avd"); }))
        addEmulator(b, emulators, avd);
}

} // namespace tidra::CleanupCatalog
