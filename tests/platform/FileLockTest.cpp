#include "platform/FileLock.h"

#include "support/TempHome.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tidra::sys {
namespace {

using namespace std::chrono_literals;

TEST(FileLockTest, ExcludesOtherHoldersUntilReleased) {
    test::TempHome home;
    const std::string path = home.path("file.lock");
    {
        const FileLock first(path, 0ms);
        ASSERT_TRUE(first.held()) << first.error();
        // Another holder in this process and one in another process both wait in vain.
        const FileLock second(path, 20ms);
        EXPECT_FALSE(second.held());
        EXPECT_EQ(second.error(), "timed out");
        const pid_t child = ::fork();
        if (child == 0) ::_exit(FileLock(path, 20ms).held() ? 1 : 0);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    EXPECT_TRUE(FileLock(path, 0ms).held());
}

TEST(FileLockTest, ReportsALockFileThatCannotBeMade) {
    test::TempHome home;
    const FileLock lock(home.path("missing/file.lock"), 0ms);
    EXPECT_FALSE(lock.held());
    EXPECT_EQ(lock.error(), "No such file or directory");
}

} // namespace
} // namespace tidra::sys
