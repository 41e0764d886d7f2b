#include "platform/CloneKeys.h"

#include "support/MountNamespace.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <optional>
#include <string>
#include <vector>

namespace tidra::sys {
namespace {

std::string describe(std::optional<std::uint64_t> key) { return key ? "shared" : "-"; }

// On a fresh volume of `type` mounted on "mnt": what the probe tells of a plain file, its
// clone, an empty file and a link to the clone, and whether the clone's key is the original's.
std::string probe(test::TempHome& home, const std::string& type) {
    const auto folder = home.path("mnt");
    if (auto failed = test::mountImage(type, home.path(type + ".img"), folder); !failed.empty())
        return "<no image> " + failed;
    home.file("mnt/plain", 100000);
    home.file("mnt/original", 100000);
    home.clone("mnt/clone", "mnt/original");
    home.file("mnt/empty", 0);
    home.symlink("mnt/link", "clone");
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    std::string answer = CloneKeys::volumeCanShare(dir) ? "can share" : "cannot share";
    for (const char* name : {"plain", "original", "clone", "empty", "link", "missing"})
        answer += std::string(" ") + name + "=" + describe(CloneKeys::sharedExtent(dir, name));
    const auto original = CloneKeys::sharedExtent(dir, "original");
    answer += original == CloneKeys::sharedExtent(dir, "clone") ? " same key" : " different keys";
    ::close(dir);
    return answer;
}

TEST(CloneKeysTest, SharedExtentsOnBtrfsAndXfs) {
    for (const std::string type : {"btrfs", "xfs"}) {
        SCOPED_TRACE(type);
        test::TempHome home;
        home.dir("mnt");
        const auto answer = test::runInMountNamespace([&] { return probe(home, type); });
        if (!answer) GTEST_SKIP() << "no mount namespace here: cannot mount a " << type << " image";
        if (answer->starts_with("<no image>")) GTEST_SKIP() << "cannot mount a " << type << " image: " << *answer;
        EXPECT_EQ(*answer, "can share plain=- original=shared clone=shared empty=- link=- missing=- same key");
    }
}

TEST(CloneKeysTest, OtherFileSystemsCannotShare) {
    test::TempHome home;
    const auto folder = home.dir("mnt");
    const auto answer = test::runInMountNamespace([&] {
        if (!test::mountTmpfs(folder)) return std::string("<no tmpfs>");
        const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        const bool canShare = CloneKeys::volumeCanShare(dir);
        ::close(dir);
        return std::string(canShare ? "can share" : "cannot share");
    });
    if (!answer || *answer == "<no tmpfs>") GTEST_SKIP() << "cannot mount a tmpfs here";
    EXPECT_EQ(*answer, "cannot share");
    EXPECT_FALSE(CloneKeys::volumeCanShare(-1));
}

} // namespace
} // namespace tidra::sys
