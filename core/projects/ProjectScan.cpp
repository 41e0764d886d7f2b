#include "projects/ProjectScan.h"

#include "platform/PathText.h"

#include <algorithm>

namespace tidra {

std::string ProjectScan::ArtifactRow::projectName() const {
    const auto end = projectPath.find_last_not_of('/');
    if (end == std::string::npos) return projectPath.empty() ? "" : "/";
    const auto slash = projectPath.rfind('/', end);
    const auto start = slash == std::string::npos ? 0 : slash + 1;
    return projectPath.substr(start, end + 1 - start);
}

std::string ProjectScan::ArtifactRow::relativePath() const {
    return sys::PathText::isInside(path, projectPath) ? path.substr(projectPath.size() + 1) : path;
}

std::int64_t ProjectScan::freed(const Ids& artifactPaths, const Ids& worktreePaths) const {
    std::set<std::int32_t> owners;
    for (const auto& row : artifacts)
        if (artifactPaths.count(row.path) != 0) owners.insert(row.owner);
    for (const auto& row : worktrees)
        if (worktreePaths.count(row.id()) != 0) owners.insert(row.owners.begin(), row.owners.end());
    return account.freed(owners);
}

ProjectScan ProjectScan::removing(const Ids& artifactPaths, const Ids& worktreePaths) const {
    ProjectScan rest = *this;
    std::erase_if(rest.artifacts, [&](const ArtifactRow& row) { return artifactPaths.count(row.path) != 0; });
    std::erase_if(rest.worktrees, [&](const WorktreeRow& row) { return worktreePaths.count(row.id()) != 0; });
    return rest;
}

CleanupAction ProjectScan::action(const ArtifactRow& row) {
    return CleanupAction::Delete{{row.path}};
}

CleanupAction ProjectScan::action(const WorktreeRow& row) {
    auto clearFirst = row.generated;
    clearFirst.insert(clearFirst.end(), row.worktree.clutter.begin(), row.worktree.clutter.end());
    return CleanupAction::RemoveWorktree{row.worktree.repository, row.worktree.path, std::move(clearFirst),
                                         row.worktree.device, row.worktree.inode};
}

} // namespace tidra
