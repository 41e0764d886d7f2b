#include "performance/StartupItems.h"

#include "cleanup/PathGuard.h"
#include "platform/AutostartEntry.h"
#include "platform/FileAccess.h"
#include "platform/HomeFolder.h"
#include "platform/PathText.h"
#include "platform/SearchPath.h"
#include "platform/SystemdUnit.h"
#include "platform/Trash.h"
#include "system/Shell.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <sstream>

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

// systemd-escape undone: "-" stands for "/", "\xNN" for a byte.
std::string unescaped(const std::string& text) {
    std::string out;
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (text[at] == '-') out += '/';
        else if (text.compare(at, 2, "\\x") == 0 && at + 3 < text.size() && std::isxdigit(static_cast<unsigned char>(text[at + 2])) &&
                 std::isxdigit(static_cast<unsigned char>(text[at + 3]))) {
            out += static_cast<char>(std::stoi(text.substr(at + 2, 2), nullptr, 16));
            at += 3;
        } else out += text[at];
    }
    return out;
}

// The description with the specifiers of systemd.unit(5) that a name tells filled in; nothing
// when one cannot be (a template has no instance, other specifiers need the running system).
std::optional<std::string> filledIn(const std::string& description, const std::string& stem) {
    const auto at = stem.find('@');
    const std::string prefix = stem.substr(0, at);
    const std::string instance = at == std::string::npos ? std::string() : stem.substr(at + 1);
    std::string out;
    for (std::size_t i = 0; i < description.size(); ++i) {
        if (description[i] != '%') {
            out += description[i];
            continue;
        }
        const char specifier = i + 1 < description.size() ? description[++i] : '\0';
        if (specifier == '%') out += '%';
        else if (specifier == 'n') out += stem + ".service";
        else if (specifier == 'N') out += stem;
        else if (specifier == 'p') out += prefix;
        else if (specifier == 'P') out += unescaped(prefix);
        else if ((specifier == 'i' || specifier == 'I') && !instance.empty())
            out += specifier == 'i' ? instance : unescaped(instance);
        else return std::nullopt;
    }
    return out;
}

std::optional<StartupItem> readItem(const Folder& folder, const std::string& name, const std::string& searchPath) {
    StartupItem item;
    item.scope = folder.scope;
    item.plistPath = folder.path + "/" + name;
    const std::string stem = name.substr(0, name.size() - ending(folder.format).size());
    if (folder.format == Format::service) {
        const auto unit = sys::readSystemdUnit(item.plistPath);
        if (!unit) return std::nullopt;
        item.label = unit->description.empty() ? stem : filledIn(unit->description, stem).value_or(stem);
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

std::string fileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// The value of "Field: value" lines of one dpkg status paragraph.
std::string field(std::string_view paragraph, std::string_view name) {
    const std::string key = "\n" + std::string(name) + ": ";
    const std::string text = "\n" + std::string(paragraph);
    const auto at = text.find(key);
    if (at == std::string::npos) return {};
    const auto start = at + key.size();
    return text.substr(start, text.find('\n', start) - start);
}

// The packages of the base system: what the distribution installs on every machine.
std::set<std::string> basePackages(const std::string& database) {
    std::set<std::string> packages;
    const std::string status = fileText(database + "/status");
    for (std::size_t start = 0; start < status.size();) {
        auto end = status.find("\n\n", start);
        if (end == std::string::npos) end = status.size();
        const std::string_view paragraph(status.data() + start, end - start);
        start = end + 2;
        const auto priority = field(paragraph, "Priority");
        if ((priority == "required" || priority == "important" || priority == "standard" ||
             field(paragraph, "Essential") == "yes") &&
            field(paragraph, "Status").ends_with(" installed"))
            packages.insert(field(paragraph, "Package"));
    }
    return packages;
}

// The names of the service files the base packages installed ("getty@.service").
std::set<std::string> baseUnits(const std::string& database) {
    std::set<std::string> units;
    const auto packages = basePackages(database);
    for (const auto& list : sortedNames(database + "/info", ".list")) {
        const std::string package = list.substr(0, std::min(list.find(':'), list.size() - 5));
        if (!packages.contains(package)) continue;
        std::istringstream lines(fileText(database + "/info/" + list));
        for (std::string line; std::getline(lines, line);)
            if (line.ends_with(".service") && line.find("/systemd/system/") != std::string::npos)
                units.insert(std::string(sys::PathText::lastComponent(line)));
    }
    return units;
}

// A unit the base system brings: systemd's own, or one a base package installed, read from
// where the package put it (an administrator's file in the system folder is never one).
bool isBaseUnit(const std::string& link, const std::string& folder, const std::set<std::string>& base) {
    std::string target = linkTarget(link);
    const std::string file(sys::PathText::lastComponent(target.empty() ? link : target));
    if (file.starts_with("systemd-")) return true;
    if (!target.starts_with('/')) target = PathGuard::normalize(std::string(sys::PathText::parentFolder(link)) + "/" + target);
    return !target.starts_with(PathGuard::normalize(folder) + "/") && !target.starts_with("/etc/") && base.contains(file);
}

// Enabled system services are the links in the "*.wants" folders; most lead to the unit files
// the packages installed elsewhere, read through the link. The first link of a name stands.
void addEnabledServices(std::vector<StartupItem>& items, const std::string& folder, const std::string& searchPath,
                        const std::string& dpkgDatabase) {
    std::map<std::string, std::string> wantsFolderOf;
    for (const auto& wants : sortedNames(folder, ".wants"))
        for (const auto& name : sortedNames(folder + "/" + wants, ".service")) wantsFolderOf.emplace(name, wants);
    const auto base = baseUnits(dpkgDatabase);
    for (const auto& [name, wants] : wantsFolderOf) {
        if (isBaseUnit(folder + "/" + wants + "/" + name, folder, base)) continue;
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

bool isOwnHome(const std::string& home, const Machine& machine) {
    const auto real = sys::realPath(home);
    return real && real == sys::realPath(machine.ownHome);
}

// Nothing when systemctl did what it was asked (or is not there to ask), else its refusal.
std::optional<std::string> disable(const std::string& name, const Machine& machine) {
    // "--" keeps a unit named like an option ("-H….service") a name.
    const auto output = Shell::run(machine.systemctl, {"--user", "disable", "--now", "--", name}, {}, 30s);
    if (!output || output->succeeded()) return std::nullopt;
    const std::string why = output->timedOut            ? "it did not finish in time"
                            : output->errorText().empty() ? "exit code " + std::to_string(output->status)
                                                          : output->errorText();
    return "systemctl did not stop and disable it: " + why;
}

std::optional<std::string> removeService(const Folder& folder, const std::string& name, const std::string& home,
                                         const Machine& machine) {
    // Disabling removes the links itself when it works; whatever it leaves goes to the Trash.
    if (isOwnHome(home, machine))
        if (auto refused = disable(name, machine)) return refused;
    if (auto failed = machine.trash(folder.path + "/" + name, home)) return failed;
    for (const auto& link : wantsLinks(folder.path, name))
        if (auto failed = machine.trash(link, home)) return failed;
    return std::nullopt;
}

} // namespace

std::string Machine::currentSearchPath() { return sys::SearchPath::current(); }

std::string Machine::currentHome() { return sys::homeFolder(); }

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
    addEnabledServices(items, machine.systemUnits, machine.searchPath, machine.dpkgDatabase);
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
