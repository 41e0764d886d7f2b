#include "platform/SearchPath.h"

#include <gtest/gtest.h>

namespace tidra::sys {
namespace {

TEST(SearchPathTest, KeepsOnlyAbsoluteFoldersInOrder) {
    using Folders = std::vector<std::string>;
    const std::pair<std::string, Folders> rows[] = {
        {"/usr/local/bin:/usr/bin:/bin", {"/usr/local/bin", "/usr/bin", "/bin"}},
        {"relative::/opt/bin:.:", {"/opt/bin"}},
        {":/a", {"/a"}},
        {"", {}},
    };
    for (const auto& [list, expected] : rows) EXPECT_EQ(SearchPath::folders(list), expected) << list;
}

} // namespace
} // namespace tidra::sys
