// Removing a linked git worktree: git is asked only what it knows, and the files go through one
// descriptor of the folder that was checked, never by a path that git, or we, would look up
// again.
#include "cleanup/Cleaner.h"

#include "platform/MountTable.h"
#include "platform/NoFollow.h"
#include "platform/SafeRemove.h"
#include "projects/GitCommand.h"
#include "projects/WorktreeVerdict.h"

#include <string_view>

namespace tidra {
namespace {

bool liesInsideWorktree(std::string_view path, std::string_view folder) {
    return path.size() > folder.size() && path.starts_with(folder) && path[folder.size()] == '/';
}

bool sameFolder(const std::optional<sys::FileStatus>& a, const std::optional<sys::FileStatus>& b) {
    return a && b && a->device == b->device && a->inode == b->inode;
}

// Why the open worktree folder is not the one the scan saw; empty when it is, or when the
// action does not say what the scan saw.
std::string worktreeChangedSinceScan(const sys::SafeRemove::Folder& worktree,
                                     const CleanupAction::RemoveWorktree& action) {
    if (!worktree.ok()) return worktree.error();
    if (action.device == 0 && action.inode == 0) return "";
    const auto status = worktree.status();
    return status && status->device == action.device && status->inode == action.inode ? ""
                                                                                        : "has changed since the scan";
}

} // namespace

std::optional<Shell::Output> Cleaner::git(const std::vector<std::string>& arguments) const {
    // No optional locks: the questions only read, and must not disturb the user's own git.
    return run_("/usr/bin/git", arguments, {{"GIT_OPTIONAL_LOCKS", "0"}, {"GIT_TERMINAL_PROMPT", "0"}}, toolLimit);
}

void Cleaner::clearInWorktree(const CleanupAction::RemoveWorktree& action, const std::string& judged,
                              const sys::SafeRemove::Folder& worktree, CleanReport& report) const {
    // Only what lies in the worktree, wherever ".." or links in the entry lead.
    for (const auto& entry : action.clearFirst) {
        const std::string normalized = PathGuard::normalize(entry);
        if (!liesInsideWorktree(normalized, judged)) continue;
        if (const auto verdict = guardian_.checkDelete(normalized); !verdict.isAllowed())
            report.failures.push_back({entry, verdict.reason()});
        else if (counted(entry, worktree.removeBelow(normalized.substr(judged.size() + 1)), report))
            ++report.removed;
    }
}

std::string Cleaner::worktreeRefusal(const CleanupAction::RemoveWorktree& action, const std::string& judged,
                                     const sys::SafeRemove::Folder& worktree) const {
    const GitCommand::Runner runner = [this](const std::vector<std::string>& arguments) { return git(arguments); };
    if (auto refusal = WorktreeVerdict::registered(action.repository, judged, runner); !refusal.empty()) return refusal;
    // A linked worktree holds a ".git" file; a ".git" folder is a repository of its own.
    const auto dotGit = worktree.statusOf(".git");
    if (!dotGit) return "'.git' does not exist";
    if (dotGit->type != sys::FileStatus::Type::regular) return "'.git' is not a .git file";
    auto refusal = WorktreeVerdict::clean(judged, runner, [&worktree](const std::string& relative) {
        return sys::SafeRemove::Folder(worktree, relative).statusOf(".git").has_value();
    });
    if (!refusal.empty()) return refusal;
    // git answered for whatever stood at the path: it must still be the folder in hand.
    const sys::SafeRemove::Folder now(guardian_.home(), judged);
    if (!now.ok()) return now.error();
    return sameFolder(worktree.status(), now.status()) ? "" : "has changed since the scan";
}

bool Cleaner::removeWorktreeFiles(const std::string& shown, const std::string& judged,
                                  const sys::SafeRemove::Folder& worktree, CleanReport& report) const {
    const auto held = worktree.status();
    const auto listing = worktree.list();
    if (!held || !listing.ok()) {
        report.failures.push_back({shown, listing.ok() ? "has changed since the scan" : listing.error});
        return false;
    }
    const auto failuresBefore = report.failures.size();
    for (const auto& name : listing.names)
        if (name != ".git") counted(shown + "/" + name, worktree.remove(name), report);
    // The ".git" file stays while anything else does: git still knows the worktree, and its
    // files can be checked out again.
    if (report.failures.size() != failuresBefore) return false;
    std::string parent, name;
    sys::NoFollow::split(judged, parent, name);
    const auto last = sys::SafeRemove::Folder(guardian_.home(), parent).remove(name, held->device, held->inode);
    report.freedBytes += last.bytes;
    if (last.status != sys::Outcome::Status::failed) return true;
    report.failures.push_back({shown, last.reason});
    return false;
}

CleanReport Cleaner::removeWorktree(const CleanupAction::RemoveWorktree& action) const {
    CleanReport report;
    const auto refused = [&](std::string reason) {
        report.failures.push_back({action.path, std::move(reason)});
        return report;
    };
    const std::string judged = PathGuard::normalize(action.path);
    if (const auto verdict = guardian_.checkDelete(judged); !verdict.isAllowed()) return refused(verdict.reason());
    // Everything below acts through this descriptor: a folder swapped for a link, or another
    // folder put in the worktree's place since the scan, loses nothing.
    const sys::SafeRemove::Folder worktree(guardian_.home(), judged);
    if (auto changed = worktreeChangedSinceScan(worktree, action); !changed.empty()) return refused(std::move(changed));
    // Our removal never crosses into another volume, and would stop half-way at one.
    if (sys::MountTable::firstAtOrBelow(judged)) return refused("contains another volume");
    clearInWorktree(action, judged, worktree, report);
    if (auto refusal = worktreeRefusal(action, judged, worktree); !refusal.empty()) return refused(std::move(refusal));
    if (!removeWorktreeFiles(action.path, judged, worktree, report)) return report;
    // The folder is gone: pruning only drops git's own records of it.
    const auto pruned = GitCommand::run(action.repository, {"worktree", "prune"},
                                        [this](const std::vector<std::string>& arguments) { return git(arguments); });
    if (!pruned) return refused("git could not be started");
    if (!pruned->succeeded()) return refused(toolFailure(*pruned, "git refused"));
    ++report.removed;
    return report;
}

} // namespace tidra
