#include "demo/DemoMac.h"

#include "demo/DemoAge.h"

namespace tidra::DemoMac {
namespace {

struct LibraryPart {
    const char* path; // below the demo root's Library folder
    std::int64_t megabytes;
};

struct AppRow {
    const char* name;
    const char* bundleID;
    const char* version;
    std::optional<std::int64_t> openedAgo; // seconds; absent when never opened
    bool needsPassword;
    std::int64_t bundleBytes;
    std::vector<LibraryPart> parts;
};

const std::vector<AppRow>& appRows() {
    static const std::vector<AppRow> rows = {
        {"Xcode", "com.apple.dt.Xcode", "26.0", 1 * day, true, 11'900'000'000,
         {{"Caches/com.apple.dt.Xcode", 1'400}, {"Preferences/com.apple.dt.Xcode.plist", 1}}},
        {"Unity Hub", "com.unity3d.unityhub", "3.12.1", 262 * day, false, 610'000'000,
         {{"Application Support/UnityHub", 3'900}, {"Caches/com.unity3d.unityhub", 420}}},
        {"Microsoft Teams", "com.microsoft.teams2", "25.0", 214 * day, false, 1'300'000'000,
         {{"Containers/com.microsoft.teams2", 2'100}, {"Group Containers/UBF8T346G9.com.microsoft.teams", 380}}},
        {"Docker", "com.docker.docker", "4.47.0", 4'320, false, 2'100'000'000,
         {{"Application Support/Docker Desktop", 190}, {"Preferences/com.docker.docker.plist", 1}}},
        {"Android Studio", "com.google.android.studio", "2025.1", 23 * day, false, 2'600'000'000,
         {{"Caches/Google/AndroidStudio2025.1", 1'100}, {"Logs/Google/AndroidStudio2025.1", 40}}},
        {"Zoom", "us.zoom.xos", "6.5.11", 151 * day, true, 410'000'000,
         {{"Application Support/zoom.us", 260}, {"Caches/us.zoom.xos", 90}}},
        {"Figma", "com.figma.Desktop", "125.7", 64 * day, false, 520'000'000,
         {{"Application Support/Figma", 870}, {"Caches/com.figma.Desktop", 210}}},
        {"Postman", "com.postmanlabs.mac", "11.60", 198 * day, false, 640'000'000,
         {{"Application Support/Postman", 1'200}, {"Saved Application State/com.postmanlabs.mac.savedState", 1}}},
        {"Slack", "com.tinyspeck.slackmacgap", "4.46.99", 12'960, false, 480'000'000,
         {{"Application Support/Slack", 930}, {"Caches/com.tinyspeck.slackmacgap", 310}}},
        {"Spotify", "com.spotify.client", "1.2.70", 2 * day, false, 390'000'000,
         {{"Caches/com.spotify.client", 2'100}, {"Application Support/Spotify", 140}}},
        {"Steam", "com.valvesoftware.steam", "4.0", std::nullopt, false, 18'000'000,
         {{"Application Support/Steam", 8'700}}},
        {"Cursor", "com.todesktop.230313mzl4w4u92", "1.7.38", 1'728, false, 760'000'000,
         {{"Application Support/Cursor", 1'800}, {"Caches/com.todesktop.230313mzl4w4u92.ShipIt", 330}}},
    };
    return rows;
}

DemoApp app(const AppRow& row, const std::string& demoRoot, Date now) {
    const std::string bundle = demoRoot + "/Applications/" + row.name + ".app";
    DemoApp out{
        .app = {.path = bundle,
                .name = row.name,
                .bundleID = row.bundleID,
                .version = row.version,
                .lastOpened = row.openedAgo ? std::optional(ago(now, *row.openedAgo)) : std::nullopt,
                .needsPassword = row.needsPassword},
        .parts = {{bundle, row.bundleBytes}},
    };
    for (const LibraryPart& part : row.parts)
        out.parts.push_back({demoRoot + "/Library/" + part.path, part.megabytes * 1'000'000});
    return out;
}

} // namespace

std::vector<DemoApp> installedApps(const std::string& home, Date now) {
    const std::string demoRoot = root(home);
    std::vector<DemoApp> apps;
    for (const AppRow& row : appRows()) apps.push_back(app(row, demoRoot, now));
    return apps;
}

} // namespace tidra::DemoMac
