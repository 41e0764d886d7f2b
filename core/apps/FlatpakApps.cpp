#include "apps/FlatpakApps.h"

#include "apps/AppFootprint.h"
#include "platform/DesktopEntries.h"
#include "platform/FileAccess.h"
#include "platform/SmallFile.h"

#include <algorithm>
#include <cctype>
#include <string_view>

namespace tidra::FlatpakApps {
namespace {

constexpr std::size_t maximumTextBytes = 4 << 20;

std::optional<std::string> text(const std::string& path) { return sys::readSmallFile(path, maximumTextBytes); }

// The app id that the "[Application]" group of a deploy's metadata names; nothing for a
// runtime or an unreadable file.
std::optional<std::string> applicationName(const std::string& metadata) {
    bool inGroup = false;
    std::size_t start = 0;
    while (start < metadata.size()) {
        auto end = metadata.find('\n', start);
        if (end == std::string::npos) end = metadata.size();
        const std::string line = metadata.substr(start, end - start);
        start = end + 1;
        if (line.starts_with('[')) inGroup = line == "[Application]";
        else if (inGroup && line.starts_with("name=") && line.size() > 5) return line.substr(5);
    }
    return std::nullopt;
}

// The first release's version in the app's AppStream data.
std::optional<std::string> releaseVersion(const std::string& active, const std::string& id) {
    for (const auto& relative : {"/files/share/metainfo/" + id + ".metainfo.xml", "/files/share/appdata/" + id + ".appdata.xml"}) {
        const auto xml = text(active + relative);
        if (!xml) continue;
        const auto release = xml->find("<release ");
        if (release == std::string::npos) continue;
        const auto close = xml->find('>', release);
        const auto attribute = xml->find("version=\"", release);
        if (attribute == std::string::npos || attribute > close) continue;
        const auto from = attribute + 9;
        const auto to = xml->find('"', from);
        if (to != std::string::npos && to > from) return xml->substr(from, to - from);
    }
    return std::nullopt;
}

// The largest icon the app exports, else its entry's theme icon name.
std::string exportedIcon(const std::string& active, const std::string& id, const std::string& entryIcon) {
    const std::string icons = active + "/export/share/icons/hicolor/";
    for (const auto& relative : {"scalable/apps/" + id + ".svg", "256x256/apps/" + id + ".png",
                                 "128x128/apps/" + id + ".png", "64x64/apps/" + id + ".png",
                                 "48x48/apps/" + id + ".png"})
        if (sys::existsFollowingLinks(icons + relative)) return icons + relative;
    return entryIcon;
}

// One deployed app as its folder describes it; nothing for a runtime or a broken deploy.
std::optional<InstalledApp> deployed(const std::string& folder, const std::string& id, bool locked) {
    const std::string active = folder + "/" + id + "/current/active";
    const auto metadata = text(active + "/metadata");
    if (!metadata || applicationName(*metadata) != id) return std::nullopt;
    const auto entry = text(active + "/export/share/applications/" + id + ".desktop");
    const auto fields = entry ? sys::parseDesktopFile(*entry) : sys::DesktopFileFields{};
    return InstalledApp{folder + "/" + id,
                        fields.name.empty() ? AppFootprint::guessedName(id) : fields.name,
                        id,
                        releaseVersion(active, id),
                        std::nullopt,
                        locked,
                        locked ? AppKind::systemFlatpak : AppKind::flatpak,
                        exportedIcon(active, id, fields.icon)};
}

std::vector<InstalledApp> fromFolder(const std::string& folder, bool locked) {
    auto ids = sys::folderEntries(folder).value_or(std::vector<std::string>{});
    std::sort(ids.begin(), ids.end());
    std::vector<InstalledApp> apps;
    for (const auto& id : ids)
        if (!id.starts_with('.'))
            if (auto app = deployed(folder, id, locked)) apps.push_back(std::move(*app));
    return apps;
}

std::vector<std::string> fields(const std::string& line) {
    std::vector<std::string> out;
    std::size_t start = 0;
    for (std::size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1)
        out.push_back(line.substr(start, tab - start));
    out.push_back(line.substr(start));
    return out;
}

// flatpak list's rows: "<id>\t<name>\t<version>\t<size>"; a heading row is not an id.
std::vector<InstalledApp> fromTool(const std::string& output, const std::string& folder) {
    std::vector<InstalledApp> apps;
    std::size_t start = 0;
    while (start < output.size()) {
        auto end = output.find('\n', start);
        if (end == std::string::npos) end = output.size();
        const auto row = fields(output.substr(start, end - start));
        start = end + 1;
        if (!isAppID(row[0])) continue;
        auto app = deployed(folder, row[0], false)
                       .value_or(InstalledApp{folder + "/" + row[0], AppFootprint::guessedName(row[0]), row[0],
                                              std::nullopt, std::nullopt, false, AppKind::flatpak});
        if (row.size() > 1 && !row[1].empty()) app.name = row[1];
        if (row.size() > 2 && !row[2].empty()) app.version = row[2];
        apps.push_back(std::move(app));
    }
    return apps;
}

} // namespace

std::vector<InstalledApp> user(const std::string& folder, const std::string& tool, const LinuxApps::Runner& run) {
    const auto output =
        run ? run(tool, {"list", "--user", "--app", "--columns=application,name,version,size"},
                  LinuxApps::flatpakEnvironment(folder), LinuxApps::listLimit)
            : std::nullopt;
    if (output && output->succeeded()) return fromTool(output->standardOutput, folder);
    return fromFolder(folder, false);
}

std::vector<InstalledApp> system(const std::string& folder) { return fromFolder(folder, true); }

bool isAppID(const std::string& id) {
    if (id.empty() || id.size() > 255) return false;
    int pieces = 0;
    std::size_t start = 0;
    while (start <= id.size()) {
        const auto dot = std::min(id.find('.', start), id.size());
        const std::string_view piece(id.data() + start, dot - start);
        if (piece.empty() || std::isdigit(static_cast<unsigned char>(piece[0]))) return false;
        for (char c : piece)
            if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_' && c != '-') return false;
        ++pieces;
        start = dot + 1;
    }
    return pieces >= 3;
}

} // namespace tidra::FlatpakApps
