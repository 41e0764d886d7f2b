#include "projects/WorktreeInspection.h"

#include "platform/FileStatus.h"
#include "platform/PathText.h"
#include "projects/GitOutput.h"
#include "projects/StrictWalk.h"

#include <sys/stat.h>

#include <array>
#include <climits>

namespace tidra::Worktrees {
namespace {

using State = Worktree::State;

bool succeeded(const std::optional<Shell::Output>& output) { return output && output->succeeded(); }

bool insideAny(const std::string& path, const std::vector<std::string>& folders) {
    for (const auto& folder : folders)
        if (sys::PathText::isAtOrInside(path, folder)) return true;
    return false;
}

bool isFolder(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// What `git status --porcelain=v1 -z --ignored=matching` says is left in the worktree.
struct Status {
    int changes = 0;
    std::vector<std::string> untracked;
    std::vector<std::string> ignored;
    std::vector<std::string> clutter;
    // Ignored folders whose contents we have not looked at yet.
    std::vector<std::string> unseenFolders;
};

void readLeftover(const std::string& code, std::string_view printed, const std::string& worktree,
                  const std::vector<std::string>& generated, Status& status) {
    const bool isFolderEntry = printed.ends_with('/');
    const std::string name(isFolderEntry ? printed.substr(0, printed.size() - 1) : printed);
    const std::string full = worktree + "/" + name;
    if (sys::PathText::lastComponent(name) == ".DS_Store") {
        status.clutter.push_back(full);
        return;
    }
    if (insideAny(full, generated)) return;
    if (isFolderEntry && holdsOnlyGenerated(full, generated, status.clutter)) return;
    if (code == "??") {
        status.untracked.push_back(name);
        return;
    }
    if (isFolderEntry) status.unseenFolders.push_back(full);
    if (!isRegenerable(name)) status.ignored.push_back(name);
}

Status readStatus(std::string_view output, const std::string& worktree, const std::vector<std::string>& generated) {
    Status status;
    const auto pieces = GitOutput::split(output, '\0');
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        const auto piece = pieces[i];
        if (piece.size() < 4) continue;
        const std::string code(piece.substr(0, 2));
        // A rename or copy is followed by its source path, which is not an entry of its own.
        if (code.find_first_of("RC") != std::string::npos) ++i;
        if (code == "??" || code == "!!")
            readLeftover(code, piece.substr(3), worktree, generated, status);
        else
            ++status.changes;
    }
    return status;
}

std::optional<std::chrono::system_clock::time_point> lastCommit(const std::string& worktree, const Git& git) {
    const auto output = git(worktree, {"log", "-1", "--format=%ct"});
    if (!output) return std::nullopt;
    const auto seconds = GitOutput::integer(output->standardOutput);
    if (!seconds) return std::nullopt;
    return std::chrono::system_clock::time_point(std::chrono::seconds(*seconds));
}

std::optional<State> pullRequestState(const Record& record, const std::map<std::string, PullRequest>& pulls,
                                      const Git& git) {
    if (!record.branch) return std::nullopt;
    const auto found = pulls.find(*record.branch);
    if (found == pulls.end()) return std::nullopt;
    const auto& pull = found->second;
    if (pull.state == "MERGED") {
        // A squash merge leaves HEAD outside the default branch; it is done only when the
        // merged head holds everything HEAD has.
        if (succeeded(git(record.path, {"merge-base", "--is-ancestor", "HEAD", pull.headRefOid})))
            return State::PullRequestMerged{pull.number};
        return std::nullopt;
    }
    if (pull.state == "OPEN") return State::PullRequestOpen{pull.number};
    if (pull.state == "CLOSED") return State::PullRequestClosed{pull.number};
    return std::nullopt;
}

bool remoteBranchGone(const Record& record, const Git& git) {
    if (!record.branch) return false;
    const auto output = git(record.path, {"for-each-ref", "--format=%(upstream:track)", "refs/heads/" + *record.branch});
    return succeeded(output) && output->standardOutput.find("[gone]") != std::string::npos;
}

State commitCountState(const Record& record, const Git& git) {
    // Without a branch, a commit on no local branch is reachable from this worktree alone.
    const std::vector<std::string> arguments =
        record.branch ? std::vector<std::string>{"rev-list", "--count", "HEAD", "--not", "--remotes"}
                      : std::vector<std::string>{"rev-list", "--count", "HEAD", "--not", "--branches", "--remotes"};
    const auto output = git(record.path, arguments);
    const auto count = succeeded(output) ? GitOutput::integer(output->standardOutput) : std::nullopt;
    if (!count || *count < 0 || *count > INT_MAX) return State::UntrackedFiles{{"git rev-list failed"}};
    if (*count == 0) return State::Pushed{};
    return State::UnpushedCommits{static_cast<int>(*count)};
}

// The tests of a clean worktree's history, in order; the first that decides wins.
State historyState(const Record& record, const std::optional<std::string>& main,
                   const std::map<std::string, PullRequest>& pulls, const Git& git) {
    if (main && succeeded(git(record.path, {"merge-base", "--is-ancestor", "HEAD", *main})))
        return State::Merged{std::string(sys::PathText::lastComponent(*main))};
    if (auto state = pullRequestState(record, pulls, git)) return *state;
    if (remoteBranchGone(record, git)) return State::RemoteBranchDeleted{};
    return commitCountState(record, git);
}

Worktree unchecked(const Record& record, const std::string& repository, State state) {
    Worktree worktree{record.path, repository, record.branch, std::move(state), std::nullopt, {}, {}, {}};
    // Taken before git looks inside: what the user is shown is about this folder, and removing
    // it later must not reach another one put in its place.
    const auto status = sys::FileStatus::of(record.path);
    if (status && status->type == sys::FileStatus::Type::directory) {
        worktree.device = status->device;
        worktree.inode = status->inode;
    }
    return worktree;
}

} // namespace

Worktree inspect(const Record& record, const std::string& repository, const std::optional<std::string>& main,
                 const std::map<std::string, PullRequest>& pulls, const std::vector<std::string>& generated,
                 const Git& git) {
    if (record.prunable || !isFolder(record.path)) return unchecked(record, repository, State::Missing{});
    if (record.locked) return unchecked(record, repository, State::Locked{});
    auto worktree = unchecked(record, repository, State::Pushed{});
    worktree.lastCommit = lastCommit(record.path, git);
    const auto output = git(record.path, {"status", "--porcelain=v1", "-z", "--ignored=matching"});
    if (!succeeded(output)) {
        worktree.state = State::UntrackedFiles{{"git status failed"}};
        return worktree;
    }
    auto status = readStatus(output->standardOutput, record.path, generated);
    if (status.changes > 0) {
        worktree.state = State::UncommittedChanges{status.changes};
        return worktree;
    }
    if (!status.untracked.empty()) {
        worktree.state = State::UntrackedFiles{std::move(status.untracked)};
        return worktree;
    }
    worktree.ignoredFiles = std::move(status.ignored);
    worktree.clutter = std::move(status.clutter);
    // `git worktree remove` deletes ignored folders for good, repositories inside them too.
    for (const auto& folder : status.unseenFolders)
        if (holdsRepository(folder, generated)) worktree.nestedRepositories.push_back(folder);
    worktree.state = historyState(record, main, pulls, git);
    return worktree;
}

bool holdsOnlyGenerated(const std::string& folder, const std::vector<std::string>& generated,
                        std::vector<std::string>& clutter) {
    std::vector<std::string> found;
    bool onlyGenerated = true;
    const auto result = StrictWalk::walk(folder, [&](const std::string& path, std::string_view name,
                                                     StrictWalk::Kind kind) {
        if (kind == StrictWalk::Kind::directory)
            return insideAny(path, generated) ? StrictWalk::Step::skip : StrictWalk::Step::descend;
        if (name != ".DS_Store") {
            onlyGenerated = false;
            return StrictWalk::Step::stop;
        }
        found.push_back(path);
        return StrictWalk::Step::descend;
    });
    if (result == StrictWalk::Result::failed || !onlyGenerated) return false;
    clutter.insert(clutter.end(), found.begin(), found.end());
    return true;
}

bool holdsRepository(const std::string& folder, const std::vector<std::string>& generated) {
    const auto result = StrictWalk::walk(folder, [&](const std::string& path, std::string_view name,
                                                     StrictWalk::Kind kind) {
        if (name == ".git") return StrictWalk::Step::stop;
        if (kind == StrictWalk::Kind::directory && insideAny(path, generated)) return StrictWalk::Step::skip;
        return StrictWalk::Step::descend;
    });
    return result != StrictWalk::Result::finished;
}

bool isRegenerable(const std::string& path) {
    static const std::array<std::string_view, 12> names = {
        "dist", "coverage", "__pycache__", ".pytest_cache", ".mypy_cache", ".ruff_cache", ".eslintcache",
        ".flutter-plugins", ".flutter-plugins-dependencies", "Generated.xcconfig", "ephemeral",
        "flutter_export_environment.sh"};
    const auto name = sys::PathText::lastComponent(path);
    for (const auto candidate : names)
        if (name == candidate) return true;
    return name.starts_with("GeneratedPluginRegistrant.") || name.ends_with(".tsbuildinfo");
}

} // namespace tidra::Worktrees
