#include "platform/MountTable.h"

#include <gtest/gtest.h>

namespace tidra::sys {
namespace {

TEST(MountTableTest, MountPointsAreReadWithTheirEscapesUndone) {
    const std::string mountinfo =
        "22 1 0:21 / / rw - ext4 /dev/vda rw\n"
        "36 22 0:40 / /home/ann/My\\040Projects/wt/cache rw - tmpfs tmpfs rw\n"
        "37 22 0:41 / /tab\\011and\\134slash rw - tmpfs tmpfs rw\n"
        "garbage\n";
    EXPECT_EQ(MountTable::mountPoints(mountinfo),
              (std::vector<std::string>{"/", "/home/ann/My Projects/wt/cache", "/tab\tand\\slash"}));
    EXPECT_TRUE(MountTable::firstAtOrBelow("/"));
    EXPECT_EQ(MountTable::firstAtOrBelow("/proc/self"), std::nullopt);
}

} // namespace
} // namespace tidra::sys
