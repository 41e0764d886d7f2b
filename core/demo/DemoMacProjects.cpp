#include "demo/DemoMac.h"

#include "demo/DemoAge.h"

#include <map>

namespace tidra::DemoMac {
namespace {

struct ArtifactRow {
    const char* project;
    const char* folder;
    const char* label;
    std::int64_t daysAgo;
    std::int64_t finder;
    std::int64_t real;
};

const std::vector<ArtifactRow>& artifactRows() {
    static const std::vector<ArtifactRow> rows = {
        {"acme-web", "node_modules", "Node packages", 1, 4'700'000'000, 1'900'000'000},
        {"acme-web", ".next", "Next.js build output", 1, 700'000'000, 700'000'000},
        {"acme-web", ".turbo", "Turborepo cache", 1, 400'000'000, 400'000'000},
        {"orbit-engine", "target", "Rust build output", 120, 7'800'000'000, 7'800'000'000},
        {"pixel-notes", "build", "Flutter build output", 64, 2'600'000'000, 2'600'000'000},
        {"pixel-notes", ".dart_tool", "Dart tool files", 64, 500'000'000, 500'000'000},
        {"weather-kit", ".build", "Swift build output", 45, 1'400'000'000, 1'400'000'000},
        {"android-wallet", "build", "Gradle build output", 150, 1'100'000'000, 1'100'000'000},
        {"android-wallet", ".gradle", "Gradle project cache", 150, 300'000'000, 300'000'000},
        {"legacy-dashboard", "node_modules", "Node packages", 240, 3'100'000'000, 1'200'000'000},
        {"ml-sandbox", ".venv", "Python environment", 95, 2'300'000'000, 2'300'000'000},
    };
    return rows;
}

struct WorktreeRow {
    const char* folder;
    const char* branch;
    Worktree::State state;
    std::int64_t age;
    bool inUse;
    std::int64_t finder;
    std::int64_t real;
};

const std::vector<WorktreeRow>& worktreeRows() {
    using S = Worktree::State;
    static const std::vector<WorktreeRow> rows = {
        {"/Projects/acme-web-worktrees/checkout-flow", "agent/checkout-flow", S::PullRequestOpen{482}, 11'232, true,
         4'160'000'000, 1'600'000'000},
        {"/Projects/acme-web-worktrees/fix-login-redirect", "agent/fix-login-redirect", S::PullRequestMerged{471},
         6 * day, false, 3'640'000'000, 1'400'000'000},
        {"/Projects/acme-web-worktrees/api-client-refactor", "agent/api-client-refactor", S::Merged{"main"}, 12 * day,
         false, 5'460'000'000, 2'100'000'000},
        {"/Projects/acme-web-worktrees/dark-mode", "feature/dark-mode", S::RemoteBranchDeleted{}, 9 * day, false,
         3'120'000'000, 1'200'000'000},
        {"/Projects/acme-web-worktrees/bump-dependencies", "agent/bump-dependencies", S::PullRequestMerged{468},
         21 * day, false, 4'420'000'000, 1'700'000'000},
        {"/Projects/acme-web-worktrees/test-coverage", "agent/test-coverage", S::PullRequestMerged{476}, 4 * day, false,
         3'380'000'000, 1'300'000'000},
        {"/Projects/acme-web-worktrees/websocket-spike", "spike/websockets", S::Pushed{}, 16 * day, false,
         2'340'000'000, 900'000'000},
        {"/Projects/acme-web-worktrees/image-pipeline", "agent/image-pipeline", S::PullRequestClosed{459}, 25 * day,
         false, 2'080'000'000, 800'000'000},
        {"/Projects/acme-web-worktrees/ssr-experiment", "spike/ssr", S::UnpushedCommits{2}, 8 * day, false,
         1'820'000'000, 700'000'000},
        {"/Projects/acme-web-worktrees/new-router", "agent/new-router", S::UncommittedChanges{3}, 2 * day, false,
         2'860'000'000, 1'100'000'000},
        {"/Projects/pixel-notes-worktrees/release-2.4", "release/2.4", S::Merged{"main"}, 33 * day, false, 900'000'000,
         900'000'000},
    };
    return rows;
}

// The kinds keyed by folder and label: two kinds share "build" and two share "target".
const ArtifactKind* kind(const char* folder, const char* label) {
    static const std::map<std::string, ArtifactKind> index = [] {
        std::map<std::string, ArtifactKind> out;
        for (const ArtifactKind& k : ArtifactKind::all()) out.emplace(k.folder + " " + k.label, k);
        return out;
    }();
    const auto found = index.find(std::string(folder) + " " + label);
    return found == index.end() ? nullptr : &found->second;
}

// Every row holds its own bytes alone, so any selection frees the sum of its rows' real bytes.
std::int32_t owner(SpaceAccount& account, std::int64_t real, std::int64_t finder) {
    const auto index = std::int32_t(account.apparent.size());
    account.apparent.push_back(finder);
    account.combinations[{index}] = real;
    return index;
}

} // namespace

std::vector<std::string> projectRoots(const std::string& home) { return {home + "/Projects"}; }

ProjectScan projectScan(const std::string& home, Date now) {
    ProjectScan scan;
    scan.roots = projectRoots(home);
    for (const ArtifactRow& row : artifactRows()) {
        // A kind the catalogue lost drops only its own row.
        const ArtifactKind* artifactKind = kind(row.folder, row.label);
        if (!artifactKind) continue;
        const std::string project = home + "/Projects/" + row.project;
        scan.artifacts.push_back({.path = project + "/" + row.folder,
                                  .kind = *artifactKind,
                                  .projectPath = project,
                                  .projectLastChange = ago(now, row.daysAgo * day),
                                  .apparentBytes = row.finder,
                                  .realBytes = row.real,
                                  .owner = owner(scan.account, row.real, row.finder)});
    }
    for (const WorktreeRow& row : worktreeRows()) {
        const std::string path = home + row.folder;
        const bool pixelNotes = std::string_view(row.folder).starts_with("/Projects/pixel-notes-");
        const Date lastCommit = ago(now, row.age);
        scan.worktrees.push_back({
            .worktree = {.path = path,
                         .repository = home + (pixelNotes ? "/Projects/pixel-notes" : "/Projects/acme-web"),
                         .branch = row.branch,
                         .state = row.state,
                         .lastCommit = lastCommit,
                         .ignoredFiles = {},
                         .clutter = {},
                         .nestedRepositories = {}},
            .lastChange = lastCommit,
            .isInUse = row.inUse,
            .apparentBytes = row.finder,
            .realBytes = row.real,
            .generated = pixelNotes ? std::vector<std::string>{path + "/build"}
                                    : std::vector<std::string>{path + "/node_modules", path + "/.next"},
            .owners = {owner(scan.account, row.real, row.finder)},
        });
    }
    scan.account.sharedOutside.assign(scan.account.apparent.size(), 0);
    return scan;
}

} // namespace tidra::DemoMac
