#pragma once

#include "cleanup/CleanupAction.h"

#include <map>
#include <optional>
#include <string>

namespace tidra {

// A folder's entries as they were when measured, each by its identity, with the folder's own:
// what a removal pinned to them may take, and nothing that came, or was put in their place,
// later.
struct PinnedFolder {
    CleanupAction::Identity identity;
    std::map<std::string, CleanupAction::Identity> entries;

    // Reads the folder at the absolute `path` in the home folder `home` through one descriptor
    // opened from the home without following a link below it. Nothing when it cannot be opened
    // so (a link on the way, not there, outside the home) or listed; an entry that vanishes
    // while it is read is left out.
    static std::optional<PinnedFolder> read(const std::string& home, const std::string& path);

    // The identity of the entry `name`; 0 and 0 when it was not there.
    CleanupAction::Identity of(const std::string& name) const;

    bool operator==(const PinnedFolder&) const = default;
};

} // namespace tidra
