#include "platform/FileStore.h"

#include "support/RunAsNobody.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace tidra::sys {
namespace {

using ReadStatus = FileStore::Contents::Status;

TEST(FileStoreTest, ReadTellsAbsentFromUnreadable) {
    test::TempHome home;
    home.text("plain", "hello");
    home.file("big", 200'000);
    home.text("secret", "x");
    home.chmod("secret", 0000);
    home.dir("folder");

    EXPECT_EQ(FileStore::read(home.path("plain")).data, "hello");
    EXPECT_EQ(FileStore::read(home.path("big")).data.size(), 200'000u);
    EXPECT_EQ(FileStore::read(home.path("missing")).status, ReadStatus::absent);
    EXPECT_EQ(FileStore::read(home.path("plain/below")).status, ReadStatus::absent);
    home.symlink("zeros", "/dev/zero");
    const std::pair<std::string, std::string> refused[] = {
        {"folder", "not a regular file"},
        // Endless: refused before a byte is read.
        {"zeros", "not a regular file"},
    };
    for (const auto& [name, reason] : refused) {
        const auto contents = FileStore::read(home.path(name));
        EXPECT_EQ(contents.status, ReadStatus::failed) << name;
        EXPECT_EQ(contents.error, reason) << name;
    }
    EXPECT_EQ(FileStore::read(home.path("big"), 199'999).error, "too large");
    EXPECT_EQ(test::runAsNobody([&] {
                  const auto contents = FileStore::read(home.path("secret"));
                  return contents.status == ReadStatus::failed ? contents.error : "read";
              }),
              "Permission denied");
}

TEST(FileStoreTest, WriteAtomicallyReplacesWholeAndLeavesNoTemporaryFile) {
    test::TempHome home;
    const std::string path = home.path("data.json");
    EXPECT_EQ(FileStore::writeAtomically(path, "first"), std::nullopt);
    EXPECT_EQ(FileStore::writeAtomically(path, "second, longer"), std::nullopt);
    EXPECT_EQ(FileStore::read(path).data, "second, longer");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(home.root()), {}), 1);

    EXPECT_NE(FileStore::writeAtomically(home.path("missing/data.json"), "x"), std::nullopt);
    home.dir("readonly", 0555);
    home.text("readonly/data.json", "old");
    EXPECT_NE(test::runAsNobody([&] { return FileStore::writeAtomically(home.path("readonly/data.json"), "new").value_or(""); }),
              "");
    EXPECT_EQ(FileStore::read(home.path("readonly/data.json")).data, "old");
}

TEST(FileStoreTest, RenameNoReplaceKeepsAnExistingTarget) {
    test::TempHome home;
    home.text("a", "A");
    home.text("b", "B");
    EXPECT_EQ(FileStore::renameNoReplace(home.path("a"), home.path("b")), "exists");
    EXPECT_EQ(FileStore::read(home.path("b")).data, "B");
    EXPECT_EQ(FileStore::renameNoReplace(home.path("a"), home.path("c")), std::nullopt);
    EXPECT_EQ(FileStore::read(home.path("c")).data, "A");
    EXPECT_EQ(FileStore::read(home.path("a")).status, ReadStatus::absent);
    EXPECT_NE(FileStore::renameNoReplace(home.path("a"), home.path("d")), std::nullopt);
}

TEST(FileStoreTest, MakeFoldersCreatesParents) {
    test::TempHome home;
    home.text("file", "");
    EXPECT_TRUE(FileStore::makeFolders(home.path("a/b/c")));
    EXPECT_TRUE(std::filesystem::is_directory(home.path("a/b/c")));
    EXPECT_TRUE(FileStore::makeFolders(home.path("a/b/c")));
    EXPECT_FALSE(FileStore::makeFolders(home.path("file")));
    EXPECT_FALSE(FileStore::makeFolders(home.path("file/sub")));
}

} // namespace
} // namespace tidra::sys
