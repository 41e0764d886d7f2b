#include "fs/BulkWalker.h"
#include "fs/SizeScanner.h"

#include "support/DeepTree.h"
#include "support/MountNamespace.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>
#include <tbb/task_arena.h>

namespace tidra {
namespace {

// A tree deeper than any recursion could take and longer than PATH_MAX: the walker and the size
// scanner must come back on a small stack and count what they can reach.
TEST(DeepTreeWalkTest, WalkerAndSizeScannerComeBackFromATreeDeeperThanPathMax) {
    test::TempHome fs;
    const auto answer = test::runInMountNamespace([&] {
        if (!test::mountTmpfs(fs.dir("disk"))) return std::string("no mount");
        test::makeDeepTree(fs.dir("disk/tree"), 4200);
        fs.file("disk/tree/top", 1);
        const std::string root = fs.path("disk/tree");
        return test::onSmallStack([&] {
            int bulkFolders = 0, bulkUnreadable = 0;
            BulkWalker::walk(root, [&](BulkFolder&) { return ++bulkFolders > 0; },
                             [&](const std::string&) { ++bulkUnreadable; });
            SizeResult size;
            tbb::task_arena(1).execute([&] { size = SizeScanner::measure({root}, [] { return false; }); });
            return std::to_string(bulkFolders > 2000) + std::to_string(bulkUnreadable) + "|" +
                   std::to_string(size.files) + std::to_string(size.unreadableDirectories);
        });
    });
    if (!answer) GTEST_SKIP() << test::kNoMountNamespace;
    EXPECT_EQ(*answer, "11|11");
}

} // namespace
} // namespace tidra
