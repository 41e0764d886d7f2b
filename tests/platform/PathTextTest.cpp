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

TEST(PathTextTest, KeepsBytesThatAreNotText) {
    const std::string path = "/d\xff/\xfe\x80";
    EXPECT_EQ(PathText::lastComponent(path), "\xfe\x80");
    EXPECT_EQ(PathText::parentFolder(path), "/d\xff");
}

} // namespace
} // namespace tidra::sys
