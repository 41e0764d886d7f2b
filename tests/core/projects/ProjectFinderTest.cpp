#include "projects/ProjectFinder.h"

#include "support/GitFixture.h"
#include "support/MountNamespace.h"
#include "support/RunAsNobody.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>
#include <sys/mount.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

namespace tidra {
namespace {

using test::TempHome;
using std::chrono::system_clock;

// A fixture tree searched from its real path, with results shown relative to it.
struct Tree {
    TempHome home;
    const std::string base = test::realPath(home.root());

    std::string relative(const std::string& path) const {
        if (path == base) return ".";
        return path.rfind(base + "/", 0) == 0 ? path.substr(base.size() + 1) : "<outside> " + path;
    }

    std::vector<std::string> projects(const ProjectFinder::Result& result) const {
        std::vector<std::string> out;
        for (const auto& project : result.projects)
            out.push_back(relative(project.path) + (project.isRepository ? " (git)" : ""));
        return out;
    }

    // "path: label @ project" per artifact, in result order.
    std::vector<std::string> artifacts(const ProjectFinder::Result& result) const {
        std::vector<std::string> out;
        for (const auto& artifact : result.artifacts)
            out.push_back(relative(artifact.path) + ": " + artifact.kind.label + " @ " + relative(artifact.project));
        return out;
    }

