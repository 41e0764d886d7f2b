#include "projects/GitCommand.h"

#include "projects/GitOutput.h"

#include <algorithm>

namespace tidra::GitCommand {
namespace {

// Settings that start a program, turned off. hooksPath points at a folder with no hooks in it.
const std::vector<std::string>& lockedSettings() {
    static const std::vector<std::string> settings = {
        "core.fsmonitor=false", "core.hooksPath=/dev/null", "log.showSignature=false",
    };
    return settings;
}

} // namespace

std::vector<std::string> repositoryFilters(std::string_view configOutput) {
    const auto fields = GitOutput::split(configOutput, '\0');
    std::vector<std::string> drivers;
    for (std::size_t i = 0; i + 1 < fields.size(); i += 2) {
        const std::string_view scope = fields[i];
        const std::string_view name = fields[i + 1];
        if (scope != "local" && scope != "worktree") continue;
        // "filter.<driver>.<key>", where the driver's name may hold dots itself.
        const auto last = name.rfind('.');
        if (!name.starts_with("filter.") || last == std::string_view::npos || last <= 7) continue;
        std::string driver(name.substr(7, last - 7));
        if (std::find(drivers.begin(), drivers.end(), driver) == drivers.end()) drivers.push_back(std::move(driver));
    }
    return drivers;
}

std::vector<std::string> arguments(const std::string& path, const std::vector<std::string>& arguments,
                                   const std::vector<std::string>& filters) {
    std::vector<std::string> all;
    for (const auto& setting : lockedSettings()) all.insert(all.end(), {"-c", setting});
    // An empty command is no command; not required, so git goes on without it.
    for (const auto& driver : filters)
        for (const char* key : {".clean=", ".smudge=", ".process=", ".required=false"})
            all.insert(all.end(), {"-c", "filter." + driver + key});
    all.insert(all.end(), {"-C", path});
    all.insert(all.end(), arguments.begin(), arguments.end());
    return all;
}

std::optional<Shell::Output> run(const std::string& path, const std::vector<std::string>& arguments,
                                 const Runner& runner) {
    // Exit status 1 only says no driver is defined.
    const auto query = runner(GitCommand::arguments(
        path, {"config", "--null", "--show-scope", "--name-only", "--get-regexp", "^filter\\."}, {}));
    const auto filters = query && query->status == 0 ? repositoryFilters(query->standardOutput)
                                                     : std::vector<std::string>{};
    return runner(GitCommand::arguments(path, arguments, filters));
}

} // namespace tidra::GitCommand
