#include "projects/Worktree.h"

#include "platform/PathText.h"

namespace tidra {
namespace {

std::string counted(int count, const std::string& one, const std::string& many) {
    return std::to_string(count) + (count == 1 ? one : many);
}

std::string untrackedSummary(const std::vector<std::string>& paths) {
    std::string text = "Untracked: ";
    for (std::size_t i = 0; i < paths.size() && i < 3; ++i) text += (i ? ", " : "") + paths[i];
    if (paths.size() > 3) text += " and " + std::to_string(paths.size() - 3) + " more";
    return text;
}

} // namespace

bool Worktree::State::canRemove() const {
    return !std::holds_alternative<UncommittedChanges>(value) &&
           !std::holds_alternative<UntrackedFiles>(value) &&
           !std::holds_alternative<Locked>(value) && !std::holds_alternative<Missing>(value);
}

std::string Worktree::State::summary() const {
    struct Visitor {
        std::string operator()(const Merged& s) const { return "Merged into " + s.into; }
        std::string operator()(const PullRequestMerged& s) const {
            return "Pull request #" + std::to_string(s.number) + " merged";
        }
        std::string operator()(const PullRequestOpen& s) const {
            return "Pull request #" + std::to_string(s.number) + " is open";
        }
        std::string operator()(const PullRequestClosed& s) const {
            return "Pull request #" + std::to_string(s.number) + " closed without merging";
        }
        std::string operator()(const UnpushedCommits& s) const {
            return counted(s.count, " commit not pushed", " commits not pushed");
        }
        std::string operator()(const UncommittedChanges& s) const {
            return counted(s.count, " uncommitted change", " uncommitted changes");
        }
        std::string operator()(const UntrackedFiles& s) const { return untrackedSummary(s.paths); }
        std::string operator()(const RemoteBranchDeleted&) const {
            return "Branch deleted on the remote, usually after merging";
        }
        std::string operator()(const Pushed&) const { return "Pushed, not merged"; }
        std::string operator()(const Locked&) const { return "Locked with git worktree lock"; }
        std::string operator()(const Missing&) const { return "Folder is gone"; }
    };
    return std::visit(Visitor{}, value);
}

std::string Worktree::name() const { return std::string(sys::PathText::lastComponent(path)); }

bool Worktree::canRemove() const {
    // Without a branch, `git worktree remove` would leave these commits reachable from nothing.
    const auto* unpushed = std::get_if<State::UnpushedCommits>(&state.value);
    const bool strandsCommits = !branch && unpushed && unpushed->count > 0;
    return state.canRemove() && nestedRepositories.empty() && !strandsCommits;
}

bool Worktree::isFinished() const {
    const bool done = std::holds_alternative<State::Merged>(state.value) ||
                      std::holds_alternative<State::PullRequestMerged>(state.value) ||
                      std::holds_alternative<State::RemoteBranchDeleted>(state.value);
    return done && ignoredFiles.empty() && nestedRepositories.empty();
}

} // namespace tidra
