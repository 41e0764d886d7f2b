#pragma once

#include "cleanup/Safety.h"

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tidra {

// A kind of folder inside a developer project that a tool regenerates on demand (installed
// packages, build output, tool caches, virtual environments). The catalogue is built into the
// engine and never changes at run time.
struct ArtifactKind {
    // Exact folder name, compared byte for byte (case-sensitive).
    std::string folder;
    // At least one of these names must be an entry (of any kind) of the folder holding the
    // artifact for it to count; tried in this order.
    std::vector<std::string> markers;
    // Short display name, e.g. "Node packages".
    std::string label;
    // One sentence telling the user how the folder comes back.
    std::string restore;
    Safety safety = Safety::safe;

    // Over all five fields, markers element by element in order.
    bool operator==(const ArtifactKind&) const = default;

    // Looks names up as string_view without building a string.
    struct NameHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view name) const { return std::hash<std::string_view>{}(name); }
    };
    // Folder name to the kinds with that folder, in catalogue order.
    using Index = std::unordered_map<std::string, std::vector<ArtifactKind>, NameHash, std::equal_to<>>;

    // The 18 kinds in catalogue order; where two kinds share a folder name ("build", "target")
    // the earlier one wins when both sets of markers are present. Built once, on first use,
    // safe to read from any thread.
    static const std::vector<ArtifactKind>& all();
    // `all` grouped by folder (16 keys). Built once from `all`, safe to read from any thread.
    // Searchers look folders up here rather than scanning `all`.
    static const Index& byFolder();
};

} // namespace tidra

template <>
struct std::hash<tidra::ArtifactKind> {
    std::size_t operator()(const tidra::ArtifactKind& kind) const noexcept;
};
