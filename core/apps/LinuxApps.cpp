#include "apps/LinuxApps.h"

#include "apps/FlatpakApps.h"
#include "apps/NaturalOrder.h"
#include "cleanup/PathGuard.h"
#include "platform/DesktopEntries.h"
#include "platform/FileAccess.h"
#include "platform/PathText.h"
#include "platform/SmallFile.h"
#include "platform/UniqueFd.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdlib>
#include <map>
#include <set>
#include <utility>

namespace tidra {
namespace {

constexpr std::size_t maximumEntryBytes = 1 << 20;

struct Entry {
    std::string id;
    std::string path;
    sys::DesktopFileFields fields;
    std::string program;
};

std::string environmentOr(const char* name, const std::string& fallback) {
    const char* value = std::getenv(name);
    return value && *value == '/' ? value : fallback;
}

using sys::PathText::isInside;

std::vector<std::string> sortedNames(const std::string& folder) {
    auto names = sys::folderEntries(folder).value_or(std::vector<std::string>{});
    std::erase_if(names, [](const std::string& name) { return name.starts_with('.'); });
    std::sort(names.begin(), names.end());
    return names;
}

// The visible application entries of one folder (not below: the user's and the system's
// folders keep them flat), in name order.
std::vector<Entry> readEntries(const std::string& folder) {
    std::vector<Entry> entries;
    for (const auto& name : sortedNames(folder)) {
        if (name.size() <= 8 || !name.ends_with(".desktop")) continue;
        const std::string path = folder + "/" + name;
        const auto text = sys::readSmallFile(path, maximumEntryBytes);
        if (!text) continue;
        auto fields = sys::parseDesktopFile(*text);
        if (fields.hidden || fields.noDisplay || fields.type != "Application") continue;
        auto started = LinuxApps::program(fields.exec);
        entries.push_back({name.substr(0, name.size() - 8), path, std::move(fields), std::move(started)});
    }
    return entries;
}

// "Cursor-1.2.3-x86_64.AppImage" is Cursor, version 1.2.3: the name runs up to the first "-"
// or "_" that a digit follows, the version from there to the next "-" or "_".
std::pair<std::string, std::optional<std::string>> appImageNameAndVersion(const std::string& fileName) {
    std::string stem = fileName;
    if (stem.size() > 9) {
        std::string ending = stem.substr(stem.size() - 9);
        std::transform(ending.begin(), ending.end(), ending.begin(), [](unsigned char c) { return std::tolower(c); });
        if (ending == ".appimage") stem.resize(stem.size() - 9);
    }
    for (std::size_t at = 1; at + 1 < stem.size(); ++at) {
        if ((stem[at] != '-' && stem[at] != '_') || !std::isdigit(static_cast<unsigned char>(stem[at + 1]))) continue;
        const auto end = stem.find_first_of("-_", at + 1);
        return {stem.substr(0, at), stem.substr(at + 1, end == std::string::npos ? std::string::npos : end - at - 1)};
    }
    return {stem, std::nullopt};
}

// A bare command name of a user's entry is looked for where a user installs commands; a link
// in the home folder (~/.local/bin/tool to an AppImage) stands for the file it leads to there.
std::string resolvedProgram(const std::string& program, const std::string& home) {
    std::string found = program;
    if (!program.empty() && !program.starts_with('/')) {
        found.clear();
        for (const char* folder : {"/.local/bin/", "/bin/"})
            if (found.empty() && sys::isExecutableFile(home + folder + program)) found = home + folder + program;
    }
    const std::string real = found.empty() ? found : sys::realPath(found).value_or("");
    return isInside(real, home) && isInside(found, home) ? real : found;
}

// Collects apps by path, so an AppImage found in a folder and named by an entry is one app.
class Collector {
public:
    Collector(const std::set<std::string>& excluding, std::string ownProgram)
        : excluding_(excluding), ownProgram_(std::move(ownProgram)) {}

