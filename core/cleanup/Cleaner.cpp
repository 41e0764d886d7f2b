#include "cleanup/Cleaner.h"

#include "platform/SafeRemove.h"
#include "platform/Trash.h"

#include <sys/stat.h>

namespace tidra {
namespace {

bool exists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

bool isLink(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

} // namespace

Cleaner::Cleaner(PathGuard guardian) : guardian_(std::move(guardian)) {}

bool Cleaner::handle(const std::string& path, Mode mode, CleanReport& report) const {
    // Judge and act on one and the same resolved path; a relative one is refused by the guard.
    const std::string judged = PathGuard::normalize(path);
    if (!judged.empty() && !exists(judged)) return false;
    const auto verdict = mode == Mode::remove ? guardian_.checkDelete(judged) : guardian_.checkTrash(judged);
    if (!verdict.isAllowed()) {
        report.failures.push_back({path, verdict.reason()});
        return false;
    }
    const sys::Outcome outcome =
        mode == Mode::remove ? sys::SafeRemove::remove(judged) : sys::Trash::move(judged, guardian_.home());
    if (outcome.status == sys::Outcome::Status::failed) report.failures.push_back({path, outcome.reason});
    return outcome.status == sys::Outcome::Status::done;
}

void Cleaner::deleteContents(const std::string& folder, CleanReport& report) const {
    if (isLink(folder)) {
        report.failures.push_back({folder, "is a symbolic link"});
        return;
    }
    const std::string resolved = PathGuard::normalize(folder);
    if (resolved.empty()) {
        report.failures.push_back({folder, "not an absolute path"});
        return;
    }
    const auto listing = sys::SafeRemove::list(resolved);
    if (!listing.ok()) {
        report.failures.push_back({folder, listing.error});
        return;
    }
    for (const auto& name : listing.names)
        if (handle(folder + "/" + name, Mode::remove, report)) ++report.removed;
}

CleanReport Cleaner::perform(const CleanupAction& action) const {
    CleanReport report;
    if (const auto* a = std::get_if<CleanupAction::Delete>(&action.value)) {
        for (const auto& path : a->paths)
            if (handle(path, Mode::remove, report)) ++report.removed;
    } else if (const auto* a = std::get_if<CleanupAction::DeleteContents>(&action.value)) {
        for (const auto& folder : a->paths) deleteContents(folder, report);
    } else if (const auto* a = std::get_if<CleanupAction::Trash>(&action.value)) {
        for (const auto& path : a->paths)
            if (handle(path, Mode::trash, report)) ++report.removed;
    }
    return report;
}

} // namespace tidra
