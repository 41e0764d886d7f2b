// The watcher is where events get lost: folders made after the start, skipped names,
// renamed folders, and batches that must arrive whole.
#include "platform/TreeWatcher.h"

#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <climits>
#include <condition_variable>
#include <cstdio>
#include <mutex>

namespace tidra::sys {
namespace {

using namespace std::chrono_literals;

std::string real(const std::string& path) {
    char resolved[PATH_MAX];
    return realpath(path.c_str(), resolved) ? resolved : path;
}

// Collects batches and lets a test wait for a path to show up.
class Batches {
public:
    TreeWatcher::Receiver receiver() {
        return [this](const TreeWatcher::Batch& batch) {
            std::lock_guard guard(lock_);
            batches_.push_back(batch);
            arrived_.notify_all();
        };
    }
    bool waitFor(const std::string& path) {
        std::unique_lock guard(lock_);
        return arrived_.wait_for(guard, 10s, [&] { return seenLocked(path); });
    }
    bool seen(const std::string& path) {
        std::lock_guard guard(lock_);
        return seenLocked(path);
    }
    std::vector<TreeWatcher::Batch> all() {
        std::lock_guard guard(lock_);
        return batches_;
    }

private:
    bool seenLocked(const std::string& path) const {
        for (const auto& batch : batches_)
            for (const auto& p : batch.paths)
                if (p == path) return true;
        return false;
    }
    std::mutex lock_;
    std::condition_variable arrived_;
    std::vector<TreeWatcher::Batch> batches_;
};

TEST(TreeWatcherTest, ReportsChangesBelowTheTreeButNotInSkippedFolders) {
    test::TempHome home;
    home.dir("project/src/deep");
    home.dir("project/node_modules/pkg");
    home.symlink("project/elsewhere", home.path("outside"));
    home.dir("outside");
    const std::string root = real(home.path("project"));
    Batches batches;
    TreeWatcher watcher({root}, {"node_modules"}, 20ms, batches.receiver());
    ASSERT_TRUE(watcher.running());
    // project, src, deep: neither the skipped folder nor the link's target.
    EXPECT_EQ(watcher.watchedFolderCount(), 3u);

    home.text("project/node_modules/pkg/index.js", "x");
    home.text("outside/file", "x");
    home.text("project/src/deep/main.c", "int main;");
    ASSERT_TRUE(batches.waitFor(root + "/src/deep/main.c"));
    EXPECT_FALSE(batches.seen(root + "/node_modules/pkg/index.js"));
    EXPECT_FALSE(batches.seen(root + "/elsewhere/file"));
}

TEST(TreeWatcherTest, WatchesFoldersMadeLaterAndFollowsRenames) {
    test::TempHome home;
    home.dir("project");
    const std::string root = real(home.path("project"));
    Batches batches;
    TreeWatcher watcher({root}, {"dist"}, 0ms, batches.receiver());

    home.dir("project/fresh/inner");
    ASSERT_TRUE(batches.waitFor(root + "/fresh"));
    home.text("project/fresh/inner/a.txt", "x");
    ASSERT_TRUE(batches.waitFor(root + "/fresh/inner/a.txt"));

    ASSERT_EQ(std::rename((root + "/fresh").c_str(), (root + "/moved").c_str()), 0);
    ASSERT_TRUE(batches.waitFor(root + "/moved"));
    home.text("project/moved/inner/b.txt", "x");
    ASSERT_TRUE(batches.waitFor(root + "/moved/inner/b.txt"));
    EXPECT_FALSE(batches.seen(root + "/fresh/inner/b.txt"));

    // A skipped name made later is reported itself but never entered.
    home.dir("project/dist");
    ASSERT_TRUE(batches.waitFor(root + "/dist"));
    home.text("project/dist/bundle.js", "x");
    home.text("project/after.txt", "x");
    ASSERT_TRUE(batches.waitFor(root + "/after.txt"));
    EXPECT_FALSE(batches.seen(root + "/dist/bundle.js"));
}

TEST(TreeWatcherTest, GathersOneBatchPerLatencyWithEachPathOnce) {
    test::TempHome home;
    home.dir("project");
    const std::string root = real(home.path("project"));
    Batches batches;
    TreeWatcher watcher({root}, {}, 500ms, batches.receiver());
    for (int i = 0; i < 5; ++i) home.text("project/a.txt", std::string(i + 1, 'x'));
    home.text("project/b.txt", "x");
    ASSERT_TRUE(batches.waitFor(root + "/b.txt"));
    const auto all = batches.all();
    ASSERT_EQ(all.size(), 1u);
    EXPECT_EQ(all[0].paths, (std::vector<std::string>{root + "/a.txt", root + "/b.txt"}));
    EXPECT_FALSE(all[0].overflowed);
}

TEST(TreeWatcherTest, MissingRootWatchesNothingAndStopsCleanly) {
    Batches batches;
    TreeWatcher watcher({"/nonexistent/tidra-folder"}, {}, 0ms, batches.receiver());
    EXPECT_EQ(watcher.watchedFolderCount(), 0u);
}

} // namespace
} // namespace tidra::sys
