#pragma once

#include "system/Shell.h"

#include <chrono>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

// Moves application bundles the user may not move into the user's own freedesktop Trash with
// administrator rights: the `.trashinfo` records are written by us, as the user, exclusively;
// then one pkexec run of mv (one password prompt) moves every bundle whose name is free in the
// Trash, and a bundle that needs another name gets a run of its own. A record whose bundle did
// not arrive is removed again. Never copies: a bundle on another mount than the Trash (another
// file system, or a bind mount of the same one) is left where it is.
namespace tidra::PrivilegedTrash {

// Shell::run's shape, so tests can stand in for it.
using Runner = std::function<std::optional<Shell::Output>(
    const std::string& tool, const std::vector<std::string>& arguments,
    const std::map<std::string, std::string>& environment, std::chrono::milliseconds timeout)>;

inline constexpr std::chrono::seconds limit{960};

// Moves the (absolute, already judged) `paths` into home + "/.local/share/Trash". Nothing when
// every run succeeded, else the reason of the first that did not: "pkexec could not be
// started", "The password prompt was cancelled.", pkexec's or mv's trimmed error text, or
// "exit code N". Whether a bundle really left is for the caller to check on disk.
std::optional<std::string> move(const std::vector<std::string>& paths, const std::string& home,
                                const Runner& run = Shell::run, const std::string& pkexec = "/usr/bin/pkexec");

} // namespace tidra::PrivilegedTrash
