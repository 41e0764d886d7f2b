#pragma once

#include <string>
#include <vector>

namespace tidra::CleanupCatalog {

// A code editor whose extensions and settings outlive it.
struct Editor {
    std::string name;
    // The command that starts it on this platform; its presence on PATH means installed.
    std::string command;
    std::vector<std::string> bundleIDs;
    // Relative to the home folder, in the order offered.
    std::vector<std::string> folders;
};

// The editors the leftovers builder knows, in the order offered. Their identifiers (and
// extensions of them) are never taken for a deleted app.
const std::vector<Editor>& editors();

} // namespace tidra::CleanupCatalog
