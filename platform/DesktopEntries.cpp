#include "platform/DesktopEntries.h"

#include "platform/FileAccess.h"
#include "platform/SmallFile.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <set>
#include <string_view>

namespace tidra::sys {
namespace {

constexpr std::size_t maximumEntryBytes = 1 << 20;
// Vendors nest entries one or two folders deep at most; deeper trees are not registries.
constexpr int maximumDepth = 3;

struct Candidate {
    std::string id;
    std::string path;
};

std::vector<std::string> splitColons(const std::string& list) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (std::size_t end; start <= list.size(); start = end + 1) {
        end = list.find(':', start);
        if (end == std::string::npos) end = list.size();
        if (end > start) parts.push_back(list.substr(start, end - start));
    }
    return parts;
}

std::string environmentOr(const char* name, const std::string& fallback) {
    const char* value = std::getenv(name);
    return value && *value ? value : fallback;
}

// False when an existing folder cannot be listed.
bool collect(const std::string& folder, const std::string& idPrefix, int depth, std::vector<Candidate>& out) {
    auto names = folderEntries(folder);
    if (!names) return !existsFollowingLinks(folder);
    std::sort(names->begin(), names->end());
    for (const auto& name : *names) {
        const std::string path = folder + "/" + name;
        if (isDirectoryNoFollow(path)) {
            if (depth < maximumDepth && !collect(path, idPrefix + name + "-", depth + 1, out)) return false;
        } else if (name.size() > 8 && name.ends_with(".desktop")) {
            out.push_back({idPrefix + name.substr(0, name.size() - 8), path});
        }
    }
    return true;
}

std::string_view trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

std::string unescaped(std::string_view value) {
    std::string out;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '\\' || i + 1 == value.size()) {
            out += value[i];
            continue;
        }
        switch (value[++i]) {
        case 's': out += ' '; break;
        case 'n': out += '\n'; break;
        case 't': out += '\t'; break;
        case 'r': out += '\r'; break;
        default: out += value[i]; break;
        }
    }
    return out;
}

// A dangling link, something that is no file, or a file far too big to be an entry.
bool isAbsent(int error) {
    return error == ENOENT || error == EINVAL || error == EFBIG;
}

} // namespace

std::vector<std::string> applicationFolders(const std::string& home) {
    std::vector<std::string> bases{environmentOr("XDG_DATA_HOME", home + "/.local/share")};
    for (auto& dir : splitColons(environmentOr("XDG_DATA_DIRS", "/usr/local/share:/usr/share")))
        bases.push_back(std::move(dir));
    // Flatpak puts its exports on XDG_DATA_DIRS only in sessions started after it was set up.
    for (std::string flatpak : {home + "/.local/share/flatpak/exports/share", std::string("/var/lib/flatpak/exports/share")})
        if (std::find(bases.begin(), bases.end(), flatpak) == bases.end()) bases.push_back(flatpak);
    for (auto& base : bases) {
        while (base.size() > 1 && base.back() == '/') base.pop_back();
        base += "/applications";
    }
    return bases;
}

DesktopFileFields parseDesktopFile(const std::string& text) {
    DesktopFileFields fields;
    bool inMainGroup = false;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        const std::string_view line = trimmed(std::string_view(text).substr(start, end - start));
        start = end + 1;
        if (line.starts_with('[')) {
            inMainGroup = line == "[Desktop Entry]";
            continue;
        }
        const auto equals = line.find('=');
        if (!inMainGroup || equals == std::string_view::npos) continue;
        const auto key = trimmed(line.substr(0, equals));
        const auto value = trimmed(line.substr(equals + 1));
        if (key == "Name") fields.name = unescaped(value);
        else if (key == "Hidden") fields.hidden = value == "true";
        else if (key == "Exec") fields.exec = unescaped(value);
        else if (key == "X-GNOME-Autostart-enabled") fields.autostartDisabled = value == "false";
        else if (key == "Type") fields.type = value;
        else if (key == "Icon") fields.icon = unescaped(value);
        else if (key == "NoDisplay") fields.noDisplay = value == "true";
        else if (key == "X-AppImage-Version") fields.appImageVersion = unescaped(value);
    }
    return fields;
}

std::optional<std::vector<DesktopEntry>> readDesktopEntries(const std::vector<std::string>& folders) {
    std::vector<DesktopEntry> entries;
    std::set<std::string> seen;
    for (const auto& folder : folders) {
        std::vector<Candidate> candidates;
        if (!collect(folder, "", 1, candidates)) return std::nullopt;
        for (const auto& candidate : candidates) {
            if (seen.count(candidate.id)) continue;
            int error = 0;
            const auto text = readSmallFile(candidate.path, maximumEntryBytes, &error);
            if (!text && isAbsent(error)) continue;
            if (!text) return std::nullopt;
            seen.insert(candidate.id);
            const auto fields = parseDesktopFile(*text);
            if (!fields.hidden) entries.push_back({candidate.id, fields.name, candidate.path});
        }
    }
    return entries;
}

} // namespace tidra::sys
