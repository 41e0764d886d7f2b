#include "platform/EntryAttributes.h"

#include "support/TempHome.h"

#include <gtest/gtest.h>

namespace tidra::sys {
namespace {

using namespace std::chrono;

TEST(EntryAttributesTest, ModificationTimeOfTheEntryItself) {
    test::TempHome home;
    const auto old = system_clock::from_time_t(1'600'000'000);
    home.file("file");
    home.setModified("file", old);
    home.symlink("link", home.path("file"));
    EXPECT_EQ(modificationTime(home.path("file")), old);
    ASSERT_TRUE(modificationTime(home.path("link")));
    EXPECT_NE(*modificationTime(home.path("link")), old);
    EXPECT_FALSE(modificationTime(home.path("missing")));
}

TEST(EntryAttributesTest, LinkTargetIsTheStoredText) {
    test::TempHome home;
    home.dir("dir");
    home.symlink("relative", "versions/3.19.0/");
    const std::string longTarget(3000, 'x');
    home.symlink("long", longTarget);
    EXPECT_EQ(linkTarget(home.path("relative")), "versions/3.19.0/");
    EXPECT_EQ(linkTarget(home.path("long")), longTarget);
    EXPECT_FALSE(linkTarget(home.path("dir")));
    EXPECT_FALSE(linkTarget(home.path("missing")));
}

} // namespace
} // namespace tidra::sys
