#include "apps/PrivilegedTrash.h"

#include "platform/FileAccess.h"
#include "platform/PathText.h"
#include "platform/Trash.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace tidra::PrivilegedTrash {
namespace {

// pkexec's exit status when the user dismissed the password prompt.
constexpr int kDismissed = 126;
constexpr int kMaxNames = 1000;

struct Reserved {
    std::string source;
    // The bundle's name in the Trash.
    std::string trashed;
};

bool makeFolder(const std::string& path) { return ::mkdir(path.c_str(), 0700) == 0 || errno == EEXIST; }

bool writeRecord(int fd, const std::string& source) {
    const std::string record = sys::Trash::record(source);
    return ::write(fd, record.data(), record.size()) == ssize_t(record.size());
}

// Claims a free name in the Trash for `source` by creating its record exclusively.
std::optional<std::string> reserve(const std::string& trash, const std::string& source) {
    const std::string name(sys::PathText::lastComponent(source));
    for (int i = 0; i < kMaxNames; ++i) {
        const std::string trashed = i == 0 ? name : name + "." + std::to_string(i + 1);
        const std::string record = trash + "/info/" + trashed + ".trashinfo";
        const int fd = ::open(record.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd < 0) {
            if (errno == EEXIST) continue;
            return std::nullopt;
        }
        const bool written = writeRecord(fd, source);
        ::close(fd);
        if (written && !sys::entryExists(trash + "/files/" + trashed)) return trashed;
        ::unlink(record.c_str());
        if (!written) return std::nullopt;
    }
    return std::nullopt;
}

std::optional<std::string> runMove(const Runner& run, const std::string& pkexec, std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), {"/usr/bin/mv", "-n"});
    const auto output = run(pkexec, arguments, {}, limit);
    if (!output) return "pkexec could not be started";
    if (output->succeeded()) return std::nullopt;
    if (output->timedOut) return "The password prompt was not answered in time.";
    if (output->status == kDismissed) return "The password prompt was cancelled.";
    const auto reason = output->errorText();
    return reason.empty() ? "exit code " + std::to_string(output->status) : reason;
}

// One run for every bundle keeping its own name, one more for each renamed one; the first
// failure stops the rest, so a cancelled prompt is not asked again.
std::optional<std::string> runMoves(const std::vector<Reserved>& reserved, const std::string& files,
                                    const Runner& run, const std::string& pkexec) {
    std::vector<std::string> together{"-t", files, "--"};
    std::vector<const Reserved*> alone;
    for (const auto& r : reserved) {
        if (r.trashed == sys::PathText::lastComponent(r.source)) together.push_back(r.source);
        else alone.push_back(&r);
    }
    if (together.size() > 3)
        if (auto reason = runMove(run, pkexec, together)) return reason;
    for (const Reserved* r : alone)
        if (auto reason = runMove(run, pkexec, {"-T", "--", r->source, files + "/" + r->trashed})) return reason;
    return std::nullopt;
}

} // namespace

std::optional<std::string> move(const std::vector<std::string>& paths, const std::string& home, const Runner& run,
                                const std::string& pkexec) {
    const std::string trash = home + "/.local/share/Trash";
    for (const auto& folder : {home + "/.local", home + "/.local/share", trash, trash + "/files", trash + "/info"})
        if (!makeFolder(folder)) return "the Trash cannot be made";
    const auto trashMount = sys::mountId(trash + "/files");
    if (!trashMount) return "the Trash cannot be made";

    std::optional<std::string> refusal;
    std::vector<Reserved> reserved;
    for (const auto& path : paths) {
        if (!sys::entryExists(path)) continue;
        // mv copies whatever it cannot rename, as across mounts, even two of one file system;
        // a bundle must never be half moved.
        if (sys::mountId(path) != trashMount) {
            refusal = "is on another volume than the Trash";
            continue;
        }
        auto trashed = reserve(trash, path);
        if (!trashed) {
            refusal = "the Trash record cannot be written";
            continue;
        }
        reserved.push_back({path, std::move(*trashed)});
    }
    auto reason = runMoves(reserved, trash + "/files", run, pkexec);
    for (const auto& r : reserved) {
        if (sys::entryExists(r.source) || !sys::entryExists(trash + "/files/" + r.trashed))
            ::unlink((trash + "/info/" + r.trashed + ".trashinfo").c_str());
    }
    return reason ? reason : refusal;
}

} // namespace tidra::PrivilegedTrash
