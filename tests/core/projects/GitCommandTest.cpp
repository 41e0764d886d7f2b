#include "projects/GitCommand.h"

#include "cleanup/Cleaner.h"
#include "projects/Worktrees.h"

#include "support/GitFixture.h"
#include "support/FileProbe.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <utime.h>

namespace tidra {
namespace {

using namespace std::string_literals;
using Names = std::vector<std::string>;

TEST(GitCommandTest, OnlyTheRepositorysOwnFilterDriversAreSwitchedOff) {
    const std::pair<std::string, Names> rows[] = {
        {"", {}},
        {"local\0filter.evil.clean\0local\0filter.evil.required\0"s, {"evil"}},
        {"worktree\0filter.a.b.process\0"s, {"a.b"}},
        {"global\0filter.lfs.clean\0system\0filter.x.smudge\0"s, {}},
        {"local\0filter.\0local\0core.fsmonitor\0local\0filter.odd\0"s, {}},
    };
    for (const auto& [output, drivers] : rows) EXPECT_EQ(GitCommand::repositoryFilters(output), drivers) << output;
    EXPECT_EQ(GitCommand::arguments("/r", {"status"}, {"evil"}),
              (Names{"-c", "core.fsmonitor=false", "-c", "core.hooksPath=/dev/null", "-c", "log.showSignature=false",
                     "-c", "filter.evil.clean=", "-c", "filter.evil.smudge=", "-c", "filter.evil.process=",
                     "-c", "filter.evil.required=false", "-C", "/r", "status"}));
}

// A repository whose own settings start programs: an fsmonitor command and a filter on every
// file. Each program leaves a marker file behind when it runs.
class HostileRepositoryTest : public ::testing::Test {
protected:
    HostileRepositoryTest() {
        worktree = git.addWorktree("hostile", "hostile");
        git.commit(worktree, "notes.txt", "notes");
        const std::string fsmonitor = script("fsmonitor", "exit 1");
        const std::string filter = script("filter", "cat");
        git.git(git.repo(), {"config", "core.fsmonitor", fsmonitor});
        git.git(git.repo(), {"config", "filter.evil.clean", filter});
        git.git(git.repo(), {"config", "filter.evil.required", "true"});
        git.write(git.repo(), ".git/info/attributes", "* filter=evil\n");
    }

    std::string script(const std::string& name, const std::string& rest) {
        const std::string path = git.home.text("tools/" + name, "#!/bin/sh\ntouch " + marker(name) + "\n" + rest + "\n");
        git.home.chmod("tools/" + name, 0755);
        return path;
    }
    std::string marker(const std::string& name) const { return git.home.path("ran-" + name); }
    bool ran(const std::string& name) const { return test::exists(marker(name)); }

    // New timestamps make git look at the files' contents, through the filter.
    void touchFiles() {
        for (const char* file : {"README", "notes.txt"}) ::utime((worktree + "/" + file).c_str(), nullptr);
        ::unlink(marker("fsmonitor").c_str());
        ::unlink(marker("filter").c_str());
    }

    test::GitFixture git;
    std::string worktree;
};

TEST_F(HostileRepositoryTest, StatusAndWorktreeRemovalRunNoneOfItsPrograms) {
    // The fixture is hostile indeed: plain git runs both programs.
    touchFiles();
    test::runGit(worktree, {"status", "--porcelain"});
    ASSERT_TRUE(ran("fsmonitor") && ran("filter"));

    touchFiles();
    const auto status = Worktrees::run(worktree, {"status", "--porcelain=v1", "-z", "--ignored=matching"});
    ASSERT_TRUE(status && status->succeeded()) << (status ? status->standardError : "not started");
    EXPECT_FALSE(Worktrees::list(git.repo(), [](const std::string&) { return Names{}; }).empty());
    const Cleaner cleaner(PathGuard(git.home.root(), git.home.path("Applications"), ""));
    const auto report = cleaner.perform(CleanupAction::RemoveWorktree{git.repo(), worktree, {}});
    EXPECT_EQ(report.removed, 1);
    EXPECT_EQ(report.failures, std::vector<CleanReport::Failure>{});
    EXPECT_FALSE(test::exists(worktree));
    EXPECT_FALSE(ran("fsmonitor"));
    EXPECT_FALSE(ran("filter"));
}

} // namespace
} // namespace tidra
