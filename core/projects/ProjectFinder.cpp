#include "projects/ProjectFinder.h"

#include "fs/BulkWalker.h"
#include "platform/DirectoryReader.h"
#include "platform/FileAccess.h"
#include "platform/FileStatus.h"

#include <sys/stat.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <map>
#include <optional>
#include <unordered_map>
#include <utility>

namespace tidra::ProjectFinder {
namespace {

using Identity = std::pair<std::uint64_t, std::uint64_t>;  // (device, inode)


// A trailing "/" would make the link test below follow a link given as "link/".
std::string withoutTrailingSlashes(std::string path) {
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

bool isRealDirectory(const std::string& path) {
    const auto status = sys::FileStatus::of(path);
    return status && status->type == sys::FileStatus::Type::directory;
}

std::string joined(const std::string& folder, std::string_view name) {
    std::string path = folder;
    if (path.back() != '/') path += '/';
    return path.append(name);
}

class Offers {
public:
    void offer(const std::string& path) {
        const auto status = sys::FileStatus::of(path);
        if (!status || status->type != sys::FileStatus::Type::directory) return;
        if (seen_.insert({status->device, status->inode}).second) roots_.push_back(path);
    }
    std::vector<std::string> take() { return std::move(roots_); }

private:
    std::set<Identity> seen_;
    std::vector<std::string> roots_;
};

std::vector<std::string> sortedNames(const std::string& folder) {
    sys::DirectoryReader reader;
    std::vector<std::string> names;
    if (!reader.open(folder) || reader.list() != sys::DirectoryReader::Result::complete) return names;
    for (const auto& entry : reader.entries()) names.emplace_back(entry.name, entry.nameLength);
    std::sort(names.begin(), names.end());
    return names;
}

bool holdsMarker(const std::string& folder) {
    struct stat st{};
    for (const auto& marker : projectMarkers())
        if (::stat(joined(folder, marker).c_str(), &st) == 0) return true;
    return false;
}

// The state of one find: what was found so far and the projects enclosing the folder visited.
class Search {
public:
    explicit Search(const IsCancelled& isCancelled) : isCancelled_(isCancelled) {}

    bool stopped() const { return stopped_; }

    void walk(const std::string& root) {
        open_.clear();
        BulkWalker::walk(root, [this](BulkFolder& folder) { return visit(folder); }, {}, BulkWalker::Field::none);
    }

    Result result() && {
        Result result{std::move(projects_), {}};
        result.artifacts.reserve(artifacts_.size());
        for (auto& [path, artifact] : artifacts_) result.artifacts.push_back(std::move(artifact));
        return result;
    }

private:
    struct Open {
        std::int64_t depth;
        std::size_t position;
    };

    bool visit(BulkFolder& folder) {
        if (isCancelled_ && isCancelled_()) {
            stopped_ = true;
            return false;
        }
        while (!open_.empty() && open_.back().depth >= folder.depth) open_.pop_back();
        if (const auto repository = projectState(folder)) openProject(folder, *repository);
        for (std::size_t index = 0; index < folder.entries.size(); ++index) {
            const auto& entry = folder.entries[index];
            if (entry.kind == BulkEntry::Kind::directory && !mayEnter(folder, entry))
                folder.skipped.insert(std::int64_t(index));
            else if (entry.kind == BulkEntry::Kind::file)
                noteChange(folder, entry);
        }
        return true;
    }

    // Whether the folder is a project and, if so, whether it is a repository.
    static std::optional<bool> projectState(const BulkFolder& folder) {
        for (const auto& entry : folder.entries)
            if (entry.isNamed(".git")) return entry.kind == BulkEntry::Kind::directory;
        if (folder.depth == 1) return false;
        if (folder.depth == 0 && std::any_of(projectMarkers().begin(), projectMarkers().end(),
                                             [&](const std::string& marker) { return folder.contains(marker); }))
            return false;
        return std::nullopt;
    }

    void openProject(const BulkFolder& folder, bool isRepository) {
        const auto [found, added] = index_.try_emplace(folder.path, projects_.size());
        if (added) projects_.push_back({folder.path, isRepository, std::nullopt});
        open_.push_back({folder.depth, found->second});
    }

    // False for ".git", artifact and node_modules folders; records the artifact.
    bool mayEnter(const BulkFolder& folder, const BulkEntry& entry) {
        if (entry.isNamed(".git")) return false;
        if (const auto* kind = matchingKind(folder, entry)) {
            auto path = folder.pathOf(entry);
            const auto& project = open_.empty() ? folder.path : projects_[open_.back().position].path;
            artifacts_.insert_or_assign(path, FoundArtifact{path, *kind, project});
            return false;
        }
        return !entry.isNamed("node_modules");
    }

    static const ArtifactKind* matchingKind(const BulkFolder& folder, const BulkEntry& entry) {
        const auto& index = ArtifactKind::byFolder();
        const auto found = index.find(entry.nameView());
        if (found == index.end()) return nullptr;
        for (const auto& kind : found->second)
            for (const auto& marker : kind.markers)
                if (folder.contains(marker)) return &kind;
        return nullptr;
    }

    // Status is read only here, for plain files of open projects: the only field the search needs.
    void noteChange(const BulkFolder& folder, const BulkEntry& entry) {
        if (open_.empty() || entry.isNamed(".DS_Store")) return;
        int error = 0;
        const auto status = sys::FileStatus::at(folder.descriptor, entry.namePointer, error);
        if (!status || status->type != sys::FileStatus::Type::regular) return;
        const auto time = std::chrono::system_clock::time_point(std::chrono::seconds(status->modified));
        auto& lastChange = projects_[open_.back().position].lastChange;
        if (!lastChange || *lastChange < time) lastChange = time;
    }

    const IsCancelled& isCancelled_;
    bool stopped_ = false;
    std::vector<FoundProject> projects_;
    std::unordered_map<std::string, std::size_t> index_;
    // Ordered by path in byte order, as the result wants.
    std::map<std::string, FoundArtifact> artifacts_;
    std::vector<Open> open_;
};

} // namespace

const std::vector<std::string>& usualFolders() {
    static const std::vector<std::string> names{
        "Projects",     "Developer",          "Code",        "code",           "dev",
        "src",          "repos",              "workspace",   "GitHub",         "StudioProjects",
        "AndroidStudioProjects", "PycharmProjects", "IdeaProjects", "WebstormProjects", "GoLandProjects"};
    return names;
}

const std::vector<std::string>& projectMarkers() {
    static const std::vector<std::string> names{".git",       "package.json",     "pubspec.yaml",
                                                "Cargo.toml", "Package.swift",    "build.gradle",
                                                "build.gradle.kts", "pyproject.toml", "go.mod"};
    return names;
}

const std::set<std::string, std::less<>>& notProjects() {
    static const std::set<std::string, std::less<>> names{"Library", "Applications", "Documents",
                                                          "Desktop", "Downloads",    "Movies",
                                                          "Music",   "Pictures",     "Public"};
    return names;
}

std::vector<std::string> defaultRoots(const std::string& home) {
    const auto base = sys::realPath(home);
    if (!base) return {};
    Offers offers;
    for (const auto& name : usualFolders()) offers.offer(joined(*base, name));
    for (const auto& name : sortedNames(*base)) {
        if (name.front() == '.' || notProjects().count(name)) continue;
        const auto path = joined(*base, name);
        if (holdsMarker(path)) offers.offer(path);
    }
    return offers.take();
}

Result find(const std::vector<std::string>& roots, const IsCancelled& isCancelled) {
    Search search(isCancelled);
    std::set<std::string> walked;
    for (const auto& root : roots) {
        if (search.stopped()) break;
        const auto given = withoutTrailingSlashes(root);
        if (given.empty() || !isRealDirectory(given)) continue;
        const auto canonical = sys::realPath(given);
        if (!canonical || !walked.insert(*canonical).second) continue;
        search.walk(*canonical);
    }
    return std::move(search).result();
}

} // namespace tidra::ProjectFinder
