#pragma once

#include "projects/FoundArtifact.h"
#include "projects/FoundProject.h"

#include <functional>
#include <set>
#include <string>
#include <vector>

// Finds development projects and their regenerable artifact folders below chosen roots, and
// proposes the folders of a home folder that hold code. Stateless; every call runs on the
// calling thread.
namespace tidra::ProjectFinder {

// Folders of the home folder offered first, in this order.
const std::vector<std::string>& usualFolders();
// Entry names that make a home-folder entry (or a root) count as a project folder.
const std::vector<std::string>& projectMarkers();
// Home-folder entries never offered by the listing step, whatever they hold.
const std::set<std::string, std::less<>>& notProjects();

// The folders of `home` worth searching: first each usual folder that exists, then, in plain
// byte order, each other entry of the home folder that holds a project marker (links followed
// for the marker test only). A folder is offered only when it is a real directory (not a link
// to one), and only once per (device, inode), under the first name that reached it. Hidden
// entries and the user's document and media folders are never offered. Paths are built from
// the resolved home folder; a missing or unreadable home folder gives an empty list.
std::vector<std::string> defaultRoots(const std::string& home);

struct Result {
    // In discovery order, each path once (the first visit fixes `isRepository`).
    std::vector<FoundProject> projects;
    // Sorted by path in byte order, each path once (a later walk's record replaces an earlier).
    std::vector<FoundArtifact> artifacts;
};

// Never true when empty. Called on the calling thread once per folder visited.
using IsCancelled = std::function<bool()>;

// Walks each root in order and collects projects and artifacts:
// - A folder directly in a root is a project; a deeper folder only with a ".git" entry; the
//   root itself when it holds a project marker.
// - An artifact is a folder whose name is in the artifact catalogue with one of its kind's
//   markers beside it; the first such kind in catalogue order wins. Artifact folders, ".git"
//   folders and every "node_modules" folder are never entered.
// - Links are never followed and the walk never leaves a root's volume. A root that is
//   missing, not a folder, or itself a symbolic link contributes nothing; other roots are
//   resolved to their canonical path first, so every path found is spelled canonically and a
//   root given twice is walked once. Unreadable folders are skipped silently.
// - On cancellation the walk stops at the next folder, the remaining roots are skipped, and
//   what was found so far is returned in the usual form.
Result find(const std::vector<std::string>& roots, const IsCancelled& isCancelled = {});

} // namespace tidra::ProjectFinder
