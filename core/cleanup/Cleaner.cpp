#include "cleanup/Cleaner.h"

#include "platform/FileAccess.h"
#include "platform/MountTable.h"
#include "platform/NoFollow.h"
#include "platform/PathText.h"
#include "projects/GitCommand.h"
#include "platform/SafeRemove.h"
#include "platform/Trash.h"
#include "platform/UniqueFd.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <string_view>

namespace tidra {
namespace {

using sys::PathText::isAtOrInside;

// Why a tool that ran did not succeed: its limit, its own words, or `fallback`.
std::string toolFailure(const Shell::Output& output, const std::string& fallback) {
    if (output.timedOut) return "timed out after " + std::to_string(Cleaner::toolLimit.count()) + " s";
    std::string reason = output.errorText();
    return reason.empty() ? fallback : reason;
}

// Records a failed outcome for `path`; true when the entry went.
bool counted(const std::string& path, const sys::Outcome& outcome, CleanReport& report) {
    if (outcome.status == sys::Outcome::Status::failed) report.failures.push_back({path, outcome.reason});
    return outcome.status == sys::Outcome::Status::done;
}

// Why the folder at `path` is not the worktree folder scanned as (device, inode); empty when it
// is. Looked at without following a link anywhere on the way, as git will reach it by name.
std::string changedSinceScan(const std::string& path, std::uint64_t device, std::uint64_t inode) {
    const sys::UniqueFd folder(sys::NoFollow::openFolder(path, O_PATH));
    if (folder.fd == -ELOOP) return "is a symbolic link";
    if (!folder.ok()) return sys::Outcome::errorText(-folder.fd);
    struct stat st {};
    if (::fstat(folder.fd, &st) != 0) return sys::Outcome::errorText(errno);
    return st.st_dev == device && st.st_ino == inode ? "" : "has changed since the scan";
}

} // namespace

Cleaner::Cleaner(PathGuard guardian, Runner run) : guardian_(std::move(guardian)), run_(std::move(run)) {}

bool Cleaner::handle(const std::string& path, Mode mode, CleanReport& report) const {
    // Judge and act on one and the same resolved path; a relative one is refused by the guard.
    const std::string judged = PathGuard::normalize(path);
    if (!judged.empty()) {
        // Only an entry known to be gone is skipped: one that cannot be examined is still there.
        const int error = sys::entryError(judged);
        if (error == ENOENT) return false;
        if (error != 0) {
            report.failures.push_back({path, sys::Outcome::errorText(error)});
            return false;
        }
    }
    // A path that does not normalize goes to the guard as it came, for the guard's reason.
    const std::string& asked = judged.empty() ? path : judged;
    const auto verdict = mode == Mode::remove ? guardian_.checkDelete(asked) : guardian_.checkTrash(asked);
    if (!verdict.isAllowed()) {
        report.failures.push_back({path, verdict.reason()});
        return false;
    }
    return counted(path, mode == Mode::remove ? sys::SafeRemove::remove(judged) : sys::Trash::move(judged, guardian_.home()),
                   report);
}

void Cleaner::deleteContents(const std::string& folder, CleanReport& report) const {
    const std::string resolved = PathGuard::normalize(folder);
    if (resolved.empty()) {
        report.failures.push_back({folder, guardian_.checkDelete(folder).reason()});
        return;
    }
    if (sys::isSymbolicLink(folder)) {
        report.failures.push_back({folder, "is a symbolic link"});
        return;
    }
    // The names come from, and go from, the one folder opened here: a folder on the way swapped
    // for a link meanwhile can neither change the list nor lead a removal elsewhere.
    const sys::SafeRemove::Folder opened(resolved);
    const auto listing = opened.list();
    if (!listing.ok()) {
        report.failures.push_back({folder, listing.error});
        return;
    }
    for (const auto& name : listing.names) {
        const std::string shown = folder + "/" + name;
        if (const auto verdict = guardian_.checkDelete(resolved + "/" + name); !verdict.isAllowed())
            report.failures.push_back({shown, verdict.reason()});
        else if (counted(shown, opened.remove(name), report)) ++report.removed;
    }
}

CleanReport Cleaner::runTool(const CleanupAction::Run& action) const {
    CleanReport report;
    const auto output = run_(action.tool, action.arguments, {}, toolLimit);
    if (!output) report.failures.push_back({action.tool, "could not be started"});
    else if (!output->succeeded())
        report.failures.push_back({action.tool, toolFailure(*output, "exit code " + std::to_string(output->status))});
    else report.removed = 1;
    return report;
}

CleanReport Cleaner::removeWorktree(const CleanupAction::RemoveWorktree& action) const {
    CleanReport report;
    const std::string judged = PathGuard::normalize(action.path);
    if (const auto verdict = guardian_.checkDelete(judged); !verdict.isAllowed()) {
        report.failures.push_back({action.path, verdict.reason()});
        return report;
    }
    // git follows a worktree folder swapped for a link since the scan, and would empty its target.
    if (sys::isSymbolicLink(judged)) {
        report.failures.push_back({action.path, "is a symbolic link"});
        return report;
    }
    // Nor may git, or the clearing below, reach another real folder put in the worktree's place
    // (moved away and replaced, or mounted over) since the scan; its ignored files would go.
    if (action.device != 0 || action.inode != 0) {
        if (auto changed = changedSinceScan(judged, action.device, action.inode); !changed.empty()) {
            report.failures.push_back({action.path, std::move(changed)});
            return report;
        }
    }
    // git removes ignored folders too, and would empty another volume mounted on one of them.
    if (sys::MountTable::firstAtOrBelow(judged)) {
        report.failures.push_back({action.path, "contains another volume"});
        return report;
    }
    // Only what lies in the worktree, wherever ".." or links in the entry lead.
    for (const auto& entry : action.clearFirst)
        if (isAtOrInside(PathGuard::normalize(entry), judged) && handle(entry, Mode::remove, report)) ++report.removed;
    const auto output = GitCommand::run(action.repository, {"worktree", "remove", judged},
                                        [&](const std::vector<std::string>& arguments) {
                                            return run_("/usr/bin/git", arguments, {{"GIT_TERMINAL_PROMPT", "0"}}, toolLimit);
                                        });
    if (!output) report.failures.push_back({action.path, "git could not be started"});
    else if (!output->succeeded()) report.failures.push_back({action.path, toolFailure(*output, "git refused")});
    else ++report.removed;
    return report;
}

CleanReport Cleaner::perform(const CleanupAction& action) const {
    if (const auto* a = std::get_if<CleanupAction::Run>(&action.value)) return runTool(*a);
    if (const auto* a = std::get_if<CleanupAction::RemoveWorktree>(&action.value)) return removeWorktree(*a);
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
