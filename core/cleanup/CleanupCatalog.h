#pragma once

#include "cleanup/CleanupEnvironment.h"
#include "cleanup/CleanupItem.h"

#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace tidra::CleanupCatalog {

// The cleanup candidates of env.home, grouped by category in display order; within a category
// in the order the builders added them. Nothing is measured or filtered by size here, and
// nothing fails: what cannot be read is simply not offered. Two builds share nothing and may
// run at once.
std::vector<CleanupItem> items(const CleanupEnvironment& env);

// The working state of one catalog build, handed from builder to builder in a fixed order so
// that later builders see what earlier ones claimed.
struct Builder {
    // What the add step builds over the paths it keeps.
    enum class PathAction { remove, removeContents, trash };

    // The texts and settings of one item the add step may add.
    struct Entry {
        std::string id;
        std::string title;
        CleanupCategory category;
        std::string consequence;
        Safety safety;
        std::int64_t minimumBytesToShow = 1;
    };

    CleanupEnvironment env;
    // Items added so far, in the order added.
    std::vector<CleanupItem> items;
    // Every path an added item covers, in the order added; duplicates kept.
    std::vector<std::string> claimed;

    // The add step. Keeps the candidates whose own entry exists (a dangling link counts) and
    // that PATH does not use (`isUsedByPath`: those are claimed but never offered), in order;
    // with none, adds nothing and returns false. Otherwise claims them and adds one
    // item over them, needing administrator rights when a kept path fails the user's
    // writability test (removeContents) or deletability test (remove); never for trash.
    bool add(const Entry& entry, PathAction action, const std::vector<std::string>& candidates);

    // True when a folder of the environment's PATH, or one of `programs` found in such a
    // folder, is `path` or lies inside it, links resolved on both sides: an SDK or toolchain
    // programs are run from.
    bool isUsedByPath(const std::string& path, const std::vector<std::string>& programs = {}) const;

    // True when `path` is a claimed path or lies inside one. Plain string comparison: no
    // normalisation, no case folding, no links resolved.
    bool isClaimed(const std::string& path) const;

    // The entries of `folder` (hidden ones included) whose name passes `keep`, as full paths,
    // in ascending byte order of name. A folder that cannot be listed has none.
    static std::vector<std::string> children(const std::string& folder,
                                             const std::function<bool(const std::string&)>& keep = nullptr);

    // The candidates whose own entry exists (a dangling link counts), in order.
    static std::vector<std::string> existing(const std::vector<std::string>& candidates);
};

// Display names of the IDEs, keyed by the prefix of their per-version settings folders.
const std::map<std::string, std::string>& ideNames();
// Extensions of installer files, lower case without the dot.
const std::set<std::string>& installerExtensions();

// True when `id` equals an entry of `list` or extends one by "." and further parts (it belongs
// to that entry's family). Plain, case-sensitive comparison.
bool isTaken(const std::string& id, const std::vector<std::string>& list);

} // namespace tidra::CleanupCatalog
