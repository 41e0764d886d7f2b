#include "platform/FileAccess.h"

#include "support/RunAsNobody.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>

namespace tidra::sys {
namespace {

TEST(FileAccessTest, ExistenceAndKinds) {
    test::TempHome home;
    home.file("file", 1);
    home.dir("dir");
    home.symlink("dangling", home.path("nowhere"));
    home.symlink("dirlink", home.path("dir"));
    home.text("tool", "#!/bin/sh\n");
    home.chmod("tool", 0755);
    struct Row {
        const char* name;
        bool entry, directory, following, executable, link;
    };
    const Row rows[] = {
        {"file", true, false, true, false, false},     {"dir", true, true, true, false, false},
        {"dangling", true, false, false, false, true}, {"dirlink", true, false, true, false, true},
        {"tool", true, false, true, true, false},      {"missing", false, false, false, false, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const std::string p = home.path(row.name);
        EXPECT_EQ(entryExists(p), row.entry);
        EXPECT_EQ(isDirectoryNoFollow(p), row.directory);
        EXPECT_EQ(existsFollowingLinks(p), row.following);
        EXPECT_EQ(isExecutableFile(p), row.executable);
        EXPECT_EQ(isSymbolicLink(p), row.link);
    }
}

TEST(FileAccessTest, StickyFolderKeepsOthersEntries) {
    test::TempHome home;
    home.dir("sticky", 01777);
    home.file("sticky/roots", 1);
    const std::string answer = test::runAsNobody([&] {
        const std::string own = home.path("sticky/mine");
        ::close(::open(own.c_str(), O_CREAT | O_WRONLY, 0644));
        return std::string(isDeletable(home.path("sticky/roots")) ? "roots:yes" : "roots:no") +
               (isDeletable(own) ? " mine:yes" : " mine:no") + (isWritable(home.path("sticky")) ? " w" : " -");
    });
    EXPECT_EQ(answer, "roots:no mine:yes w");
}

TEST(FileAccessTest, FolderEntries) {
    test::TempHome home;
    home.file("f/b");
    home.file("f/.a");
    home.dir("f/c");
    auto names = folderEntries(home.path("f"));
    ASSERT_TRUE(names);
    std::sort(names->begin(), names->end());
    EXPECT_EQ(*names, (std::vector<std::string>{".a", "b", "c"}));
    EXPECT_FALSE(folderEntries(home.path("missing")));
    EXPECT_FALSE(folderEntries(home.path("f/b")));
    EXPECT_TRUE(canList(home.path("f")));
    EXPECT_TRUE(canList(home.path("f/c")));
    EXPECT_FALSE(canList(home.path("missing")));
    EXPECT_FALSE(canList(home.path("f/b")));
}

TEST(FileAccessTest, RealPathResolvesEveryLinkOrAnswersNothing) {
    test::TempHome home;
    home.file("dir/file");
    home.symlink("dirlink", home.path("dir"));
    home.symlink("filelink", "dirlink/file");
    home.symlink("dangling", home.path("nowhere"));
    const auto base = realPath(home.root());
    ASSERT_TRUE(base);
    EXPECT_EQ(realPath(home.path("dirlink/file")), *base + "/dir/file");
    EXPECT_EQ(realPath(home.path("filelink")), *base + "/dir/file");
    EXPECT_EQ(realPath(home.path("dir/../dirlink")), *base + "/dir");
    EXPECT_EQ(realPath(home.path("missing")), std::nullopt);
    EXPECT_EQ(realPath(home.path("dangling")), std::nullopt);
    EXPECT_EQ(realPath(home.path("dir/file/below")), std::nullopt);
    EXPECT_EQ(realPath(""), std::nullopt);
}

} // namespace
} // namespace tidra::sys
