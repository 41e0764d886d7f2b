// The fixture builders are the ground every other test stands on; check what they promise.
#include "support/FakeTool.h"
#include "support/RunAsNobody.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

namespace tidra::test {
namespace {

TEST(TempHomeTest, BuildsFilesLinksModesAndTimes) {
    std::string root;
    {
        TempHome home;
        root = home.root();
        home.file("a/b/data.bin", 10'000);
        home.hardlink("a/second", "a/b/data.bin");
        home.symlink("a/link", "b/data.bin");
        home.dir("locked", 0000);
        home.file("locked/inner", 1);  // parent made before the mode was set
        home.setModified("a/b/data.bin", std::chrono::system_clock::time_point(std::chrono::seconds(1'000'000)));

        struct stat st{};
        ASSERT_EQ(::lstat(home.path("a/b/data.bin").c_str(), &st), 0);
        EXPECT_EQ(st.st_size, 10'000);
        EXPECT_GE(st.st_blocks * 512, 10'000);  // written, not sparse
        EXPECT_EQ(st.st_nlink, 2u);
        EXPECT_EQ(st.st_mtime, 1'000'000);
        ASSERT_EQ(::lstat(home.path("a/link").c_str(), &st), 0);
        EXPECT_TRUE(S_ISLNK(st.st_mode));
        home.chmod("locked", 0000);
    }
    struct stat st{};
    EXPECT_NE(::lstat(root.c_str(), &st), 0) << "fixture left behind";
}

TEST(FakeToolTest, RecordsArgumentsAndEnvironmentAndAnswers) {
    TempHome home;
    FakeTool tool(home.path("tool"), {"out\n", "err\n", 3});
    const std::string command = tool.path() + " 'a b' '' 'x;y' > " + home.path("o") + " 2> " + home.path("e");
    ::setenv("TIDRA_FAKE_PROBE", "42", 1);
    const int status = std::system(command.c_str());
    ::unsetenv("TIDRA_FAKE_PROBE");
    EXPECT_EQ(WEXITSTATUS(status), 3);
    EXPECT_EQ(tool.arguments(), (std::vector<std::string>{"a b", "", "x;y"}));
    EXPECT_EQ(tool.calls().size(), 1u);
    EXPECT_EQ(tool.environment()["TIDRA_FAKE_PROBE"], "42");
}

TEST(RunAsNobodyTest, ChildDropsPrivilegesAndAnswers) {
    const std::string answer = runAsNobody([] { return std::to_string(::geteuid()); });
    if (::geteuid() == 0) EXPECT_EQ(answer, "65534");
    else EXPECT_EQ(answer, std::to_string(::geteuid()));
    EXPECT_EQ(runAsNobody([]() -> std::string { std::abort(); }).rfind("<child failed", 0), 0u);
}

} // namespace
} // namespace tidra::test
