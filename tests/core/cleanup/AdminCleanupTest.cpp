#include "cleanup/AdminCleanup.h"

#include "support/FakeTool.h"
#include "support/MountNamespace.h"
#include "support/TempHome.h"
#include "system/Shell.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace tidra {
namespace {

using namespace std::chrono_literals;

const std::string yarn = "/usr/local/share/Library/Caches/Yarn";
const std::string linuxYarn = "/usr/local/share/.cache/yarn";

TEST(AdminCleanupTest, CommandOnlyForAllowListedPaths) {
    EXPECT_EQ(AdminCleanup::allowedPaths(), (std::set<std::string>{yarn, linuxYarn}));
    const struct {
        std::vector<std::string> paths;
        std::optional<std::string> command;
    } cases[] = {
        {{}, std::nullopt},
        {{yarn}, "/bin/rm -rf -- '/usr/local/share/Library/Caches/Yarn'"},
        {{yarn, linuxYarn}, "/bin/rm -rf -- '/usr/local/share/Library/Caches/Yarn' '/usr/local/share/.cache/yarn'"},
        {{linuxYarn + "/.."}, std::nullopt},
        {{yarn, "/etc"}, std::nullopt},
        {{"/etc", yarn}, std::nullopt},
        {{yarn + "/"}, std::nullopt},
        {{"/usr/local/share/Library/Caches/Yarn/../../../../../etc"}, std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(AdminCleanup::command(c.paths), c.command) << testing::PrintToString(c.paths);
}

TEST(AdminCleanupTest, QuotedPathReachesTheShellWhole) {
    for (const std::string path : {"/it's here", "''", "/a b/$(id)/`id`;\"\\\n*", "/x'", ""}) {
        const auto output = Shell::run("/bin/sh", {"-c", "printf '%s' " + AdminCleanup::shellQuoted(path)}, {}, 20s);
        ASSERT_TRUE(output);
        EXPECT_EQ(output->standardOutput, path);
    }
    EXPECT_EQ(AdminCleanup::shellQuoted("it's"), "'it'\\''s'");
}

TEST(AdminCleanupTest, RefusesPathsSomeoneElseCouldSwap) {
    test::TempHome home;
    home.dir("cache");
    home.symlink("link", "cache");
    const struct {
        std::string path;
        std::optional<std::string> reason;
    } cases[] = {
        {"/usr/lib/tidra-not-there/inner", std::nullopt},
        {"/usr/lib", std::nullopt},
        {home.path("link"), "is a symbolic link"},
        // Temporary folders sit in the world-writable /tmp.
        {home.path("cache"), "a parent folder is not owned and writable by root alone"},
        {home.path("link/inner"), "a parent folder is not owned and writable by root alone"},
    };
    for (const auto& c : cases) EXPECT_EQ(AdminCleanup::refusal(c.path), c.reason) << c.path;
}

// Parents that root alone may change, and parents someone else may, side by side on a tmpfs
// mounted over /mnt in a private namespace, below parents that are root's alone.
TEST(AdminCleanupTest, EveryParentMustBeRootsAndWritableByRootAlone) {
    const auto answer = test::runInMountNamespace([] {
        if (!test::mountTmpfs("/mnt")) return std::string("no mount");
        const struct {
            const char* folder;
            mode_t mode;
            uid_t owner;
        } parents[] = {{"/mnt/plain", 0755, 0}, {"/mnt/group", 0775, 0}, {"/mnt/others", 0757, 0}, {"/mnt/nobody", 0755, 65534}};
        std::string out;
        for (const auto& parent : parents) {
            if (::mkdir(parent.folder, 0700) != 0 || ::chmod(parent.folder, parent.mode) != 0 ||
                ::chown(parent.folder, parent.owner, 0) != 0)
                return std::string("cannot make ") + parent.folder;
            out += std::string(parent.folder) + "=" +
                   AdminCleanup::refusal(std::string(parent.folder) + "/Caches/Yarn").value_or("ok") + ";";
        }
        return out;
    });
    if (!answer) GTEST_SKIP() << test::kNoMountNamespace;
    const std::string refused = "a parent folder is not owned and writable by root alone";
    EXPECT_EQ(*answer, "/mnt/plain=ok;/mnt/group=" + refused + ";/mnt/others=" + refused + ";/mnt/nobody=" + refused + ";");
}

TEST(AdminCleanupTest, NeverRunsForPathsOffTheList) {
    test::TempHome home;
    test::FakeTool pkexec(home.path("pkexec"), {});
    for (const auto& paths : std::vector<std::vector<std::string>>{{}, {yarn + "/"}, {yarn, home.root()}})
        EXPECT_EQ(AdminCleanup::remove(paths, "why", pkexec.path()), "not on the list of folders Tidra may remove");
    EXPECT_TRUE(pkexec.calls().empty());
}

TEST(AdminCleanupTest, MapsWhatPkexecAnswers) {
    if (auto reason = AdminCleanup::refusal(yarn)) GTEST_SKIP() << "this machine's " << yarn << ": " << *reason;
    const struct {
        int status;
        std::string standardError;
        std::optional<std::string> message;
    } cases[] = {
        {0, "", std::nullopt},
        {126, "Error executing command as another user: Not authorized\n", "cancelled"},
        {127, "\n  Error executing command as another user: No authentication agent found.\n",
         "Error executing command as another user: No authentication agent found."},
        {127, " \n", "exit code 127"},
        {1, "/bin/rm: cannot remove 'x': Read-only file system\n", "/bin/rm: cannot remove 'x': Read-only file system"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.status);
        test::TempHome home;
        test::FakeTool::Answer answer;
        answer.standardError = c.standardError;
        answer.exitStatus = c.status;
        test::FakeTool pkexec(home.path("pkexec"), answer);
        EXPECT_EQ(AdminCleanup::remove({yarn}, "Tidra wants to remove the Yarn cache.", pkexec.path()), c.message);
        EXPECT_EQ(pkexec.arguments(), (std::vector<std::string>{"/bin/rm", "-rf", "--one-file-system", "--", yarn}));
    }
}

// pkexec answering success while the folder stays is no success.
TEST(AdminCleanupTest, FolderStillThereAfterSuccessIsAFailure) {
    const auto answer = test::runInMountNamespace([] {
        if (!test::mountTmpfs("/usr/local/share") || ::chmod("/usr/local/share", 0755) != 0 ||
            ::mkdir("/usr/local/share/.cache", 0755) != 0 || ::mkdir(linuxYarn.c_str(), 0755) != 0)
            return std::string("no mount");
        test::TempHome home;
        test::FakeTool pkexec(home.path("pkexec"), {});
        return AdminCleanup::remove({linuxYarn}, "why", pkexec.path()).value_or("success");
    });
    if (!answer || *answer == "no mount") GTEST_SKIP() << test::kNoMountNamespace;
    EXPECT_EQ(*answer, "still there");
}

TEST(AdminCleanupTest, MissingPkexecCannotStart) {
    if (auto reason = AdminCleanup::refusal(yarn)) GTEST_SKIP() << "this machine's " << yarn << ": " << *reason;
    test::TempHome home;
    EXPECT_EQ(AdminCleanup::remove({yarn}, "why", home.path("no-pkexec")), "pkexec could not be started");
}

} // namespace
} // namespace tidra
