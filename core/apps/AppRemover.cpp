#include "apps/AppRemover.h"

#include "apps/PrivilegedTrash.h"
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

} // namespace

AppRemover::AppRemover(PathGuard guardian, TrashMove trash, AdminMove finder)
    : guardian_(std::move(guardian)), trash_(std::move(trash)), finder_(std::move(finder)) {
    const std::string home = guardian_.home();
    if (!trash_) trash_ = [home](const std::string& path) { return sys::Trash::move(path, home); };
    if (!finder_)
        finder_ = [home](const std::vector<std::string>& paths) { return PrivilegedTrash::move(paths, home); };
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
        } else if (outcome.status == sys::Outcome::Status::failed) {
            report.failures.push_back({path, outcome.reason});
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
