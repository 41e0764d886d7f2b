#include "cleanup/PinnedFolder.h"

#include "platform/SafeRemove.h"

namespace tidra {

std::optional<PinnedFolder> PinnedFolder::read(const std::string& home, const std::string& path) {
    const sys::SafeRemove::Folder folder(home, path);
    const auto own = folder.status();
    auto listing = folder.list();
    if (!own || !listing.ok()) return std::nullopt;
    PinnedFolder pinned{{own->device, own->inode}, {}};
    for (auto& name : listing.names)
        if (const auto entry = folder.statusOf(name)) pinned.entries[std::move(name)] = {entry->device, entry->inode};
    return pinned;
}

CleanupAction::Identity PinnedFolder::of(const std::string& name) const {
    const auto found = entries.find(name);
    return found == entries.end() ? CleanupAction::Identity{} : found->second;
}

} // namespace tidra
