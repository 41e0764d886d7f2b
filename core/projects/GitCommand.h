#pragma once

#include "system/Shell.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tidra::GitCommand {

// Every git command of the engine runs through here, because a repository's own configuration
// can name programs that git starts on its own: an fsmonitor command (run by `status`, and so
// by `worktree remove`), hooks, a signature checker (`log` with log.showSignature), and filter
// drivers (run by `status` on files whose timestamps changed). A folder handed to us may be
// anyone's, so each command turns those off on its command line, which outranks every file.
// Filter drivers have names of the repository's choosing: they are read first with one
// `git config` query, which starts nothing.

// git's arguments (argv after "/usr/bin/git"); the runner supplies the tool, environment and
// time limit.
using Runner = std::function<std::optional<Shell::Output>(const std::vector<std::string>& arguments)>;

// Runs `arguments` in the repository or worktree at `path` ("git -C <path> ..."), the
// repository's programs switched off. Nothing when git could not be started.
std::optional<Shell::Output> run(const std::string& path, const std::vector<std::string>& arguments, const Runner& runner);

// The names of the filter drivers the repository itself defines (local or worktree scope),
// from the NUL-separated "scope, name" pairs of `git config --null --show-scope --name-only`.
// Drivers from the user's own settings (global, system) are theirs and stay on.
std::vector<std::string> repositoryFilters(std::string_view configOutput);

// The full argument list of one command, the filter drivers named switched off.
std::vector<std::string> arguments(const std::string& path, const std::vector<std::string>& arguments,
                                   const std::vector<std::string>& filters);

} // namespace tidra::GitCommand
