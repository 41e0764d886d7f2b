#include "projects/Worktrees.h"

#include "platform/FileAccess.h"
#include "projects/GitCommand.h"
#include "projects/GitOutput.h"
#include "projects/PullRequests.h"
#include "projects/WorktreeInspection.h"

#include <tbb/parallel_for_each.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <mutex>

namespace tidra::Worktrees {
namespace {

bool isFlag(std::string_view field, std::string_view flag) {
    return field == flag || (field.starts_with(flag) && field.size() > flag.size() && field[flag.size()] == ' ');
}

// The linked worktrees (every record after the main one), or nothing when git fails.
std::vector<Record> linkedRecords(const std::string& repository, const Git& git) {
    const auto output = git(repository, {"worktree", "list", "--porcelain", "-z"});
    if (!output || !output->succeeded()) return {};
    auto records = parse(output->standardOutput);
    if (records.size() < 2) return {};
    records.erase(records.begin());
    // git prints the path it was given at `worktree add`; the project finder works with real
    // paths, and the two must compare equal.
    for (auto& record : records) record.path = sys::realPath(record.path).value_or(record.path);
    return records;
}

} // namespace

const std::map<std::string, std::string>& quietly() {
    static const std::map<std::string, std::string> environment = {{"GIT_OPTIONAL_LOCKS", "0"},
                                                                   {"GIT_TERMINAL_PROMPT", "0"}};
    return environment;
}

std::optional<Shell::Output> run(const std::string& path, const std::vector<std::string>& arguments) {
    return GitCommand::run(path, arguments, [](const std::vector<std::string>& all) {
        return Shell::run("/usr/bin/git", all, quietly(), std::chrono::seconds(120));
    });
}

std::vector<Record> parse(std::string_view output) {
    std::vector<Record> records;
    for (const auto field : GitOutput::split(output, '\0')) {
        if (field.starts_with("worktree ")) {
            records.push_back(Record{std::string(field.substr(9)), std::nullopt, false, false});
        } else if (records.empty()) {
            continue;
        } else if (field.starts_with("branch refs/heads/")) {
            records.back().branch = std::string(field.substr(18));
        } else if (isFlag(field, "locked")) {
            records.back().locked = true;
        } else if (isFlag(field, "prunable")) {
            records.back().prunable = true;
        }
    }
    return records;
}

std::vector<std::string> paths(const std::string& repository, const Tools& tools) {
    std::vector<std::string> result;
    for (const auto& record : linkedRecords(repository, tools.git)) result.push_back(record.path);
    return result;
}

std::vector<Worktree> list(const std::string& repository, const Generated& generated, const Tools& tools) {
    const auto records = linkedRecords(repository, tools.git);
    if (records.empty()) return {};
    const auto main = defaultBranch(repository, tools);
    const auto pulls = pullRequests(repository, tools);
    std::vector<Worktree> worktrees;
    std::mutex lock;
    tbb::parallel_for_each(records.begin(), records.end(), [&](const Record& record) {
        auto worktree = inspect(record, repository, main, pulls, generated(record.path), tools.git);
        const std::lock_guard guard(lock);
        worktrees.push_back(std::move(worktree));
    });
    std::sort(worktrees.begin(), worktrees.end(),
              [](const Worktree& a, const Worktree& b) { return a.path < b.path; });
    return worktrees;
}

} // namespace tidra::Worktrees
