#include "system/PrivacyAccess.h"

#include "support/RunAsNobody.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

namespace tidra {
namespace {

TEST(PrivacyAccessTest, GrantedWhenTheHomeCanBeListed) {
    test::TempHome fixture;
    fixture.dir("empty");
    fixture.dir("private", 0700);
    fixture.file("plain", 1);
    const std::string answer = test::runAsNobody([&] {
        std::string out;
        for (const char* name : {"empty", "private", "plain", "missing"})
            out += std::string(name) + "=" + (PrivacyAccess::hasFullDiskAccess(fixture.path(name)) ? "yes" : "no") + " ";
        return out;
    });
    EXPECT_EQ(answer, "empty=yes private=no plain=no missing=no ");
}

TEST(PrivacyAccessTest, AppContainerFolders) {
    EXPECT_EQ(PrivacyAccess::appContainerFolders("/home/ann"),
              (std::set<std::string>{"/home/ann/Library/Containers", "/home/ann/Library/Group Containers"}));
}

} // namespace
} // namespace tidra
