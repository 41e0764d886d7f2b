#include "apps/AppFootprint.h"

#include "apps/NaturalOrder.h"
#include "platform/FileAccess.h"

#include <utf8proc.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <map>
#include <set>

namespace tidra::AppFootprint {
namespace {

struct LibraryFolder {
    const char* folder;
    std::vector<std::string> endings;
};

const std::vector<LibraryFolder>& identifierFolders() {
    static const std::vector<LibraryFolder> folders{
        {"Library/Application Support", {}},
        {"Library/Caches", {}},
        {"Library/Preferences", {".plist"}},
        {"Library/Preferences/ByHost", {".plist"}},
        {"Library/Saved Application State", {".savedState"}},
        {"Library/HTTPStorages", {".binarycookies"}},
        {"Library/WebKit", {}},
        {"Library/Cookies", {".binarycookies"}},
        {"Library/Logs", {}},
        {"Library/Application Scripts", {}},
        // A Flatpak's own folder on Linux, which outlives the app (flatpak-run(1): the
        // sandbox's $HOME/.var/app/<id>).
        {".var/app", {}},
        // The XDG base directories, where Linux apps keep what the Library holds elsewhere.
        {".config", {}},
        {".cache", {}},
        {".local/share", {}},
        {".local/state", {}},
    };
    return folders;
}

// The folders searched by the app's name: support files, caches and logs, on both platforms.
const std::vector<std::string>& nameFolders() {
    static const std::vector<std::string> folders{"Library/Application Support", "Library/Caches", "Library/Logs",
                                                  ".config", ".cache", ".local/share", ".local/state"};
    return folders;
}

// Entries of the XDG folders that the desktop shares between all apps (or that hold secrets):
// never one app's, whatever it is called.
const std::set<std::string>& sharedEntries() {
    static const std::set<std::string> names{"applications", "autostart", "flatpak", "icons",   "fonts",
                                             "mime",         "systemd",   "Trash",   "keyrings", "dbus-1",
                                             "user-dirs.dirs", "gtk-3.0", "gtk-4.0", "dconf",   "pulse"};
    return names;
}

// Found by name only, these hold nothing that a lost copy would miss.
bool isCacheFolder(const std::string& relative) {
    return relative == "Library/Caches" || relative == "Library/Logs" || relative == ".cache";
}

// Apps whose name cannot be read off their identifier.
const std::map<std::string, std::string>& knownNames() {
    static const std::map<std::string, std::string> names{
        {"com.tinyspeck.slackmacgap", "Slack"},   {"com.openai.chat", "ChatGPT"},
        {"us.zoom.xos", "Zoom"},                  {"com.microsoft.teams", "Microsoft Teams"},
        {"com.microsoft.teams2", "Microsoft Teams"}, {"com.postmanlabs.mac", "Postman"},
        {"com.proxyman.nsproxy", "Proxyman"},     {"com.bittorrent.utweb", "µTorrent Web"},
        {"com.dynamodb.workbench", "NoSQL Workbench"},
    };
    return names;
}

// Words that say nothing about an app's name.
const std::set<std::string>& genericParts() {
    static const std::set<std::string> parts{"app",         "mac",  "macos",   "osx", "desktop", "client",
                                             "browser",     "application", "main", "electron", "xos"};
    return parts;
}

// Words that name a companion process of an app.
const std::set<std::string>& roleParts() {
    static const std::set<std::string> parts{"agent", "helper", "updater", "launcher", "daemon"};
    return parts;
}

bool isUpper(char c) { return c >= 'A' && c <= 'Z'; }
bool isLower(char c) { return c >= 'a' && c <= 'z'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

std::string lowered(std::string text) {
    for (char& c : text)
        if (isUpper(c)) c = char(c - 'A' + 'a');
    return text;
}

std::vector<std::string> pieces(const std::string& text) {
    std::vector<std::string> out;
    std::size_t start = 0;
    while (start <= text.size()) {
        const auto dot = std::min(text.find('.', start), text.size());
        if (dot > start) out.push_back(text.substr(start, dot - start));
        start = dot + 1;
    }
    return out;
}

bool isFamily(const std::string& stem, const std::string& id) {
    return stem == id || (stem.size() > id.size() && stem.starts_with(id) && stem[id.size()] == '.');
}

// Visible entry names of a folder, in the listing's own order; none when it cannot be listed.
std::vector<std::string> entries(const std::string& folder) {
    auto names = sys::folderEntries(folder).value_or(std::vector<std::string>{});
    std::erase_if(names, [](const std::string& name) { return name.starts_with('.'); });
    return names;
}

// Tidra's own settings, history and caches: an old copy of Tidra (or anything named like it)
// must never take them.
bool isTidras(const std::string& name) { return lowered(name) == "tidra"; }

bool isCounted(const std::string& name) { return !sharedEntries().contains(name) && !isTidras(name); }

std::string realPath(const std::string& path) {
    char buffer[PATH_MAX];
    return ::realpath(path.c_str(), buffer) ? std::string(buffer) : std::string();
}

bool isWithin(const std::string& path, const std::string& folder) {
    return !folder.empty() && path.starts_with(folder) && (path.size() == folder.size() || path[folder.size()] == '/');
}

// An installed command called like the entry (as written, or in lower case, as commands are
// mostly named) that is not one of the app's own files.
bool isOtherCommand(const std::string& entry, const Rivals& rivals) {
    std::vector<std::string> own;
    for (const auto& path : rivals.ownPaths) own.push_back(realPath(path));
    for (const auto& name : {entry, lowered(entry)})
        for (const auto& folder : rivals.commandFolders) {
            const std::string command = folder + "/" + name;
            if (!sys::isExecutableFile(command)) continue;
            const std::string real = realPath(command);
            if (std::none_of(own.begin(), own.end(), [&](const std::string& o) { return isWithin(real, o); })) return true;
        }
    return false;
}

bool isRivalled(const std::string& entry, const Rivals& rivals) {
    const auto key = NaturalOrder::sortKey(entry);
    return std::any_of(rivals.names.begin(), rivals.names.end(),
                       [&](const std::string& name) { return NaturalOrder::sortKey(name) == key; }) ||
           isOtherCommand(entry, rivals);
}

std::string withoutEnding(const std::string& name, const std::vector<std::string>& endings) {
    for (const auto& ending : endings)
        if (name.ends_with(ending)) return name.substr(0, name.size() - ending.size());
    return name;
}

// The identifier part of a group container's name: a team identifier (ten capitals or digits)
// and a "group." prefix dropped.
std::string groupStem(std::string name) {
    const auto dot = name.find('.');
    if (dot == 10 && std::all_of(name.begin(), name.begin() + 10, [](char c) { return isUpper(c) || isDigit(c); }))
        name.erase(0, 11);
    if (name.starts_with("group.")) name.erase(0, 6);
    return name;
}

// Decides whether a lower-case name stem belongs to the app, leaving alone what belongs to an
// installed app whose identifier extends the app's own.
class Claim {
public:
    Claim(const std::string& bundleID, const std::vector<std::string>& others) : id_(lowered(bundleID)) {
        for (const auto& other : others) {
            auto lower = lowered(other);
            if (lower != id_ && isFamily(lower, id_)) nested_.push_back(std::move(lower));
        }
    }

    bool operator()(const std::string& stem) const {
        const auto lower = lowered(stem);
        return isFamily(lower, id_) &&
               std::none_of(nested_.begin(), nested_.end(), [&](const std::string& n) { return isFamily(lower, n); });
    }

private:
    std::string id_;
    std::vector<std::string> nested_;
};

void identifierPass(const Claim& claims, const std::string& home, bool includeContainers,
                    std::set<std::string>& found) {
    auto folders = identifierFolders();
    if (includeContainers) folders.push_back({"Library/Containers", {}});
    for (const auto& row : folders) {
        const std::string folder = home + "/" + row.folder;
        for (const auto& name : entries(folder))
            if (isCounted(name) && claims(withoutEnding(name, row.endings)))
                found.insert(folder + "/" + name);
    }
    if (!includeContainers) return;
    const std::string groups = home + "/Library/Group Containers";
    for (const auto& name : entries(groups))
        if (claims(groupStem(name))) found.insert(groups + "/" + name);
}

// Characters as a reader counts them (grapheme clusters, not bytes: "微信" is two); a byte
// that is not UTF-8 counts as one.
std::size_t characterCount(const std::string& text) {
    std::size_t count = 0;
    utf8proc_int32_t previous = -1, state = 0;
    for (std::size_t at = 0; at < text.size();) {
        utf8proc_int32_t c = 0;
        const auto length = utf8proc_iterate(reinterpret_cast<const utf8proc_uint8_t*>(text.data() + at),
                                             static_cast<utf8proc_ssize_t>(text.size() - at), &c);
        if (length <= 0) c = -1;
        if (c < 0 || previous < 0 || utf8proc_grapheme_break_stateful(previous, c, &state)) ++count;
        if (c < 0) state = 0;
        previous = c;
        at += length > 0 ? std::size_t(length) : 1;
    }
    return count;
}

void namePass(const std::string& appName, const std::string& home, const Rivals& rivals, std::set<std::string>& found) {
    const auto key = NaturalOrder::sortKey(appName);
    for (const auto& relative : nameFolders()) {
        const std::string folder = home + "/" + relative;
        for (const auto& name : entries(folder))
            if (isCounted(name) && NaturalOrder::sortKey(name) == key && !isRivalled(name, rivals))
                found.insert(folder + "/" + name);
    }
}

std::string capitalised(std::string text) {
    bool wordStart = true;
    for (char& c : text) {
        if (wordStart && isLower(c)) c = char(c - 'a' + 'A');
        else if (!wordStart && isUpper(c)) c = char(c - 'A' + 'a');
        wordStart = c == ' ';
    }
    return text;
}

std::string nameWord(const std::vector<std::string>& parts) {
    if (parts.size() == 2) return parts[1];
    const std::string& candidate = parts[2];
    const auto lower = lowered(candidate);
    if (roleParts().contains(lower)) return parts[1] + "-" + candidate;
    const auto digits = std::count_if(candidate.begin(), candidate.end(), isDigit);
    if (!genericParts().contains(lower) && std::size_t(2 * digits) < candidate.size()) return candidate;
    return parts[1];
}

} // namespace

std::vector<std::string> paths(const std::string& bundleID, const std::optional<std::string>& name,
                               const std::string& home, bool includeContainers,
                               const std::vector<std::string>& others, const Rivals& rivals) {
    std::set<std::string> found;
    if (looksLikeBundleID(bundleID)) identifierPass(Claim(bundleID, others), home, includeContainers, found);
    if (name && characterCount(*name) >= 3) namePass(*name, home, rivals, found);
    return {found.begin(), found.end()};
}

bool isSettingsFoundByName(const std::string& path, const std::string& bundleID, const std::string& home) {
    if (!path.starts_with(home + "/")) return false;
    const std::string relative = path.substr(home.size() + 1);
    const auto slash = relative.rfind('/');
    if (slash == std::string::npos) return false;
    const std::string folder = relative.substr(0, slash);
    const auto& named = nameFolders();
    if (std::find(named.begin(), named.end(), folder) == named.end() || isCacheFolder(folder)) return false;
    return !looksLikeBundleID(bundleID) || !Claim(bundleID, {})(relative.substr(slash + 1));
}

bool looksLikeBundleID(const std::string& text) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (auto dot = text.find('.'); dot != std::string::npos; dot = text.find('.', start)) {
        parts.push_back(text.substr(start, dot - start));
        start = dot + 1;
    }
    parts.push_back(text.substr(start));
    const auto validPiece = [](const std::string& piece) {
        return !piece.empty() &&
               std::all_of(piece.begin(), piece.end(), [](char c) { return isUpper(c) || isLower(c) || isDigit(c) || c == '-'; });
    };
    return parts.size() >= 3 && std::all_of(parts.begin(), parts.end(), validPiece) &&
           (isUpper(parts[0][0]) || isLower(parts[0][0]));
}

std::string vendor(const std::string& bundleID) {
    const auto parts = pieces(bundleID);
    std::string out;
    for (std::size_t i = 0; i < parts.size() && i < 2; ++i) out += (i ? "." : "") + parts[i];
    return lowered(out);
}

std::string guessedName(const std::string& bundleID) {
    if (const auto known = knownNames().find(lowered(bundleID)); known != knownNames().end()) return known->second;
    const auto parts = pieces(bundleID);
    if (parts.size() < 2) return bundleID;
    auto word = nameWord(parts);
    std::replace(word.begin(), word.end(), '-', ' ');
    return word == lowered(word) ? capitalised(word) : word;
}

} // namespace tidra::AppFootprint
