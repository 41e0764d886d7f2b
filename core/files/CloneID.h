#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace tidra {

// Names the data blocks a file uses. Files with equal clone ids share their data, so removing
// one of them frees nothing while another stays. Without copy-on-write clones a file shares
// with no other file and its id is its own identity (device, inode).
struct CloneID {
    std::uint64_t device = 0;
    // The inode number, or, when `shared`, the key of the shared data the clone-key provider
    // gave; the flag keeps the two number spaces apart.
    std::uint64_t key = 0;
    bool shared = false;

    static CloneID ownIdentity(std::uint64_t device, std::uint64_t inode) { return {device, inode, false}; }

    auto operator<=>(const CloneID&) const = default;
};

struct CloneIDHash {
    std::size_t operator()(const CloneID& id) const {
        return std::hash<std::uint64_t>()(id.key * 0x9E3779B97F4A7C15ull ^ id.device) ^ std::size_t(id.shared);
    }
};

// Answers the key of the data a copy-on-write file at `path` shares with its clones, or
// nothing when it shares none or cannot tell. Asked only for files a search already matched,
// never during a walk; must be safe to call from several threads.
using CloneKeyProvider = std::function<std::optional<std::uint64_t>(const std::string& path)>;

// The default provider: on btrfs and XFS the physical address of the file's first extent
// when the file system flags that extent shared; nothing on every other file system, for a
// file that shares nothing, or one that cannot be opened. Costs a folder open, an fstatfs and
// a FIEMAP query per call.
std::optional<std::uint64_t> sharedDataKey(const std::string& path);

// `own` replaced by the provider's key for `path` when it gives one.
inline CloneID resolvedCloneID(const std::string& path, const CloneID& own, const CloneKeyProvider& provider) {
    if (!provider) return own;
    const auto key = provider(path);
    return key ? CloneID{own.device, *key, true} : own;
}

} // namespace tidra
