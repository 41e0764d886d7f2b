#include "projects/ArtifactKind.h"

namespace tidra {
namespace {

std::vector<ArtifactKind> catalogue() {
    const std::vector<std::string> gradle{"build.gradle", "build.gradle.kts", "settings.gradle",
                                          "settings.gradle.kts"};
    std::vector<std::string> gradleProject = gradle;
    gradleProject.push_back("gradlew");
    const std::vector<std::string> python{"pyproject.toml", "requirements.txt", "setup.py", "Pipfile", "uv.lock"};
    const std::string rebuiltByDev = "Rebuilt by the next build or dev run.";
    const std::string rebuiltByBuild = "Rebuilt by the next build.";
    const std::string rebuiltByGradle = "Rebuilt by the next Gradle build.";
    const std::string recreateEnvironment = "You have to create it again and reinstall the packages.";
    return {
        {"node_modules", {"package.json"}, "Node packages",
         "Comes back when you install the project's packages again (npm, bun, pnpm or yarn).", Safety::safe},
        {".next", {"package.json"}, "Next.js build output", rebuiltByDev, Safety::safe},
        {".nuxt", {"package.json"}, "Nuxt build output", rebuiltByDev, Safety::safe},
        {".svelte-kit", {"package.json"}, "SvelteKit build output", rebuiltByDev, Safety::safe},
        {".turbo", {"package.json", "turbo.json"}, "Turborepo cache", rebuiltByBuild, Safety::safe},
        {".parcel-cache", {"package.json"}, "Parcel cache", rebuiltByBuild, Safety::safe},
        {".angular", {"angular.json"}, "Angular cache", rebuiltByBuild, Safety::safe},
        {".dart_tool", {"pubspec.yaml"}, "Dart tool files", "Restored by flutter pub get.", Safety::safe},
        {"build", {"pubspec.yaml"}, "Flutter build output", "Rebuilt by the next flutter run or build.",
         Safety::safe},
        {"build", gradle, "Gradle build output", rebuiltByGradle, Safety::safe},
        {".gradle", gradleProject, "Gradle project cache", rebuiltByGradle, Safety::safe},
        {".cxx", {"build.gradle", "build.gradle.kts"}, "Android native build files", rebuiltByGradle, Safety::safe},
        {"Pods", {"Podfile"}, "CocoaPods", "Restored by pod install.", Safety::safe},
        {"target", {"Cargo.toml"}, "Rust build output", "Rebuilt by the next cargo build.", Safety::safe},
        {"target", {"pom.xml"}, "Maven build output", "Rebuilt by the next Maven build.", Safety::safe},
        {".build", {"Package.swift"}, "Swift build output", "Rebuilt by the next swift build.", Safety::safe},
        {".venv", python, "Python environment", recreateEnvironment, Safety::review},
        {"venv", python, "Python environment", recreateEnvironment, Safety::review},
    };
}

ArtifactKind::Index grouped(const std::vector<ArtifactKind>& kinds) {
    ArtifactKind::Index index;
    for (const auto& kind : kinds) index[kind.folder].push_back(kind);
    return index;
}

void mix(std::size_t& seed, std::size_t value) {
    seed ^= value + 0x9e3779b97f4a7c15ULL + (seed << 6) + (seed >> 2);
}

} // namespace

const std::vector<ArtifactKind>& ArtifactKind::all() {
    static const std::vector<ArtifactKind> kinds = catalogue();
    return kinds;
}

const ArtifactKind::Index& ArtifactKind::byFolder() {
    static const Index index = grouped(all());
    return index;
}

} // namespace tidra

std::size_t std::hash<tidra::ArtifactKind>::operator()(const tidra::ArtifactKind& kind) const noexcept {
    const std::hash<std::string> text;
    std::size_t seed = text(kind.folder);
    tidra::mix(seed, kind.markers.size());
    for (const auto& marker : kind.markers) tidra::mix(seed, text(marker));
    tidra::mix(seed, text(kind.label));
    tidra::mix(seed, text(kind.restore));
    tidra::mix(seed, std::size_t(kind.safety));
    return seed;
}
