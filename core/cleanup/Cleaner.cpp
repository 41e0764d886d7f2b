#include "cleanup/Cleaner.h"

#include "fs/SizeScanner.h"
#include "platform/FileAccess.h"
#include "platform/NoFollow.h"
#include "platform/PathText.h"
#include "platform/SafeRemove.h"
#include "platform/Trash.h"

#include <cerrno>
#include <map>
#include <memory>
#include <utility>

namespace tidra {
namespace {

// The folder of measured entries, opened once from the home folder.
struct MeasuredFolder {
    MeasuredFolder(const std::string& home, const std::string& path) : folder(home, path), status(folder.status()) {}

    // Why none of its entries measured in `measured` may go; empty when they may.
    std::string refusal(const CleanupAction::Identity& measured) const {
        if (!folder.ok()) return folder.error();
        if (!status || status->device != measured.device || status->inode != measured.inode)
            return "has changed since the scan";
        return "";
    }

    const sys::SafeRemove::Folder folder;
    const std::optional<sys::FileStatus> status;
    bool reported = false;
};

} // namespace

Cleaner::Cleaner(PathGuard guardian, Runner run) : guardian_(std::move(guardian)), run_(std::move(run)) {}

std::string Cleaner::toolFailure(const Shell::Output& output, const std::string& fallback) {
    if (output.timedOut) return "timed out after " + std::to_string(Cleaner::toolLimit.count()) + " s";
    std::string reason = output.errorText();
    return reason.empty() ? fallback : reason;
}

bool Cleaner::counted(const std::string& path, const sys::Outcome& outcome, CleanReport& report) {
    report.freedBytes += outcome.bytes;
    if (outcome.status == sys::Outcome::Status::failed) report.failures.push_back({path, outcome.reason});
    return outcome.status == sys::Outcome::Status::done;
}

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
    if (mode == Mode::remove) return counted(path, sys::SafeRemove::remove(judged), report);
    std::string trashed;
    const bool moved = counted(path, sys::Trash::move(judged, guardian_.home(), trashed), report);
    // Only the entry this call moved, where it landed: a second mover of the same path finds
    // nothing to move and counts nothing.
    if (!trashed.empty()) report.trashedBytes += SizeScanner::measure({trashed}, [] { return false; }).bytes;
    return moved;
}

void Cleaner::deleteMeasured(const CleanupAction::Delete& action, CleanReport& report) const {
    // The Trash's "files" and "info" hold every entry: each folder is opened once.
    std::map<std::string, std::unique_ptr<MeasuredFolder>> folders;
    for (std::size_t i = 0; i < action.paths.size(); ++i) {
        const std::string& path = action.paths[i];
        const auto measured = i < action.measured.size() ? action.measured[i] : CleanupAction::Measured{};
        const std::string judged = PathGuard::normalize(path);
        if (const auto verdict = guardian_.checkDelete(judged.empty() ? path : judged); !verdict.isAllowed()) {
            report.failures.push_back({path, verdict.reason()});
            continue;
        }
        // Whatever stands there now was never measured, nor shown.
        std::string parent, name;
        if (!measured.entry.known() || !sys::NoFollow::split(judged, parent, name)) continue;
        auto& folder = folders[parent];
        if (!folder) folder = std::make_unique<MeasuredFolder>(guardian_.home(), parent);
        // A folder that went took its entries along.
        if (folder->folder.missing()) continue;
        if (auto refusal = folder->refusal(measured.folder); !refusal.empty()) {
            if (!std::exchange(folder->reported, true))
                report.failures.push_back({std::string(sys::PathText::parentFolder(path)), std::move(refusal)});
            continue;
        }
        if (counted(path, folder->folder.remove(name, measured.entry.device, measured.entry.inode), report))
            ++report.removed;
    }
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
    // A tool's removal cannot be counted entry by entry: its paths are measured around it.
    const auto measure = [&action] { return SizeScanner::measure(action.affects, [] { return false; }).bytes; };
    const auto before = action.affects.empty() ? 0 : measure();
    const auto output = run_(action.tool, action.arguments, {}, toolLimit);
    if (!output) report.failures.push_back({action.tool, "could not be started"});
    else if (!output->succeeded())
        report.failures.push_back({action.tool, toolFailure(*output, "exit code " + std::to_string(output->status))});
    else report.removed = 1;
    if (output && !action.affects.empty()) report.freedBytes = CleanReport::gainBetween(before, measure());
    return report;
}

CleanReport Cleaner::perform(const CleanupAction& action) const {
    if (const auto* a = std::get_if<CleanupAction::Run>(&action.value)) return runTool(*a);
    if (const auto* a = std::get_if<CleanupAction::RemoveWorktree>(&action.value)) return removeWorktree(*a);
    CleanReport report;
    if (const auto* a = std::get_if<CleanupAction::Delete>(&action.value); a && !a->measured.empty()) {
        deleteMeasured(*a, report);
    } else if (a) {
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
