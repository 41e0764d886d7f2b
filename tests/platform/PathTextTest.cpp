#include "platform/PathText.h"

#include <gtest/gtest.h>

namespace tidra::sys {
namespace {

TEST(PathTextTest, SplitsAtTheLastSlash) {
    struct Row {
        const char* path;
        const char* last;
        const char* parent;
    };
    const Row rows[] = {
        {"/home/u/file.txt", "file.txt", "/home/u"},
        {"/file", "file", "/"},
        {"/", "", "/"},
        {"/home/u/", "", "/home/u"},
        {"name", "name", ""},
        {"", "", ""},
        {"a/b", "b", "a"},
        {"/a/..", "..", "/a"},
        {"//x", "x", "/"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.path);
        EXPECT_EQ(PathText::lastComponent(row.path), row.last);
        EXPECT_EQ(PathText::parentFolder(row.path), row.parent);
    }
}

TEST(PathTextTest, InsideMeansBelowAWholeFolderName) {
    struct Row {
        const char* path;
        const char* folder;
        bool inside;
        bool atOrInside;
    };
    const Row rows[] = {
        {"/home/al/x", "/home/al", true, true},
        {"/home/al/x/y", "/home/al", true, true},
        {"/home/al", "/home/al", false, true},
        {"/home/alice/x", "/home/al", false, false},
        {"/home/alice", "/home/al", false, false},
        {"/home/al.old/x", "/home/al", false, false},
        {"/home", "/home/al", false, false},
        {"/home/al/", "/home/al", true, true},
        {"/home/al/x", "/home/al/", false, false},
        {"/home/al", "/home/al/", false, false},
        {"/x", "/", false, false},
        {"/", "/", false, true},
        {"/x", "", false, false},
        {"", "", false, false},
        {"relative/x", "relative", true, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.path) + " in " + row.folder);
        EXPECT_EQ(PathText::isInside(row.path, row.folder), row.inside);
        EXPECT_EQ(PathText::isAtOrInside(row.path, row.folder), row.atOrInside);
    }
}

TEST(PathTextTest, KeepsBytesThatAreNotText) {
    const std::string path = "/d\xff/\xfe\x80";
    EXPECT_EQ(PathText::lastComponent(path), "\xfe\x80");
    EXPECT_EQ(PathText::parentFolder(path), "/d\xff");
}

} // namespace
} // namespace tidra::sys
