#include "apps/AppRemover.h"

#include "apps/FlatpakApps.h"
#include "apps/LinuxApps.h"
#include "apps/PrivilegedTrash.h"
#include "platform/FileAccess.h"
#include "platform/PathText.h"
#include "platform/Trash.h"

#include <sys/stat.h>

#include <cerrno>

namespace tidra {
namespace {

// Nothing when the path is truly gone; otherwise why it still counts as present.
std::optional<std::string> stillThere(const std::string& path, const std::string& fallbackReason) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0) return fallbackReason;
    if (errno == ENOENT || errno == ENOTDIR) return std::nullopt;
    return sys::Outcome::errorText(errno);
}

bool isRegularFile(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

} // namespace

AppRemover::AppRemover(PathGuard guardian, TrashMove trash, AdminMove finder, FlatpakRemove flatpak)
    : guardian_(std::move(guardian)), trash_(std::move(trash)), finder_(std::move(finder)), flatpak_(std::move(flatpak)) {
    const std::string home = guardian_.home();
    if (!trash_) trash_ = [home](const std::string& path) { return sys::Trash::move(path, home); };
    if (!finder_)
        finder_ = [home](const std::vector<std::string>& paths) { return PrivilegedTrash::move(paths, home); };
    if (!flatpak_)
        flatpak_ = [](const std::string& id, const std::string& userFlatpaks) { return flatpakUninstall(id, userFlatpaks); };
}

bool AppRemover::isPermissionError(const sys::Outcome& outcome) {
    // The Trash reports a refused system call by the system's own text for its error number.
    return outcome.status == sys::Outcome::Status::failed &&
           (outcome.reason == sys::Outcome::errorText(EACCES) || outcome.reason == sys::Outcome::errorText(EPERM));
}

CleanReport AppRemover::remove(const std::vector<std::string>& paths) const {
    CleanReport report;
    std::vector<std::string> forFinder;
    std::vector<std::string> asGiven;
    for (const auto& path : paths) {
        const auto verdict = guardian_.checkTrashApp(path);
        if (!verdict.isAllowed()) {
            report.failures.push_back({path, verdict.reason()});
            continue;
        }
        const std::string judged = PathGuard::normalize(path);
        const auto outcome = trash_(judged);
        if (outcome.status == sys::Outcome::Status::done) {
            ++report.removed;
        } else if (isPermissionError(outcome)) {
            forFinder.push_back(judged);
            asGiven.push_back(path);
        } else {
            // A bundle another removal took first is not this removal's to count.
            const bool gone = outcome.status == sys::Outcome::Status::missing;
            report.failures.push_back({path, gone ? "not there any more" : outcome.reason});
        }
    }
    if (forFinder.empty()) return report;
    const std::string reason = finder_(forFinder).value_or("the file manager did not move it to the Trash");
    for (std::size_t i = 0; i < forFinder.size(); ++i) {
        if (auto why = stillThere(forFinder[i], reason)) report.failures.push_back({asGiven[i], *why});
        else ++report.removed;
    }
    return report;
}

} // namespace tidra

namespace tidra {

std::optional<std::string> AppRemover::flatpakUninstall(const std::string& id, const std::string& userFlatpaks,
                                                        const std::string& tool) {
    const auto output = Shell::run(tool, {"uninstall", "--user", "--noninteractive", id},
                                   LinuxApps::flatpakEnvironment(userFlatpaks), LinuxApps::uninstallLimit);
    if (!output) return "flatpak could not be started";
    if (output->succeeded()) return std::nullopt;
    if (output->timedOut) return "flatpak did not finish in time";
    const auto reason = output->errorText();
    return reason.empty() ? "exit code " + std::to_string(output->status) : reason;
}

std::optional<std::string> AppRemover::systemOwner(AppKind kind) {
    switch (kind) {
    case AppKind::systemPackage: return "Installed by the system's package manager. Remove it there.";
    case AppKind::systemFlatpak: return "Installed with Flatpak for every user. Remove it with Flatpak.";
    case AppKind::snap: return "Installed as a Snap. Remove it with snap.";
    default: return std::nullopt;
    }
}

std::optional<std::string> AppRemover::removeFile(const std::string& path) const {
    const auto verdict = guardian_.checkTrash(path);
    if (!verdict.isAllowed()) return verdict.reason();
    const std::string judged = PathGuard::normalize(path);
    if (!isRegularFile(judged)) return "not a single file, or a symbolic link";
    if (judged == PathGuard::runningExecutable()) return "Tidra itself";
    const auto outcome = trash_(judged);
    if (outcome.status == sys::Outcome::Status::done) return std::nullopt;
    return outcome.status == sys::Outcome::Status::missing ? "not there any more" : outcome.reason;
}

std::optional<std::string> AppRemover::removeFolder(const std::string& path) const {
    const auto verdict = guardian_.checkTrash(path);
    if (!verdict.isAllowed()) return verdict.reason();
    const std::string judged = PathGuard::normalize(path);
    if (!sys::isDirectoryNoFollow(judged)) return "not a folder, or a symbolic link";
    if (PathGuard::runningExecutable().starts_with(judged + "/")) return "Tidra itself";
    const auto outcome = trash_(judged);
    if (outcome.status == sys::Outcome::Status::done) return std::nullopt;
    return outcome.status == sys::Outcome::Status::missing ? "not there any more" : outcome.reason;
}

std::optional<std::string> AppRemover::removeFlatpak(const std::string& path) const {
    const auto verdict = guardian_.checkTrash(path);
    if (!verdict.isAllowed()) return verdict.reason();
    const std::string judged = PathGuard::normalize(path);
    const std::string installation(sys::PathText::parentFolder(judged));
    const std::string id(sys::PathText::lastComponent(judged));
    // Only "<installation>/app/<id>" of a per-user installation ("…/flatpak/app").
    if (!installation.ends_with("/flatpak/app") || !FlatpakApps::isAppID(id)) return "not a Flatpak of your own";
    if (!stillThere(judged + "/current", {})) return "not there any more";
    if (!sys::isDirectoryNoFollow(judged)) return "not a Flatpak of your own";
    const auto reason = flatpak_(id, installation);
    if (auto why = stillThere(judged + "/current", reason.value_or("flatpak did not uninstall it"))) return why;
    return std::nullopt;
}

CleanReport AppRemover::uninstall(const std::vector<InstalledApp>& apps) const {
    CleanReport report;
    std::vector<std::string> bundles;
    for (const auto& app : apps) {
        std::optional<std::string> failure;
        switch (app.kind) {
        case AppKind::bundle: bundles.push_back(app.path); continue;
        case AppKind::appImage: failure = removeFile(app.path); break;
        case AppKind::program: failure = app.folder.empty() ? removeFile(app.path) : removeFolder(app.folder); break;
        case AppKind::flatpak: failure = removeFlatpak(app.path); break;
        default: failure = systemOwner(app.kind); break;
        }
        if (failure) report.failures.push_back({app.path, *failure});
        else ++report.removed;
    }
    if (bundles.empty()) return report;
    auto moved = remove(bundles);
    report.removed += moved.removed;
    report.failures.insert(report.failures.end(), moved.failures.begin(), moved.failures.end());
    return report;
}

} // namespace tidra
