#include "projects/ProjectScanner.h"

#include "projects/ProjectFinder.h"
#include "platform/FileAccess.h"
#include "platform/FileStatus.h"
#include "platform/PathText.h"

#include <utf8proc.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <map>
#include <set>
#include <unordered_map>
#include <unordered_set>

namespace tidra::ProjectScanner {
namespace {

using Date = ProjectScan::Date;

using sys::PathText::isAtOrInside;

bool cancelled(const IsCancelled& isCancelled) { return isCancelled && isCancelled(); }

void report(const StageReport& stage, Stage value) {
    if (stage) stage(value);
}

// Projects and artifacts of the roots, and of worktree folders that lie outside them.
struct Found {
    std::vector<FoundProject> projects;
    std::vector<FoundArtifact> artifacts;
    std::vector<std::string> repositories;
};

void append(Found& found, ProjectFinder::Result more) {
    std::unordered_set<std::string> known;
    for (const auto& artifact : found.artifacts) known.insert(artifact.path);
    for (auto& project : more.projects) found.projects.push_back(std::move(project));
    for (auto& artifact : more.artifacts)
        if (known.insert(artifact.path).second) found.artifacts.push_back(std::move(artifact));
}

Found findProjects(const std::vector<std::string>& roots, const IsCancelled& isCancelled, const Worktrees::Tools& tools) {
    auto first = ProjectFinder::find(roots, isCancelled);
    Found found{std::move(first.projects), std::move(first.artifacts), {}};
    std::unordered_set<std::string> known;
    for (const auto& project : found.projects) {
        known.insert(project.path);
        if (project.isRepository) found.repositories.push_back(project.path);
    }
    std::vector<std::string> outside;
    for (const auto& repository : found.repositories) {
        if (cancelled(isCancelled)) break;
        for (auto& folder : Worktrees::paths(repository, tools))
            if (known.count(folder) == 0) outside.push_back(std::move(folder));
    }
    if (!outside.empty()) append(found, ProjectFinder::find(outside, isCancelled));
    return found;
}

std::vector<Worktree> listWorktrees(const std::vector<std::string>& repositories, const std::vector<std::string>& artifacts,
                                    const IsCancelled& isCancelled, const Worktrees::Tools& tools) {
    const Worktrees::Generated generated = [&](const std::string& folder) {
        std::vector<std::string> inside;
        for (const auto& path : artifacts)
            if (isAtOrInside(path, folder)) inside.push_back(path);
        return inside;
    };
    std::vector<Worktree> worktrees;
    for (const auto& repository : repositories) {
        if (cancelled(isCancelled)) break;
        auto listed = Worktrees::list(repository, generated, tools);
        std::move(listed.begin(), listed.end(), std::back_inserter(worktrees));
    }
    return worktrees;
}

// The artifact folders first (owner number = position), then each kept worktree without the
// artifact folders inside it, which count for themselves.
std::vector<SpaceOwner> ownersOf(const std::vector<std::string>& artifacts, const std::vector<Worktree>& kept) {
    std::vector<SpaceOwner> owners;
    for (const auto& path : artifacts) owners.push_back({path, {}});
    for (const auto& worktree : kept) {
        SpaceOwner owner{worktree.path, {}};
        for (const auto& path : artifacts)
            if (isAtOrInside(path, worktree.path)) owner.excluding.insert(path);
        owners.push_back(std::move(owner));
    }
    return owners;
}

using LastChanges = std::unordered_map<std::string, std::optional<Date>>;

LastChanges lastChanges(const std::vector<FoundProject>& projects) {
    LastChanges changes;
    for (const auto& project : projects) changes.emplace(project.path, project.lastChange);
    return changes;
}

std::optional<Date> lastChangeOf(const LastChanges& changes, const std::string& path) {
    const auto found = changes.find(path);
    return found == changes.end() ? std::nullopt : found->second;
}

// Everything the rows are built from.
struct Material {
    const std::vector<FoundArtifact>& artifacts;
    const std::vector<Worktree>& kept;
    const SpaceAccount& account;
    const LastChanges& changes;
};

std::int64_t apparentOf(const SpaceAccount& account, const std::vector<std::int32_t>& owners) {
    std::int64_t bytes = 0;
    for (const auto owner : owners) bytes += account.apparent[std::size_t(owner)];
    return bytes;
}

std::vector<ProjectScan::WorktreeRow> worktreeRows(const Material& material, const std::vector<std::string>& workingDirectories) {
    std::vector<ProjectScan::WorktreeRow> rows;
    const auto first = std::int32_t(material.artifacts.size());
    for (std::size_t index = 0; index < material.kept.size(); ++index) {
        const auto& worktree = material.kept[index];
        ProjectScan::WorktreeRow row{worktree, lastChangeOf(material.changes, worktree.path), false, 0, 0, {}, {}};
        row.owners.push_back(first + std::int32_t(index));
        for (std::size_t artifact = 0; artifact < material.artifacts.size(); ++artifact) {
            if (!isAtOrInside(material.artifacts[artifact].path, worktree.path)) continue;
            row.generated.push_back(material.artifacts[artifact].path);
            row.owners.push_back(std::int32_t(artifact));
        }
        row.isInUse = std::any_of(workingDirectories.begin(), workingDirectories.end(),
                                  [&](const std::string& folder) { return isAtOrInside(folder, worktree.path); });
        row.apparentBytes = apparentOf(material.account, row.owners);
        row.realBytes = material.account.freed({row.owners.begin(), row.owners.end()});
        rows.push_back(std::move(row));
    }
    return rows;
}

std::vector<ProjectScan::ArtifactRow> artifactRows(const Material& material, const Guardian& guardian) {
    std::vector<std::string> removable;
    for (const auto& worktree : material.kept)
        if (worktree.canRemove()) removable.push_back(worktree.path);
    std::vector<ProjectScan::ArtifactRow> rows;
    for (std::size_t index = 0; index < material.artifacts.size(); ++index) {
        const auto& artifact = material.artifacts[index];
        const auto owner = std::int32_t(index);
        const bool inRemovable = std::any_of(removable.begin(), removable.end(),
                                             [&](const std::string& folder) { return isAtOrInside(artifact.path, folder); });
        if (inRemovable || !guardian(artifact.path)) continue;
        rows.push_back({artifact.path, artifact.kind, artifact.project, lastChangeOf(material.changes, artifact.project),
                        material.account.apparent[index], material.account.freed({owner}), owner});
    }
    return rows;
}

// Canonically composed text for ordering; bytes that are no UTF-8 order as they are.
std::string composed(const std::string& text) {
    auto* result = utf8proc_NFC(reinterpret_cast<const utf8proc_uint8_t*>(text.c_str()));
    if (!result) return text;
    std::string normal(reinterpret_cast<const char*>(result));
    std::free(result);
    return normal;
}

void sortArtifacts(std::vector<ProjectScan::ArtifactRow>& rows) {
    std::map<std::string, std::string> keys;
    for (const auto& row : rows) keys.try_emplace(row.projectPath, composed(row.projectPath));
    std::stable_sort(rows.begin(), rows.end(), [&](const auto& a, const auto& b) {
        const auto& left = keys.at(a.projectPath);
        const auto& right = keys.at(b.projectPath);
        if (left != right) return left < right;
        return a.realBytes > b.realBytes;
    });
}

void sortWorktrees(std::vector<ProjectScan::WorktreeRow>& rows) {
    std::stable_sort(rows.begin(), rows.end(), [](const auto& a, const auto& b) {
        if (a.worktree.canRemove() != b.worktree.canRemove()) return a.worktree.canRemove();
        return a.realBytes > b.realBytes;
    });
}

std::vector<std::string> resolvedAll(const std::vector<std::string>& paths) {
    std::vector<std::string> result;
    for (const auto& path : paths) result.push_back(sys::realPath(path).value_or(path));
    return result;
}

} // namespace

std::vector<std::string> cacheFolders(const std::string& home) {
    static const std::vector<std::string> stores = {".bun/install/cache", "Library/pnpm/store",
                                                    ".local/share/pnpm/store", ".yarn/berry/cache"};
    const auto base = sys::realPath(home).value_or(home);
    std::vector<std::string> present;
    for (const auto& store : stores) {
        auto path = base + "/" + store;
        if (sys::FileStatus::of(path)) present.push_back(std::move(path));
    }
    return present;
}

ProjectScan scan(const std::vector<std::string>& roots, const std::string& home, const Guardian& guardian,
                 const std::vector<std::string>& workingDirectories, const StageReport& stage,
                 const IsCancelled& isCancelled, const Services& services) {
    report(stage, Stage::FindingProjects{});
    const auto found = findProjects(roots, isCancelled, services.tools);
    report(stage, Stage::CheckingWorktrees{std::int64_t(found.repositories.size())});

    std::vector<std::string> artifactPaths;
    for (const auto& artifact : found.artifacts) artifactPaths.push_back(artifact.path);
    std::vector<Worktree> kept;
    for (auto& worktree : listWorktrees(found.repositories, artifactPaths, isCancelled, services.tools))
        if (!std::holds_alternative<Worktree::State::Missing>(worktree.state.value) && guardian(worktree.path))
            kept.push_back(std::move(worktree));

    const auto account = SpaceAccounting::measure(
        ownersOf(artifactPaths, kept), cacheFolders(home),
        [&](std::int64_t files) { report(stage, Stage::Measuring{files}); }, isCancelled, services.clones);

    const auto changes = lastChanges(found.projects);
    const Material material{found.artifacts, kept, account, changes};
    ProjectScan result{roots, artifactRows(material, guardian), worktreeRows(material, resolvedAll(workingDirectories)),
                       account};
    sortArtifacts(result.artifacts);
    sortWorktrees(result.worktrees);
    return result;
}

ProjectScan scan(const std::vector<std::string>& roots, const std::string& home, const PathGuard& guard,
                 const std::vector<std::string>& workingDirectories, const StageReport& stage,
                 const IsCancelled& isCancelled, const Services& services) {
    const Guardian guardian = [&guard](const std::string& path) { return guard.checkDelete(path).isAllowed(); };
    return scan(roots, home, guardian, workingDirectories, stage, isCancelled, services);
}

} // namespace tidra::ProjectScanner
