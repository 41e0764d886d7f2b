#include "cleanup/PinnedFolder.h"

#include "platform/FileStatus.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

namespace tidra {
namespace {

CleanupAction::Identity pinnedIdentityOf(const std::string& path) {
    const auto status = sys::FileStatus::of(path).value();
    return {status.device, status.inode};
}

TEST(PinnedFolderTest, ReadsTheFolderAndItsEntriesByIdentity) {
    test::TempHome fs;
    fs.file("home/Trash/files/a");
    fs.file("home/Trash/files/d/deeper");
    fs.symlink("home/Trash/files/link", fs.path("outside"));
    const auto pinned = PinnedFolder::read(fs.path("home"), fs.path("home/Trash/files"));
    ASSERT_TRUE(pinned);
    EXPECT_EQ(pinned->identity, pinnedIdentityOf(fs.path("home/Trash/files")));
    EXPECT_EQ(pinned->entries.size(), 3u);
    for (const char* name : {"a", "d", "link"})
        EXPECT_EQ(pinned->of(name), pinnedIdentityOf(fs.path("home/Trash/files/") + name)) << name;
    EXPECT_FALSE(pinned->of("missing").known());
}

TEST(PinnedFolderTest, AFolderReachedThroughALinkOrNotThereIsNotRead) {
    test::TempHome fs;
    fs.file("home/work/files/a");
    fs.symlink("home/Trash", fs.path("home/work"));
    fs.file("outside/files/a");
    for (const char* folder : {"home/Trash/files", "home/missing", "outside/files"})
        EXPECT_FALSE(PinnedFolder::read(fs.path("home"), fs.path(folder))) << folder;
}

} // namespace
} // namespace tidra
