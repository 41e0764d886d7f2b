#include "projects/ArtifactKind.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace tidra {
namespace {

std::vector<std::string> labelsFor(std::string_view folder) {
    std::vector<std::string> labels;
    const auto found = ArtifactKind::byFolder().find(folder);
    if (found == ArtifactKind::byFolder().end()) return labels;
    for (const auto& kind : found->second) labels.push_back(kind.label);
    return labels;
}

const ArtifactKind& kindLabelled(std::string_view folder, std::string_view label) {
    for (const auto& kind : ArtifactKind::all())
        if (kind.folder == folder && kind.label == label) return kind;
    throw std::logic_error("no such kind");
}

TEST(ArtifactKind, CatalogueOrderAndRatings) {
    const std::vector<std::string> folders{"node_modules", ".next", ".nuxt", ".svelte-kit", ".turbo",
                                           ".parcel-cache", ".angular", ".dart_tool", "build", "build",
                                           ".gradle", ".cxx", "Pods", "target", "target", ".build",
                                           ".venv", "venv"};
    const auto& all = ArtifactKind::all();
    ASSERT_EQ(all.size(), folders.size());
    for (std::size_t row = 0; row < all.size(); ++row) {
        EXPECT_EQ(all[row].folder, folders[row]) << row;
        EXPECT_EQ(all[row].safety, row >= 16 ? Safety::review : Safety::safe) << row;
        EXPECT_FALSE(all[row].markers.empty()) << row;
    }
    EXPECT_EQ(all[0].restore, "Comes back when you install the project's packages again (npm, bun, pnpm or yarn).");
    EXPECT_EQ(all[10].markers, (std::vector<std::string>{"build.gradle", "build.gradle.kts", "settings.gradle",
                                                         "settings.gradle.kts", "gradlew"}));
    EXPECT_EQ(all[16].markers,
              (std::vector<std::string>{"pyproject.toml", "requirements.txt", "setup.py", "Pipfile", "uv.lock"}));
}

TEST(ArtifactKind, ByFolderKeepsCatalogueOrderAndComparesNamesExactly) {
    EXPECT_EQ(ArtifactKind::byFolder().size(), 16u);
    struct Case {
        std::string folder;
        std::vector<std::string> labels;
    };
    const std::vector<Case> cases{
        {"build", {"Flutter build output", "Gradle build output"}},
        {"target", {"Rust build output", "Maven build output"}},
        {"node_modules", {"Node packages"}},
        {"venv", {"Python environment"}},
        {"Build", {}},
        {"node_module", {}},
        {"Node_Modules", {}},
        {".venv/", {}},
        {"", {}},
    };
    for (const auto& c : cases) EXPECT_EQ(labelsFor(c.folder), c.labels) << c.folder;
}

TEST(ArtifactKind, MarkersThatTellSharedNamesApart) {
    const auto& gradleBuild = kindLabelled("build", "Gradle build output");
    const auto& gradleCache = kindLabelled(".gradle", "Gradle project cache");
    const auto& cxx = kindLabelled(".cxx", "Android native build files");
    const auto has = [](const ArtifactKind& kind, const std::string& marker) {
        return std::find(kind.markers.begin(), kind.markers.end(), marker) != kind.markers.end();
    };
    EXPECT_TRUE(has(gradleCache, "gradlew"));
    EXPECT_FALSE(has(gradleBuild, "gradlew"));
    EXPECT_EQ(gradleBuild.markers.size(), 4u);
    EXPECT_TRUE(has(cxx, "build.gradle.kts"));
    EXPECT_FALSE(has(cxx, "settings.gradle"));
}

TEST(ArtifactKind, EqualityAndHashCoverEveryField) {
    const std::hash<ArtifactKind> hash;
    const auto& venv = ArtifactKind::all()[16];
    EXPECT_EQ(venv, ArtifactKind(venv));
    EXPECT_EQ(hash(venv), hash(ArtifactKind(venv)));

    std::vector<ArtifactKind> variants(5, venv);
    variants[0].folder = "venv";
    std::swap(variants[1].markers[0], variants[1].markers[1]);
    variants[2].label += ".";
    variants[3].restore = "";
    variants[4].safety = Safety::safe;
    for (const auto& variant : variants) {
        EXPECT_NE(variant, venv);
        EXPECT_NE(hash(variant), hash(venv));
    }
    EXPECT_EQ(variants[0], ArtifactKind::all()[17]);
}

TEST(ArtifactKind, FirstUseFromManyThreadsSeesOneIndex) {
    std::vector<const ArtifactKind::Index*> seen(8);
    std::vector<std::thread> threads;
    for (std::size_t index = 0; index < seen.size(); ++index)
        threads.emplace_back([&seen, index] { seen[index] = &ArtifactKind::byFolder(); });
    for (auto& thread : threads) thread.join();
    for (const auto* index : seen) EXPECT_EQ(index, seen.front());
}

} // namespace
} // namespace tidra
