#include "cleanup/AdminCleanup.h"

#include "system/Shell.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>

namespace tidra::AdminCleanup {
namespace {

constexpr std::chrono::seconds removalLimit{900};
// pkexec's answer when the user dismissed the prompt or was not authorised.
constexpr int pkexecDismissed = 126;

// Every folder above `path`, from "/" down.
std::vector<std::string> ancestors(const std::string& path) {
    std::vector<std::string> out{"/"};
    for (auto slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1))
        out.push_back(path.substr(0, slash));
    return out;
}

bool rootAlone(const struct stat& st) {
    return S_ISDIR(st.st_mode) && st.st_uid == 0 && (st.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

std::string failure(const Shell::Output& output) {
    if (output.timedOut) return "timed out after " + std::to_string(removalLimit.count()) + " s";
    if (output.status == pkexecDismissed) return "cancelled";
    const auto reason = output.errorText();
    return reason.empty() ? "exit code " + std::to_string(output.status) : reason;
}

} // namespace

const std::set<std::string>& allowedPaths() {
    // Yarn 1's cache when run as root: the designed place, and where it lands on Linux.
    static const std::set<std::string> paths{"/usr/local/share/Library/Caches/Yarn", "/usr/local/share/.cache/yarn"};
    return paths;
}

std::string shellQuoted(const std::string& text) {
    std::string out = "'";
    for (const char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

std::optional<std::string> command(const std::vector<std::string>& paths) {
    if (paths.empty()) return std::nullopt;
    const auto& allowed = allowedPaths();
    if (!std::ranges::all_of(paths, [&](const auto& p) { return allowed.contains(p); })) return std::nullopt;
    std::string text = "/bin/rm -rf --";
    for (const auto& path : paths) text.append(" ").append(shellQuoted(path));
    return text;
}

std::optional<std::string> refusal(const std::string& path) {
    struct stat st{};
    if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) return "is a symbolic link";
    for (const auto& folder : ancestors(path)) {
        if (::lstat(folder.c_str(), &st) != 0) {
            if (errno == ENOENT) return std::nullopt;
            return "a parent folder is not owned and writable by root alone";
        }
        if (!rootAlone(st)) return "a parent folder is not owned and writable by root alone";
    }
    return std::nullopt;
}

std::optional<std::string> remove(const std::vector<std::string>& paths, const std::string& /*explanation*/,
                                  const std::string& pkexec) {
    if (!command(paths)) return "not on the list of folders Tidra may remove";
    for (const auto& path : paths)
        if (auto reason = refusal(path)) return reason;
    std::vector<std::string> arguments{"/bin/rm", "-rf", "--one-file-system", "--"};
    arguments.insert(arguments.end(), paths.begin(), paths.end());
    const auto output = Shell::run(pkexec, arguments, {}, removalLimit);
    if (!output) return "pkexec could not be started";
    if (!output->succeeded()) return failure(*output);
    // A tool that reports success proves nothing: what is still there was not removed.
    struct stat st{};
    for (const auto& path : paths)
        if (::lstat(path.c_str(), &st) == 0) return "still there";
    return std::nullopt;
}

} // namespace tidra::AdminCleanup