    ProjectFinder::Result find(const std::vector<std::string>& relatives) const {
        std::vector<std::string> roots;
        for (const auto& relativePath : relatives) roots.push_back(home.path(relativePath));
        return ProjectFinder::find(roots);
    }
};

using Names = std::vector<std::string>;

TEST(ProjectFinderTest, ProjectsAndTheArtifactsTheyOwn) {
    Tree tree;
    tree.home.file("root/site/package.json");
    tree.home.file("root/site/node_modules/lib/index.js");
    tree.home.dir("root/site/node_modules/lib/.git");  // would be a project if entered
    tree.home.dir("root/a/b/c/.git/modules/x/.git");   // neither is ".git" entered
    tree.home.file("root/a/b/c/Cargo.toml");
    tree.home.dir("root/a/b/c/target/debug");
    tree.home.file("root/a/b/package.json");
    tree.home.dir("root/a/b/.next");
    tree.home.dir("root/.hidden");
    tree.home.text("root/linked/.git", "gitdir: elsewhere\n");
    tree.home.dir("root/linked/deep/plain");

    const auto result = tree.find({"root"});
    auto projects = tree.projects(result);
    std::sort(projects.begin(), projects.end());
    EXPECT_EQ(projects, (Names{"root/.hidden", "root/a", "root/a/b/c (git)", "root/linked", "root/site"}));
    EXPECT_EQ(tree.artifacts(result), (Names{
                                          "root/a/b/.next: Next.js build output @ root/a",
                                          "root/a/b/c/target: Rust build output @ root/a/b/c",
                                          "root/site/node_modules: Node packages @ root/site",
                                      }));
}

TEST(ProjectFinderTest, ProjectNameIsTheLastComponent) {
    EXPECT_EQ((FoundProject{"/a/b/nested", false, std::nullopt}.name()), "nested");
    EXPECT_EQ((FoundProject{"nested", false, std::nullopt}.name()), "nested");
}

TEST(ProjectFinderTest, DiscoveryFollowsTheWalkAndNestsProjectsInAMarkedRoot) {
    Tree tree;
    tree.home.file("app/package.json");
    tree.home.dir("app/web/.git");
    tree.home.dir("app/web/inner/.git");
    tree.home.dir("app/docs");
    tree.home.dir("app/node_modules");
    tree.home.dir("plain/child");

    const auto result = tree.find({"app", "plain"});
    const auto projects = tree.projects(result);
    ASSERT_EQ(projects.size(), 5u);
    EXPECT_EQ(projects[0], "app");
    // Pre-order: each project comes before those nested in it.
    const auto at = [&](const std::string& name) { return std::find(projects.begin(), projects.end(), name); };
    EXPECT_LT(at("app/web (git)"), at("app/web/inner (git)"));
    EXPECT_NE(at("app/docs"), projects.end());
    EXPECT_EQ(projects[4], "plain/child");  // "plain" holds no marker, so it is no project itself
    EXPECT_EQ(tree.artifacts(result), Names{"app/node_modules: Node packages @ app"});
}

TEST(ProjectFinderTest, MarkersDecideTheKindAndWhetherAFolderIsEntered) {
    struct Case {
        std::string folder;
        Names markers;
        std::string label;  // empty: not an artifact
        bool entered;
    };
    const std::vector<Case> cases{
        {"build", {"build.gradle", "pubspec.yaml"}, "Flutter build output", false},
        {"build", {"settings.gradle.kts"}, "Gradle build output", false},
        {"build", {"gradlew"}, "", true},
        {".gradle", {"gradlew"}, "Gradle project cache", false},
        {"target", {"pom.xml", "Cargo.toml"}, "Rust build output", false},
        {"target", {"pom.xml"}, "Maven build output", false},
        {".cxx", {"settings.gradle"}, "", true},
        {".cxx", {"build.gradle.kts"}, "Android native build files", false},
        {".venv", {}, "", true},
        {"venv", {"uv.lock"}, "Python environment", false},
        {"node_modules", {}, "", false},
        {"Node_Modules", {"package.json"}, "", true},
        {".turbo", {"turbo.json/"}, "Turborepo cache", false},  // a marker of any kind counts
    };
    for (const auto& c : cases) {
        Tree tree;
        for (const auto& marker : c.markers)
            marker.back() == '/' ? (void)tree.home.dir("root/p/" + marker) : (void)tree.home.file("root/p/" + marker);
        tree.home.dir("root/p/" + c.folder + "/probe/.git");
        const auto result = tree.find({"root"});
        const auto artifacts = tree.artifacts(result);
        const Names expected =
            c.label.empty() ? Names{} : Names{"root/p/" + c.folder + ": " + c.label + " @ root/p"};
        EXPECT_EQ(artifacts, expected) << c.folder << " " << c.markers.size();
        const auto projects = tree.projects(result);
        const bool entered = std::find(projects.begin(), projects.end(), "root/p/" + c.folder + "/probe (git)") !=
                             projects.end();
        EXPECT_EQ(entered, c.entered) << c.folder << " " << c.markers.size();
    }
}

TEST(ProjectFinderTest, LastChangeCountsOnlyTheProjectsOwnPlainFiles) {
    Tree tree;
    const auto at = [](int seconds) { return system_clock::time_point(std::chrono::seconds(seconds)); };
    const auto file = [&](const std::string& path, int seconds) {
        tree.home.file(path, 3);
        tree.home.setModified(path, at(seconds));
    };
    file("root/p/package.json", 1000);
    file("root/p/src/main.js", 2000);
    file("root/p/.DS_Store", 9000);
    file("root/p/node_modules/x.js", 9000);
    file("root/p/.git/index", 9000);
    file("root/p/nested/.git/HEAD", 9000);
    file("root/p/nested/lib.c", 5000);
    tree.home.symlink("root/p/link", "src/main.js");
    file("root/empty/.DS_Store", 9000);
    file("root/loose.txt", 9000);  // the root is not a project: no one owns it

    const auto result = ProjectFinder::find({tree.home.path("root")});
    EXPECT_EQ(result.projects.size(), 3u);
    const auto lastChange = [&](const std::string& relative) -> std::optional<system_clock::time_point> {
        for (const auto& project : result.projects)
            if (tree.relative(project.path) == relative) return project.lastChange;
        ADD_FAILURE() << "no project " << relative;
        return std::nullopt;
    };
    EXPECT_EQ(lastChange("root/empty"), std::nullopt);
    EXPECT_EQ(lastChange("root/p"), at(2000));
    EXPECT_EQ(lastChange("root/p/nested"), at(5000));
}

TEST(ProjectFinderTest, NestedRootsListEverythingOnceWithTheLaterArtifactRecord) {
    Tree tree;
    tree.home.dir("root/group/app/.git");
    tree.home.file("root/group/app/package.json");
    tree.home.dir("root/group/app/node_modules");
    tree.home.file("root/group/svc/package.json");
    tree.home.dir("root/group/svc/node_modules");

    const auto result = tree.find({"root", "root/group", "root/"});
    EXPECT_EQ(tree.projects(result), (Names{"root/group", "root/group/app (git)", "root/group/svc"}));
    EXPECT_EQ(tree.artifacts(result), (Names{"root/group/app/node_modules: Node packages @ root/group/app",
                                             "root/group/svc/node_modules: Node packages @ root/group/svc"}));
}

TEST(ProjectFinderTest, RootsAreCanonicalAndALinkedRootYieldsNothing) {
    Tree tree;
    tree.home.file("real/p/package.json");
    tree.home.dir("real/p/node_modules");
    tree.home.symlink("link", "real");
    tree.home.symlink("via", ".");

    EXPECT_TRUE(tree.find({"link"}).projects.empty());
    EXPECT_TRUE(tree.find({"link/"}).projects.empty());
    EXPECT_TRUE(tree.find({"missing", "real/p/package.json"}).projects.empty());

    // Through a linked parent folder, paths come out as the real folder's, and once.
    const auto result = tree.find({"via/real", "real"});
    EXPECT_EQ(tree.projects(result), Names{"real/p"});
    EXPECT_EQ(tree.artifacts(result), Names{"real/p/node_modules: Node packages @ real/p"});

    int visits = 0;
    ProjectFinder::find({tree.home.path("real"), tree.home.path("via/real/")}, [&] { return ++visits, false; });
    EXPECT_EQ(visits, 2) << "a root given twice is walked once";
}

TEST(ProjectFinderTest, CancellationReturnsWhatWasFoundSoFar) {
    Tree tree;
    tree.home.file("one/p/Cargo.toml");
    tree.home.dir("one/p/target");
    tree.home.file("one/p/package.json");
    tree.home.dir("one/p/node_modules");
    tree.home.dir("one/q/src");
    tree.home.dir("two/r");

    int calls = 0;
    const auto result = ProjectFinder::find({tree.home.path("one"), tree.home.path("two")},
                                            [&] { return ++calls > 2; });
    EXPECT_EQ(calls, 3) << "the remaining roots are skipped";
    ASSERT_EQ(result.projects.size(), 1u);
    const bool pFirst = tree.relative(result.projects[0].path) == "one/p";
    EXPECT_EQ(tree.artifacts(result).size(), pFirst ? 2u : 0u);
    EXPECT_TRUE(std::is_sorted(result.artifacts.begin(), result.artifacts.end(),
                               [](const auto& a, const auto& b) { return a.path < b.path; }));
}

TEST(ProjectFinderTest, UnreadableFoldersAreSkippedSilently) {
    Tree tree;
    tree.home.dir("root/open/.git");
    tree.home.dir("root/shut/inner/.git");
    tree.home.chmod("root/shut", 0);
    const auto base = tree.base;
    const auto answer = test::runAsNobody([&] {
        std::string out;
        for (const auto& project : ProjectFinder::find({base + "/root"}).projects) out += project.path + ";";
        return out;
    });
    // "shut" cannot be opened, so it is neither visited nor a project, and nothing below it is seen.
    EXPECT_EQ(answer, base + "/root/open;");
}

TEST(ProjectFinderTest, DefaultRootsOfferUsualFoldersThenMarkedFoldersOnce) {
    Tree tree;
    for (const auto* name : {"workspace", "Code", "src"}) tree.home.dir(name);
    tree.home.file("dev");                          // a file, not a folder
    tree.home.symlink("Projects", "workspace");     // a link to a folder is not offered
    tree.home.dir("src/.git");                      // usual and marked: offered once, in the first place
    tree.home.file("zeta/go.mod");
    tree.home.file("Alpha/Cargo.toml");
    tree.home.symlink("beta/package.json", "../zeta/go.mod");  // the marker test follows links
    tree.home.dir("Documents/.git");
    tree.home.dir(".config/.git");
    tree.home.dir("notes");
    tree.home.symlink("linked", "zeta");

    const auto roots = ProjectFinder::defaultRoots(tree.home.root());
    Names relative;
    for (const auto& root : roots) relative.push_back(tree.relative(root));
    EXPECT_EQ(relative, (Names{"Code", "src", "workspace", "Alpha", "beta", "zeta"}));

    EXPECT_TRUE(ProjectFinder::defaultRoots(tree.home.path("missing")).empty());
}

TEST(ProjectFinderTest, DefaultRootsKeepOneFolderReachedUnderTwoNames) {
    Tree tree;
    tree.home.dir("Code/app/.git");
    tree.home.dir("code");
    tree.home.symlink("home-link", ".");
    const auto linkedHome = tree.home.path("home-link");
    const auto base = tree.base;
    const auto answer = test::runInMountNamespace([&] {
        // Like one folder on a volume that ignores letter case: both names reach one inode.
        if (::mount((base + "/Code").c_str(), (base + "/code").c_str(), nullptr, MS_BIND, nullptr) != 0)
            return std::string("<bind mount failed>");
        std::string out;
        for (const auto& root : ProjectFinder::defaultRoots(linkedHome)) out += root + ";";
        return out;
    });
    if (!answer) GTEST_SKIP() << "no mount namespace here";
    EXPECT_EQ(*answer, base + "/Code;");
}

} // namespace
} // namespace tidra
