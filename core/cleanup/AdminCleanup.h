#pragma once

#include <optional>
#include <set>
#include <string>
#include <vector>

namespace tidra::AdminCleanup {

// The only folders that may ever be removed with administrator rights. Compared as exact text:
// no normalisation, so a trailing "/" is another path.
const std::set<std::string>& allowedPaths();

// The removal as a shell command for people to read: "/bin/rm -rf -- " followed by each path
// in single quotes. Nothing for an empty list or when any path is not allow-listed.
std::optional<std::string> command(const std::vector<std::string>& paths);

// `text` in single quotes for a POSIX shell, every "'" written as '\''.
std::string shellQuoted(const std::string& text);

// Removes allow-listed folders as root through pkexec (`pkexec /bin/rm -rf --one-file-system
// -- <paths>`, an argument list, no shell), blocking while the password prompt is up and the
// removal runs, at most 900 seconds. polkit shows its own prompt: `explanation` is not shown.
// `pkexec` is the tool's path (tests put a fake in its place).
// Returns nothing on success, otherwise a message for the user:
//   "not on the list of folders Tidra may remove" (nothing runs), a reason from `refusal`,
//   "pkexec could not be started", "cancelled" when the prompt was dismissed,
//   "timed out after 900 s", pkexec's trimmed standard error ("exit code N" when empty), or
//   "still there" when pkexec reports success but a path still exists.
std::optional<std::string> remove(const std::vector<std::string>& paths, const std::string& explanation,
                                  const std::string& pkexec = "/usr/bin/pkexec");

// Why `path` may not be handed to a removal running as root, or nothing when it may: it is a
// symbolic link ("is a symbolic link"), or one of its parent folders could be swapped by
// someone other than root, being a link, not owned by root or writable by group or others
// ("a parent folder is not owned and writable by root alone"). A missing path or parent is no
// reason by itself: only someone who may write the folder above could create it.
std::optional<std::string> refusal(const std::string& path);

} // namespace tidra::AdminCleanup
