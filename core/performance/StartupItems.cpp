#include "performance/StartupItems.h"

#include "cleanup/PathGuard.h"
#include "platform/AutostartEntry.h"
#include "platform/FileAccess.h"
#include "platform/PathText.h"
#include "platform/SearchPath.h"
#include "platform/SystemdUnit.h"
#include "platform/Trash.h"
#include "system/Shell.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <map>
#include <set>

namespace tidra::StartupItems {
namespace {

using namespace std::chrono_literals;

enum class Format { service, autostart };

struct Folder {
    std::string path;
    StartupItem::Scope scope;
    Format format;
};

const std::string refusal = "Only leftovers among your own startup items can be removed.";

std::string_view ending(Format format) { return format == Format::service ? ".service" : ".desktop"; }

std::string userAutostart(const std::string& home) { return home + "/.config/autostart"; }
std::string userUnits(const std::string& home) { return home + "/.config/systemd/user"; }

bool endsWith(std::string_view text, std::string_view end) {
    return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

std::vector<std::string> sortedNames(const std::string& folder, std::string_view end) {
    std::vector<std::string> names;
    DIR* dir = opendir(folder.c_str());
    if (!dir) return names;
    while (const dirent* entry = readdir(dir))
        if (endsWith(entry->d_name, end) && std::string_view(entry->d_name) != end) names.emplace_back(entry->d_name);
    closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

std::string linkTarget(const std::string& path) {
    char target[PATH_MAX];
    const ssize_t length = readlink(path.c_str(), target, sizeof target);
    return length > 0 ? std::string(target, static_cast<std::size_t>(length)) : std::string();
}

// The links of `folder`'s "*.wants" folders that enable the service `name`: named after it, or
// leading to a file of its name (an instance of a template such as "sync@.service").
std::vector<std::string> wantsLinks(const std::string& folder, const std::string& name) {
    std::vector<std::string> links;
    for (const auto& wants : sortedNames(folder, ".wants"))
        for (const auto& entry : sortedNames(folder + "/" + wants, ".service")) {
            const std::string link = folder + "/" + wants + "/" + entry;
            if (!sys::isSymbolicLink(link)) continue;
            if (entry == name || sys::PathText::lastComponent(linkTarget(link)) == name) links.push_back(link);
        }
    return links;
}

enum class Presence { exists, gone, unknown };

// Only a definite "no such file" counts as gone: a path we may not look at is not missing.
Presence presence(const std::string& path) {
    struct stat status {};
    if (stat(path.c_str(), &status) == 0) return Presence::exists;
    return errno == ENOENT || errno == ENOTDIR ? Presence::gone : Presence::unknown;
}

bool missingOnSearchPath(const std::string& name, const std::string& searchPath) {
    const auto folders = sys::SearchPath::folders(searchPath);
    return !folders.empty() && std::all_of(folders.begin(), folders.end(), [&](const std::string& folder) {
        return presence(folder + "/" + name) == Presence::gone;
    });
}

// systemd looks for a bare program name in folders of its own, so only an absolute path can be
// known to be gone there.
bool isMissing(const std::optional<std::string>& program, Format format, const std::string& searchPath) {
    if (!program || program->empty()) return false;
    if ((*program)[0] == '/') return presence(*program) == Presence::gone;
    if (format == Format::autostart && program->find('/') == std::string::npos)
        return missingOnSearchPath(*program, searchPath);
    return false;
}

std::optional<StartupItem> readItem(const Folder& folder, const std::string& name, const std::string& searchPath) {
    StartupItem item;
    item.scope = folder.scope;
    item.plistPath = folder.path + "/" + name;
    const std::string stem = name.substr(0, name.size() - ending(folder.format).size());
    if (folder.format == Format::service) {
        const auto unit = sys::readSystemdUnit(item.plistPath);
        if (!unit) return std::nullopt;
        item.label = unit->description.empty() ? stem : unit->description;
        item.program = unit->program;
        item.startsAutomatically = !wantsLinks(folder.path, name).empty();
    } else {
        const auto entry = sys::readAutostartEntry(item.plistPath);
        if (!entry) return std::nullopt;
        item.label = entry->name.empty() ? stem : entry->name;
        item.program = entry->program;
        item.startsAutomatically = entry->enabled;
    }
    item.programMissing = isMissing(item.program, folder.format, searchPath);
    return item;
}

void addFolder(std::vector<StartupItem>& items, const Folder& folder, const std::string& searchPath) {
    for (const auto& name : sortedNames(folder.path, ending(folder.format)))
        if (auto item = readItem(folder, name, searchPath)) items.push_back(std::move(*item));
}

// Enabled system services are the links in the "*.wants" folders; most lead to the unit files
// the packages installed elsewhere, read through the link. The first link of a name stands.
void addEnabledServices(std::vector<StartupItem>& items, const std::string& folder, const std::string& searchPath) {
    std::map<std::string, std::string> wantsFolderOf;
    for (const auto& wants : sortedNames(folder, ".wants"))
        for (const auto& name : sortedNames(folder + "/" + wants, ".service")) wantsFolderOf.emplace(name, wants);
    for (const auto& [name, wants] : wantsFolderOf) {
        auto item = readItem({folder + "/" + wants, StartupItem::Scope::system, Format::service}, name, searchPath);
        if (!item) continue;
        item->startsAutomatically = true;
        items.push_back(std::move(*item));
    }
}

bool hasDotComponent(const std::string& path) {
    for (std::size_t start = 0; start <= path.size();) {
        auto end = path.find('/', start);
        if (end == std::string::npos) end = path.size();
        const std::string_view component(path.data() + start, end - start);
        if (component == "." || component == "..") return true;
        start = end + 1;
    }
    return false;
}

// The user folder `item` must lie directly in, when its path has a shape removal accepts.
std::optional<Folder> ownFolder(const StartupItem& item, const std::string& home) {
    if (!item.isLeftover() || hasDotComponent(item.plistPath)) return std::nullopt;
    const auto parent = sys::PathText::parentFolder(item.plistPath);
    if (parent.empty()) return std::nullopt;
    const auto name = sys::PathText::lastComponent(item.plistPath);
    for (const Format format : {Format::service, Format::autostart}) {
        const std::string folder = format == Format::service ? userUnits(home) : userAutostart(home);
        if (parent == folder && name.size() > ending(format).size() && endsWith(name, ending(format)))
            return Folder{folder, StartupItem::Scope::user, format};
    }
    return std::nullopt;
}

// A link may stand for a file in the same folder, never for one elsewhere.
bool staysInFolder(const std::string& path, const std::string& folder) {
    if (!sys::isSymbolicLink(path)) return true;
    const auto target = sys::realPath(path);
    const auto realFolder = sys::realPath(folder);
    return target && realFolder && target->rfind('/') == realFolder->size() &&
           target->compare(0, realFolder->size(), *realFolder) == 0;
}

std::optional<std::string> removeService(const Folder& folder, const std::string& name, const std::string& home,
                                         const Machine& machine) {
    // Disabling removes the links itself when it works; whatever it leaves goes to the Trash.
    Shell::run(machine.systemctl, {"--user", "disable", "--now", name}, {}, 30s);
    if (auto failed = machine.trash(folder.path + "/" + name, home)) return failed;
    for (const auto& link : wantsLinks(folder.path, name))
        if (auto failed = machine.trash(link, home)) return failed;
    return std::nullopt;
}

} // namespace

std::string Machine::currentSearchPath() { return sys::SearchPath::current(); }

std::optional<std::string> moveToTrash(const std::string& path, const std::string& home) {
    const PathGuard guard(home, "/Applications");
    const std::string target = PathGuard::normalize(path);
    if (const auto verdict = guard.checkTrash(target); !verdict.isAllowed()) return verdict.reason();
    const auto outcome = sys::Trash::move(target, guard.home());
    if (outcome.status == sys::Outcome::Status::missing) return "The startup file is no longer there.";
    if (outcome.status == sys::Outcome::Status::failed) return outcome.reason;
    return std::nullopt;
}

std::vector<StartupItem> list(const std::string& home, const Machine& machine) {
    using Scope = StartupItem::Scope;
    std::vector<StartupItem> items;
    addFolder(items, {userAutostart(home), Scope::user, Format::autostart}, machine.searchPath);
    addFolder(items, {userUnits(home), Scope::user, Format::service}, machine.searchPath);
    addFolder(items, {machine.autostart, Scope::allUsers, Format::autostart}, machine.searchPath);
    addFolder(items, {machine.userUnits, Scope::allUsers, Format::service}, machine.searchPath);
    addEnabledServices(items, machine.systemUnits, machine.searchPath);
    return items;
}

std::optional<std::string> removeLeftover(const StartupItem& item, const std::string& home, const Machine& machine) {
    const auto folder = ownFolder(item, home);
    if (!folder || !staysInFolder(item.plistPath, folder->path)) return refusal;
    const std::string name = item.plistPath.substr(folder->path.size() + 1);
    const auto now = readItem(*folder, name, machine.searchPath);
    if (!now) return "The startup file can no longer be read.";
    if (!now->programMissing) return "Its program is there again, so it is no longer a leftover.";
    if (folder->format == Format::service) return removeService(*folder, name, home, machine);
    return machine.trash(item.plistPath, home);
}

} // namespace tidra::StartupItems
