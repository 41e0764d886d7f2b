#pragma once

#include "projects/ArtifactKind.h"

#include <string>

namespace tidra {

// A regenerable folder inside a project, recognised by its name and the markers beside it.
struct FoundArtifact {
    // The holding folder's path, "/" and the artifact folder's name.
    std::string path;
    ArtifactKind kind;
    // The innermost project enclosing the artifact, or the holding folder when none does.
    std::string project;

    bool operator==(const FoundArtifact&) const = default;
};

} // namespace tidra
