#include "cleanup/CatalogBuilders.h"

namespace tidra::CleanupCatalog {

void developerTools(Builder& b) {
    using PathAction = Builder::PathAction;
    struct Row {
        const char* id;
        const char* title;
        const char* path;
        CleanupCategory category;
        PathAction action;
        Safety safety;
        const char* consequence;
    };
    static const Row rows[] = {
        {"homebrew.cache", "Homebrew downloads", "Library/Caches/Homebrew", CleanupCategory::developerTools,
         PathAction::remove, Safety::safe, "None. Homebrew keeps them only so a reinstall can skip the download."},
        {"jetbrains.caches", "JetBrains IDE caches", "Library/Caches/JetBrains", CleanupCategory::developerTools,
         PathAction::removeContents, Safety::safe, "The IDE re-indexes each project the next time you open it."},
        {"pip.cache", "pip cache", "Library/Caches/pip", CleanupCategory::developerTools, PathAction::remove,
         Safety::safe, "Packages download again on the next install."},
        {"go.buildCache", "Go build cache", "Library/Caches/go-build", CleanupCategory::developerTools,
         PathAction::remove, Safety::safe, "The next Go build compiles everything again."},
        {"cargo.cache", "Cargo download cache", ".cargo/registry/cache", CleanupCategory::developerTools,
         PathAction::remove, Safety::safe, "Crates download again when a build needs them."},
        {"kraftkit.packages", "KraftKit unikernel images", ".local/share/kraftkit/runtime/oci",
         CleanupCategory::developerTools, PathAction::removeContents, Safety::review,
         "kraft downloads the images it needs again on the next build."},
        {"docker.scout", "Docker Scout cache", ".docker/scout", CleanupCategory::docker, PathAction::remove,
         Safety::safe, "Rebuilt the next time Docker Scout analyses an image."},
    };
    for (const auto& row : rows)
        b.add({row.id, row.title, row.category, row.consequence, row.safety}, row.action,
              {b.env.home + "/" + row.path});
}

} // namespace tidra::CleanupCatalog
