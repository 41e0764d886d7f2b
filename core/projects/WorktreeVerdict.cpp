#include "projects/WorktreeVerdict.h"

#include "platform/FileAccess.h"
#include "projects/GitOutput.h"
#include "projects/Worktrees.h"

#include <climits>
#include <cstdlib>

namespace tidra::WorktreeVerdict {
namespace {

std::string recordedRealPath(const std::string& path) {
    char real[PATH_MAX];
    return ::realpath(path.c_str(), real) ? std::string(real) : path;
}

// The output of a git command that succeeded, else why it did not.
struct GitAnswer {
    std::string text;
    std::string failure;
};

GitAnswer askGit(const std::string& where, const std::vector<std::string>& arguments, const GitCommand::Runner& git) {
    const auto output = GitCommand::run(where, arguments, git);
    if (!output) return {{}, "git could not be started"};
    if (output->timedOut) return {{}, "git timed out"};
    if (output->status != 0) {
        const std::string reason = output->errorText();
        return {{}, reason.empty() ? "git refused" : reason};
    }
    return {output->standardOutput, {}};
}

// git keeps a submodule's repository in the worktree's own git folder once it was set up there.
bool hasSubmoduleRepositories(const std::string& path, const GitCommand::Runner& git) {
    const auto modules = askGit(path, {"rev-parse", "--git-path", "modules"}, git);
    const std::string found(GitOutput::trimmed(modules.text));
    if (!modules.failure.empty() || found.empty()) return false;
    return sys::isDirectoryNoFollow(found.starts_with('/') ? found : path + "/" + found);
}

} // namespace

std::string registered(const std::string& repository, const std::string& path, const GitCommand::Runner& git) {
    const auto listed = askGit(repository, {"worktree", "list", "--porcelain", "-z"}, git);
    if (!listed.failure.empty()) return listed.failure;
    const auto records = Worktrees::parse(listed.text);
    for (std::size_t i = 0; i < records.size(); ++i) {
        if (recordedRealPath(records[i].path) != path) continue;
        if (i == 0) return "is a main working tree";
        return records[i].locked ? "cannot remove a locked working tree" : "";
    }
    return "is not a working tree";
}

std::string clean(const std::string& path, const GitCommand::Runner& git,
                  const std::function<bool(const std::string& relative)>& checkedOut) {
    // "<mode> <object> <stage>\t<path>" per entry; 160000 marks a submodule.
    const auto staged = askGit(path, {"ls-files", "-z", "--stage"}, git);
    if (!staged.failure.empty()) return staged.failure;
    for (const auto entry : GitOutput::split(staged.text, '\0')) {
        const auto tab = entry.find('\t');
        if (entry.starts_with("160000 ") && tab != std::string_view::npos &&
            checkedOut(std::string(entry.substr(tab + 1))))
            return "working trees containing submodules cannot be moved or removed";
    }
    if (hasSubmoduleRepositories(path, git)) return "working trees containing submodules cannot be moved or removed";
    const auto status = askGit(path, {"status", "--porcelain", "--ignore-submodules=none"}, git);
    if (!status.failure.empty()) return status.failure;
    return status.text.empty() ? "" : "contains modified or untracked files";
}

} // namespace tidra::WorktreeVerdict
