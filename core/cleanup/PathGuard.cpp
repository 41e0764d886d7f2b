#include "cleanup/PathGuard.h"

#include "platform/FileAccess.h"
#include "platform/PathText.h"

#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <optional>
#include <cstdlib>
#include <set>
#include <string_view>
#include <vector>

namespace tidra {
namespace {

// Relative to the home folder; the order decides which entry a refusal names.
const std::vector<std::string>& neverTouch() {
    static const std::vector<std::string> table = {
        "Library/Keychains", ".ssh", ".gnupg", ".aws", ".kube",
        // Where this platform keeps the login keyring.
        ".local/share/keyrings",
    };
    return table;
}

const std::vector<std::string>& personalTrees() {
    static const std::vector<std::string> table = {
        "Documents", "Desktop", "Downloads", "Pictures", "Movies", "Music", "Public",
        "Library/Mobile Documents", "Library/CloudStorage", "Library/Mail", "Library/Messages",
        "Library/Preferences",
    };
    return table;
}

const std::vector<std::string>& keptFolders() {
    static const std::vector<std::string> table = {
        "Library/Application Support", "Library/Caches", "Library/Logs", "Library/Containers",
        "Library/Group Containers", "Library/Developer/Xcode",
        "Library/Developer/CoreSimulator/Devices", ".Trash", ".gradle/wrapper", ".android/avd",
        ".npm", ".cache", ".docker", ".pub-cache",
        // The user's Trash on this platform: its contents may go, the folder stays.
        ".local/share/Trash",
    };
    return table;
}

const std::set<std::string>& removableTopLevel() {
    static const std::set<std::string> names = {".dartServer", ".cursor", ".trae", ".windsurf", ".vscode"};
    return names;
}

using sys::PathText::isAtOrInside;
using sys::PathText::isInside;

std::vector<std::string> components(const std::string& path) {
    std::vector<std::string> parts;
    for (std::size_t start = 0; start <= path.size();) {
        std::size_t end = path.find('/', start);
        if (end == std::string::npos) end = path.size();
        if (end > start) parts.push_back(path.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

std::string join(const std::string& folder, const std::string& name) {
    return folder == "/" ? "/" + name : folder + "/" + name;
}

// One step of the walk from an already resolved folder, as the kernel takes it: an existing
// component is resolved with its links; a missing one is taken as text.
std::string step(const std::string& folder, const std::string& component) {
    const std::string candidate = join(folder, component);
    if (auto real = sys::realPath(candidate)) return *real;
    return component == ".." ? std::string(sys::PathText::parentFolder(folder)) : candidate;
}

std::string resolvedFolder(const std::string& path) {
    if (path.empty() || path[0] != '/') return {};
    const std::string real = sys::realPath(path).value_or(PathGuard::normalize(path));
    return real == "/" ? std::string() : real;
}

bool isFolder(const std::string& path, bool followLinks) {
    struct stat st {};
    const int rc = followLinks ? ::stat(path.c_str(), &st) : ::lstat(path.c_str(), &st);
    return rc == 0 && S_ISDIR(st.st_mode);
}

std::optional<std::string> firstProtected(const std::string& rel, const std::vector<std::string>& table) {
    for (const auto& entry : table)
        if (isAtOrInside(rel, entry) || isInside(entry, rel)) return entry;
    return std::nullopt;
}

std::optional<std::string> firstKept(const std::string& rel, const std::vector<std::string>& table) {
    for (const auto& entry : table)
        if (isAtOrInside(entry, rel)) return entry;
    return std::nullopt;
}

bool holdsNul(const std::string& path) { return path.find('\0') != std::string::npos; }

// Why normalize gave nothing for `path`.
PathGuard::Verdict unusable(const std::string& path) {
    return PathGuard::Verdict::refused(holdsNul(path) ? "holds a NUL byte" : "not an absolute path");
}

PathGuard::Verdict protectedFolder(const std::string& entry) {
    return PathGuard::Verdict::refused("protected folder " + entry);
}

PathGuard::Verdict wouldRemove(const std::string& entry) {
    return PathGuard::Verdict::refused("would remove " + entry + " itself");
}

} // namespace

std::string PathGuard::Verdict::reason() const {
    const auto* refused = std::get_if<Refused>(&value);
    return refused ? refused->reason : std::string();
}

PathGuard::PathGuard(const std::string& home, const std::string& systemApplications,
                     const std::string& ownExecutable)
    : home_(resolvedFolder(home)),
      systemApplications_(resolvedFolder(systemApplications)),
      ownExecutable_(ownExecutable) {}

std::string PathGuard::runningExecutable() { return sys::realPath("/proc/self/exe").value_or(""); }

std::string PathGuard::normalize(const std::string& path) {
    // The kernel reads a path only up to a NUL byte: the rest would be judged but never acted on.
    if (path.empty() || path[0] != '/' || holdsNul(path)) return {};
    std::vector<std::string> parts = components(path);
    std::erase(parts, ".");
    // A trailing ".." names the folder the walk ends in, never a name to act on.
    std::string last;
    if (!parts.empty() && parts.back() != "..") {
        last = parts.back();
        parts.pop_back();
    }
    std::string folder = "/";
    for (const auto& component : parts) folder = step(folder, component);
    return last.empty() ? folder : join(folder, last);
}

std::variant<std::string, PathGuard::Verdict> PathGuard::relativeToHome(const std::string& path) const {
    if (home_.empty()) return Verdict::refused("no usable home folder");
    const std::string p = normalize(path);
    if (p.empty()) return unusable(path);
    if (!isInside(p, home_)) return Verdict::refused("outside the home folder");
    return p.substr(home_.size() + 1);
}

PathGuard::Verdict PathGuard::checkDelete(const std::string& path) const {
    auto relative = relativeToHome(path);
    if (auto* verdict = std::get_if<Verdict>(&relative)) return *verdict;
    const std::string& rel = std::get<std::string>(relative);
    if (rel.find('/') == std::string::npos)
        return removableTopLevel().contains(rel) ? Verdict::allowed()
                                                 : Verdict::refused("top-level folder in the home folder");
    if (auto entry = firstProtected(rel, neverTouch())) return protectedFolder(*entry);
    if (auto entry = firstProtected(rel, personalTrees())) return protectedFolder(*entry);
    if (auto entry = firstKept(rel, keptFolders())) return wouldRemove(*entry);
    return Verdict::allowed();
}

PathGuard::Verdict PathGuard::checkTrash(const std::string& path) const {
    auto relative = relativeToHome(path);
    if (auto* verdict = std::get_if<Verdict>(&relative)) return *verdict;
    const std::string& rel = std::get<std::string>(relative);
    if (rel.find('/') == std::string::npos && isFolder(home_ + "/" + rel, true))
        return Verdict::refused("top-level folder in the home folder");
    if (auto entry = firstProtected(rel, neverTouch())) return protectedFolder(*entry);
    if (auto entry = firstKept(rel, personalTrees())) return wouldRemove(*entry);
    if (auto entry = firstKept(rel, keptFolders())) return wouldRemove(*entry);
    if (auto entry = firstKept(rel, {"Library"})) return wouldRemove(*entry);
    return Verdict::allowed();
}

PathGuard::Verdict PathGuard::checkTrashApp(const std::string& path) const {
    if (home_.empty()) return Verdict::refused("no usable home folder");
    const std::string p = normalize(path);
    if (p.empty()) return unusable(path);
    if (!p.ends_with(".app")) return Verdict::refused("not an app");
    std::string folder;
    for (const auto& candidate : {systemApplications_, resolvedFolder(home_ + "/Applications")})
        if (!candidate.empty() && isInside(p, candidate)) {
            folder = candidate;
            break;
        }
    if (folder.empty()) return Verdict::refused("not in an Applications folder");
    const auto parts = components(p.substr(folder.size() + 1));
    if (parts.size() >= 3 || (parts.size() == 2 && parts[0].ends_with(".app")))
        return Verdict::refused("inside another folder or app");
    if (!isFolder(p, false)) return Verdict::refused("not a folder, or a symbolic link");
    if (::access((p + "/Contents/Info.plist").c_str(), F_OK) != 0) return Verdict::refused("not an app bundle");
    if (!ownExecutable_.empty() && isAtOrInside(ownExecutable_, p)) return Verdict::refused("Tidra itself");
    return Verdict::allowed();
}

} // namespace tidra
