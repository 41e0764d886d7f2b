#include "cleanup/CatalogBuilders.h"

namespace tidra::CleanupCatalog {

void developerTools(Builder& b) {
    using PathAction = Builder::PathAction;
    struct Row {
        const char* id;
        const char* title;
        // Relative to the home folder: the designed place first, then the Linux ones.
        std::vector<const char*> paths;
        CleanupCategory category;
        PathAction action;
        Safety safety;
        const char* consequence;
    };
    // Linux places: Homebrew's HOMEBREW_CACHE default (brew(1), ENVIRONMENT), the JetBrains
    // "Directories used by the IDE" page, pip's caching topic (/usr/share/doc/python3-pip),
    // and go help cache (GOCACHE: the user cache folder + "/go-build").
    static const Row rows[] = {
        {"homebrew.cache", "Homebrew downloads", {"Library/Caches/Homebrew", ".cache/Homebrew"},
         CleanupCategory::developerTools, PathAction::remove, Safety::safe,
         "None. Homebrew keeps them only so a reinstall can skip the download."},
        {"jetbrains.caches", "JetBrains IDE caches", {"Library/Caches/JetBrains", ".cache/JetBrains"},
         CleanupCategory::developerTools, PathAction::removeContents, Safety::safe,
         "The IDE re-indexes each project the next time you open it."},
        {"pip.cache", "pip cache", {"Library/Caches/pip", ".cache/pip"}, CleanupCategory::developerTools,
         PathAction::remove, Safety::safe, "Packages download again on the next install."},
        {"go.buildCache", "Go build cache", {"Library/Caches/go-build", ".cache/go-build"},
         CleanupCategory::developerTools, PathAction::remove, Safety::safe,
         "The next Go build compiles everything again."},
        // The Cargo Book, "Cargo Home": the registry's index, downloaded crates and their
        // unpacked sources, and git dependencies' bare clones and checkouts are all caches
        // Cargo fills again (bin/ holds installed programs and stays).
        {"cargo.cache", "Cargo download cache",
         {".cargo/registry/cache", ".cargo/registry/index", ".cargo/registry/src", ".cargo/git/db",
          ".cargo/git/checkouts"},
         CleanupCategory::developerTools, PathAction::remove, Safety::safe,
         "Crates download again when a build needs them."},
        // go help gomodcache / go help environment: GOMODCACHE defaults to GOPATH/pkg/mod and
        // GOPATH to ~/go; "go clean -modcache" removes it whole. Its files and folders are
        // read-only; the removal makes the folders writable first.
        {"go.moduleCache", "Go module cache", {"go/pkg/mod"}, CleanupCategory::developerTools, PathAction::remove,
         Safety::safe, "Modules download again when a build needs them."},
        // Maven's "Introduction to Repositories": the local repository is ~/.m2/repository. It
        // also holds what "mvn install" put there from your own projects, which no server has.
        {"maven.repository", "Maven local repository", {".m2/repository"}, CleanupCategory::developerTools,
         PathAction::remove, Safety::review,
         "Dependencies download again on the next build; artifacts you installed from your own projects need "
         "building again."},
        // PyTorch's hub documentation: downloaded weights go to $TORCH_HOME, ~/.cache/torch by
        // default. Claimed here so the app caches never offer them as a plain cache.
        {"torch.models", "PyTorch model downloads", {".cache/torch"}, CleanupCategory::developerTools,
         PathAction::remove, Safety::review,
         "Models download again the next time a program loads them, which can take hours."},
        // Poetry's configuration page: virtualenvs.path defaults to {cache-dir}/virtualenvs,
        // cache-dir to ~/.cache/pypoetry. The rest of that folder is a plain cache.
        {"poetry.virtualenvs", "Poetry project environments", {".cache/pypoetry/virtualenvs"},
         CleanupCategory::developerTools, PathAction::remove, Safety::review,
         "Each project needs \"poetry install\" again before it runs."},
        {"kraftkit.packages", "KraftKit unikernel images", {".local/share/kraftkit/runtime/oci"},
         CleanupCategory::developerTools, PathAction::removeContents, Safety::review,
         "kraft downloads the images it needs again on the next build."},
        {"docker.scout", "Docker Scout cache", {".docker/scout"}, CleanupCategory::docker, PathAction::remove,
         Safety::safe, "Rebuilt the next time Docker Scout analyses an image."},
    };
    for (const auto& row : rows) {
        std::vector<std::string> candidates;
        for (const char* path : row.paths) candidates.push_back(b.env.home + "/" + path);
        b.add({row.id, row.title, row.category, row.consequence, row.safety}, row.action, candidates);
    }
}

} // namespace tidra::CleanupCatalog
