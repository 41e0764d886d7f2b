#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>

namespace tidra::sys::FileStore {

// The whole contents of a small file, or why there are none.
struct Contents {
    enum class Status {
        ok,
        // The file does not exist (a missing folder on the way counts as absent too).
        absent,
        // It exists but could not be read; `error` says why.
        failed,
    };
    Status status = Status::absent;
    std::string data;
    std::string error;
};

// Reads a regular file of at most `maximumBytes` whole. Follows a final symbolic link, as any
// reader would. Anything else fails at once without reading: a FIFO or a device ("not a
// regular file", never waiting for a writer), a larger file ("too large").
Contents read(const std::string& path, std::size_t maximumBytes = std::size_t(64) << 20);

// Replaces `path` with `data` so that readers see either the old or the new file, never a
// mix: a temporary file beside it is written, flushed to disk and renamed over it, then the
// folder is flushed. The folder must exist. New files get mode 0644 less the umask.
// `beforeReplace`, when given, runs once the new data is safely on disk, just before it takes
// the place of `path` (so a caller can move the old file elsewhere first); a reason it
// returns cancels the write and is returned.
// Returns nothing on success, else a short reason; the old file is then untouched.
std::optional<std::string> writeAtomically(const std::string& path, const std::string& data,
                                           const std::function<std::optional<std::string>()>& beforeReplace = {});

// Renames `from` to `to` unless `to` exists. Returns nothing on success, else a short reason
// ("exists" when `to` is taken, so callers can try another name).
std::optional<std::string> renameNoReplace(const std::string& from, const std::string& to);

// Creates the folder and any missing parents (mode 0755 less the umask). True when the folder
// exists afterwards.
bool makeFolders(const std::string& path);

} // namespace tidra::sys::FileStore
