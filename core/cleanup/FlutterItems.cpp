#include "cleanup/FlutterItems.h"

#include "cleanup/CatalogBuilders.h"
#include "cleanup/SettingsText.h"
#include "platform/EntryAttributes.h"
#include "platform/FileAccess.h"
#include "platform/PathText.h"
#include "platform/SmallFile.h"

#include <nlohmann/json.hpp>

namespace tidra::CleanupCatalog {
namespace {

using PathAction = Builder::PathAction;

constexpr std::size_t maximumVersionFileBytes = 1 << 20;

struct Sdk {
    std::string path;
    bool fromFvm;
};

std::optional<std::string> versionFileText(const std::string& sdk) {
    const auto text = sys::readSmallFile(sdk + "/version", maximumVersionFileBytes);
    if (!text || !SettingsText::isUtf8(*text)) return std::nullopt;
    const auto version = SettingsText::trimmed(*text, true);
    if (version.empty()) return std::nullopt;
    return std::string(version);
}

std::optional<std::string> stringMember(const nlohmann::json& object, const char* name) {
    const auto found = object.find(name);
    if (found == object.end() || !found->is_string()) return std::nullopt;
    return found->get<std::string>();
}

// The name of the version fvm's "default" link points at, a trailing "/" aside.
std::optional<std::string> fvmDefaultName(const std::string& home) {
    auto target = sys::linkTarget(home + "/fvm/default");
    if (!target) return std::nullopt;
    while (target->size() > 1 && target->back() == '/') target->pop_back();
    return std::string(sys::PathText::lastComponent(*target));
}

// fvm's default version is the one in use, so it is never offered.
std::vector<Sdk> sdkCandidates(const std::string& home) {
    const auto defaultName = fvmDefaultName(home);
    std::vector<Sdk> sdks;
    for (auto& path : Builder::children(home + "/fvm/versions",
                                        [&](const std::string& name) { return name != defaultName; }))
        sdks.push_back({std::move(path), true});
    for (const char* fixed : {"/development/flutter", "/Developer/flutter", "/dev/flutter"})
        sdks.push_back({home + fixed, false});
    return sdks;
}

void addSdk(Builder& b, const Sdk& sdk) {
    if (!sys::existsFollowingLinks(sdk.path + "/bin/flutter")) return;
    // In use, also where `flutter` reaches it through a link in a folder elsewhere (~/bin).
    if (b.isUsedByPath(sdk.path, {"flutter", "dart"})) {
        b.claimed.push_back(sdk.path);
        return;
    }
    const std::string version = flutterVersion(sdk.path).value_or("unknown version");
    // Only the leading home folder is written as "~": the same text may recur further on.
    const std::string shown = std::string("~").append(sdk.path, b.env.home.size());
    const std::string consequence =
        sdk.fromFvm ? "fvm installs it again with \"fvm install " + version + "\" if a project asks for it."
                    : "Projects or editors that point at this SDK need another one.";
    b.add({"flutter.sdk." + shown, "Flutter " + version + " SDK in " + shown, CleanupCategory::flutter, consequence,
           Safety::review},
          PathAction::remove, {sdk.path});
}

} // namespace

std::optional<std::string> flutterVersion(const std::string& sdk) {
    if (auto version = versionFileText(sdk)) return version;
    const auto bytes = sys::readSmallFile(sdk + "/bin/cache/flutter.version.json", maximumVersionFileBytes);
    if (!bytes) return std::nullopt;
    const auto json = nlohmann::json::parse(*bytes, nullptr, false);
    if (!json.is_object() || json.empty()) return std::nullopt;
    if (auto version = stringMember(json, "frameworkVersion")) return version;
    return stringMember(json, "flutterVersion");
}

void flutter(Builder& b) {
    const std::string& home = b.env.home;
    b.add({"dart.analysis", "Dart analysis cache", CleanupCategory::flutter,
           "The first analysis after reopening a project is slower.", Safety::safe},
          PathAction::remove, {home + "/.dartServer"});
    b.add({"pub.cache", "Pub package cache", CleanupCategory::flutter,
           "Every project needs \"flutter pub get\" again, and globally activated tools may need reactivating.",
           Safety::review},
          PathAction::remove, {home + "/.pub-cache/hosted", home + "/.pub-cache/git"});
    b.add({"shorebird.cache", "Shorebird's copies of Flutter", CleanupCategory::flutter,
           "Shorebird downloads the one it needs again on its next run, a few minutes for each.", Safety::review},
          PathAction::remove, {home + "/.shorebird/bin/cache"});
    for (const auto& sdk : sdkCandidates(home)) addSdk(b, sdk);
}

} // namespace tidra::CleanupCatalog
