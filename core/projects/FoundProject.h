#pragma once

#include "platform/PathText.h"

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace tidra {

// A development project folder the project finder came across.
struct FoundProject {
    // Built from the resolved root: the root, then each folder name below it, joined by "/".
    std::string path;
    // The folder holds a ".git" directory (a ".git" file or link makes a project, not a repository).
    bool isRepository = false;
    // Newest modification, in whole seconds, of the plain files that belong to this project and
    // to no project nested in it, outside ".git", artifact and node_modules folders, ".DS_Store"
    // not counted. Absent when no such file was seen.
    std::optional<std::chrono::system_clock::time_point> lastChange;

    // The last path component.
    std::string_view name() const { return sys::PathText::lastComponent(path); }

    bool operator==(const FoundProject&) const = default;
};

} // namespace tidra