    // An app excluded by its identifier stays out also when found again another way; so does
    // one whose program (`program`, else its path) is this program.
    void add(InstalledApp app, const std::string& program = {}) {
        if (excluding_.count(app.bundleID) ||
            (!ownProgram_.empty() && sys::realPath(program.empty() ? app.path : program) == ownProgram_))
            excluded_.insert(app.path);
        if (has(app.path)) return;
        order_.push_back(app.path);
        byPath_.emplace(app.path, std::move(app));
    }
    bool has(const std::string& path) const { return byPath_.count(path) > 0 || excluded_.count(path) > 0; }
    InstalledApp* find(const std::string& path) {
        const auto it = byPath_.find(path);
        return it == byPath_.end() ? nullptr : &it->second;
    }
    std::vector<InstalledApp> take() {
        std::vector<InstalledApp> apps;
        for (const auto& path : order_) apps.push_back(std::move(byPath_.at(path)));
        return apps;
    }

private:
    const std::set<std::string>& excluding_;
    std::string ownProgram_;
    std::map<std::string, InstalledApp> byPath_;
    std::set<std::string> excluded_;
    std::vector<std::string> order_;
};

// Folders below the home that hold many programs: unpacked ones, one folder each, or the
// commands folders, one file each.
const std::set<std::string>& programShelves() {
    static const std::set<std::string> shelves{"bin", ".local/bin", "opt",      ".opt",     ".local/opt", "Applications",
                                               "Apps",     "apps",     "Programs", "programs",   "Software",
                                               "software", "Tools",    "tools"};
    return shelves;
}

std::vector<std::string> pathParts(const std::string& relative) {
    std::vector<std::string> parts;
    for (std::size_t start = 0; start <= relative.size();) {
        const auto slash = std::min(relative.find('/', start), relative.size());
        parts.push_back(relative.substr(start, slash - start));
        start = slash + 1;
    }
    return parts;
}

std::string asLower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

// "idea-IC-233.1" holds idea.sh, "android-studio" studio.sh, "VSCode-linux-x64" code; "go"
// does not hold "tool", nor does a hidden folder (a toolchain's, like ~/.cargo) hold anything.
bool isNamedFor(const std::string& folderName, const std::string& programName) {
    if (folderName.starts_with('.')) return false;
    const std::string stem = asLower(programName.substr(0, programName.find('.')));
    return stem.size() >= 3 && asLower(folderName).find(stem) != std::string::npos;
}

// Sets the app's folder (or the folder that must stay) from where its program lies: the
// first folder below the home, or below one of its shelves, that holds the program.
void placeProgram(InstalledApp& app, const std::string& home) {
    const auto parts = pathParts(app.path.substr(home.size() + 1));
    std::size_t start = 0;
    for (std::size_t length : {2, 1})
        if (start == 0 && parts.size() > length) {
            std::string prefix = parts[0];
            for (std::size_t i = 1; i < length; ++i) prefix += "/" + parts[i];
            if (programShelves().contains(prefix)) start = length;
        }
    if (start + 1 >= parts.size()) return; // directly in the home or a shelf: one file
    std::string folder = home;
    for (std::size_t i = 0; i <= start; ++i) folder += "/" + parts[i];
    // A folder at the top of the home is the home's own shape, never moved whole.
    if (start > 0 && isNamedFor(parts[start], parts.back())) app.folder = folder;
    else app.remains = folder;
}

// A folder that holds another listed app, or this program, is not one app's to move.
void keepSharedFolders(std::vector<InstalledApp>& apps, const std::string& ownProgram) {
    for (auto& app : apps) {
        if (app.folder.empty()) continue;
        const auto holds = [&](const std::string& path) { return path == app.folder || isInside(path, app.folder); };
        const bool shared = holds(ownProgram) || std::any_of(apps.begin(), apps.end(), [&](const InstalledApp& other) {
            return &other != &app && (holds(other.path) || holds(other.folder));
        });
        if (shared) app.remains = std::exchange(app.folder, {});
    }
}

InstalledApp appImage(const std::string& path) {
    const std::string fileName(sys::PathText::lastComponent(path));
    auto [name, version] = appImageNameAndVersion(fileName);
    return {path, name, fileName, version, std::nullopt, false, AppKind::appImage};
}

// The user's own entries whose program lies in the home folder: an AppImage, or a program.
void addUserEntries(const LinuxAppPlaces& places, const std::vector<Entry>& entries, Collector& apps) {
    for (const auto& entry : entries) {
        const std::string program = resolvedProgram(entry.program, places.home);
        if (!isInside(program, places.home) || !sys::isExecutableFile(program)) continue;
        const bool isImage = LinuxApps::isAppImage(program);
        InstalledApp app{program, entry.fields.name.empty() ? entry.id : entry.fields.name, entry.id,
                         std::nullopt, std::nullopt, false, isImage ? AppKind::appImage : AppKind::program,
                         entry.fields.icon};
        if (!entry.fields.appImageVersion.empty()) app.version = entry.fields.appImageVersion;
        else if (isImage) app.version = appImageNameAndVersion(std::string(sys::PathText::lastComponent(program))).second;
        if (!isImage) placeProgram(app, places.home);
        apps.add(std::move(app)); // a second entry for the same program changes nothing
    }
}

void addAppImages(const std::vector<std::string>& folders, Collector& apps) {
    for (const auto& folder : folders)
        for (const auto& name : sortedNames(folder)) {
            const std::string path = folder + "/" + name;
            if (!apps.has(path) && LinuxApps::isAppImage(path)) apps.add(appImage(path));
        }
}

// The user's entries that start an app from the list (its own program, or its Flatpak id)
// and every autostart entry doing the same go with the app.
void attachLaunchers(const std::vector<Entry>& entries, const std::vector<Entry>& autostart, const std::string& home,
                     Collector& apps, const std::vector<InstalledApp>& flatpaks) {
    const auto attach = [&](const Entry& entry) {
        const std::string program = resolvedProgram(entry.program, home);
        InstalledApp* app = apps.find(program);
        for (const auto& flatpak : flatpaks)
            if (!app && entry.id == flatpak.bundleID) app = apps.find(flatpak.path);
        if (app && std::find(app->launchers.begin(), app->launchers.end(), entry.path) == app->launchers.end())
            app->launchers.push_back(entry.path);
    };
    for (const auto& entry : entries) attach(entry);
    for (const auto& entry : autostart) attach(entry);
}

AppKind systemKind(const Entry& entry) {
    if (entry.program.starts_with("/snap/") || entry.path.starts_with("/var/lib/snapd/")) return AppKind::snap;
    return AppKind::systemPackage;
}

// Entries of the system's packages: shown, locked; an id once. The Flatpaks' exported entries
// are passed over: their apps are listed from their installations.
void addSystemEntries(const LinuxAppPlaces& places, Collector& apps) {
    std::set<std::string> seen;
    for (const auto& folder : places.systemEntries) {
        if (folder.find("/flatpak/exports/") != std::string::npos) continue;
        for (const auto& entry : readEntries(folder)) {
            if (!seen.insert(entry.id).second || isInside(entry.program, places.home)) continue;
            apps.add({entry.path, entry.fields.name.empty() ? entry.id : entry.fields.name, entry.id, std::nullopt,
                      std::nullopt, true, systemKind(entry), entry.fields.icon},
                     entry.program.starts_with('/') ? entry.program : std::string("/usr/bin/") + entry.program);
        }
    }
}

void sortByName(std::vector<InstalledApp>& apps) {
    std::stable_sort(apps.begin(), apps.end(), [](const InstalledApp& a, const InstalledApp& b) {
        return NaturalOrder::compare(a.name, b.name) < 0;
    });
}

} // namespace

LinuxAppPlaces LinuxAppPlaces::live(const std::string& home, bool withSystem) {
    const std::string data = withSystem ? environmentOr("XDG_DATA_HOME", home + "/.local/share") : home + "/.local/share";
    const std::string config = withSystem ? environmentOr("XDG_CONFIG_HOME", home + "/.config") : home + "/.config";
    LinuxAppPlaces places;
    places.home = home;
    // Where AppImage's documentation and its desktop-integration tools suggest keeping them,
    // and where browsers put what was downloaded.
    places.appImageFolders = {home + "/Applications", home + "/Apps", home + "/.local/bin", home + "/Downloads"};
    places.userEntries = data + "/applications";
    places.autostart = config + "/autostart";
    // flatpak(1): the per-user installation is ~/.local/share/flatpak.
    places.userFlatpaks = data + "/flatpak/app";
    places.ownProgram = PathGuard::runningExecutable();
    if (withSystem) {
        const auto folders = sys::applicationFolders(home);
        places.systemEntries.assign(folders.begin() + 1, folders.end());
        places.systemFlatpaks = "/var/lib/flatpak/app";
    }
    return places;
}

namespace LinuxApps {

bool isAppImage(const std::string& path) {
    const sys::UniqueFd fd(::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK));
    struct stat st {};
    if (!fd.ok() || ::fstat(fd.fd, &st) != 0 || !S_ISREG(st.st_mode)) return false;
    unsigned char head[11] = {};
    if (::pread(fd.fd, head, sizeof head, 0) != static_cast<ssize_t>(sizeof head)) return false;
    return head[0] == 0x7f && head[1] == 'E' && head[2] == 'L' && head[3] == 'F' && head[8] == 'A' &&
           head[9] == 'I' && (head[10] == 1 || head[10] == 2);
}

std::string program(const std::string& exec) {
    std::size_t at = 0;
    while (true) {
        while (at < exec.size() && (exec[at] == ' ' || exec[at] == '\t')) ++at;
        if (at == exec.size()) return {};
        std::string word;
        bool quoted = false;
        for (; at < exec.size() && (quoted || (exec[at] != ' ' && exec[at] != '\t')); ++at) {
            if (exec[at] == '"') quoted = !quoted;
            else if (exec[at] == '\\' && quoted && at + 1 < exec.size()) word += exec[++at];
            else word += exec[at];
        }
        const bool isAssignment = word.find('=') != std::string::npos && !word.starts_with('/');
        if (word != "env" && !isAssignment) return word;
    }
}

std::map<std::string, std::string> flatpakEnvironment(const std::string& userFlatpaks) {
    return {{"FLATPAK_USER_DIR", std::string(sys::PathText::parentFolder(userFlatpaks))}};
}

std::vector<InstalledApp> list(const LinuxAppPlaces& places, const std::set<std::string>& excluding, const Runner& run) {
    Collector apps(excluding, places.ownProgram);
    const auto userEntries = readEntries(places.userEntries);
    addUserEntries(places, userEntries, apps);
    auto imageFolders = places.appImageFolders;
    for (const auto& entry : userEntries) {
        const std::string program = resolvedProgram(entry.program, places.home);
        if (isInside(program, places.home)) imageFolders.emplace_back(sys::PathText::parentFolder(program));
    }
    addAppImages(imageFolders, apps);
    auto flatpaks = FlatpakApps::user(places.userFlatpaks, places.flatpakTool, run);
    if (!places.systemFlatpaks.empty())
        for (auto& app : FlatpakApps::system(places.systemFlatpaks)) flatpaks.push_back(std::move(app));
    for (auto& app : flatpaks) apps.add(app);
    attachLaunchers(userEntries, readEntries(places.autostart), places.home, apps, flatpaks);
    addSystemEntries(places, apps);
    auto listed = apps.take();
    keepSharedFolders(listed, places.ownProgram);
    sortByName(listed);
    return listed;
}

} // namespace LinuxApps
} // namespace tidra
