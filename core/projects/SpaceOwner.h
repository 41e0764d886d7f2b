#pragma once

#include <set>
#include <string>

namespace tidra {

// One folder whose space is accounted: an artifact folder or a worktree of a project scan.
struct SpaceOwner {
    std::string path;
    // Full paths of folders below `path` that belong to other owners (the artifact folders
    // inside a worktree). A folder is left out when its path, spelled as the walk builds it
    // (holding folder, "/", name), is in the set; so spell both canonically.
    std::set<std::string> excluding;

    bool operator==(const SpaceOwner&) const = default;
};

} // namespace tidra
