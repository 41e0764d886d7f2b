// The watcher is where events get lost: folders made after the start, skipped names,
// renamed folders, and batches that must arrive whole.
#include "platform/TreeWatcher.h"

#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sched.h>
#include <sys/wait.h>
#include <unistd.h>

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
        return arrived_.wait_for(guard, 60s, [&] { return seenLocked(path); });
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

// A folder that arrives already filled (moved in, or filled before its watch was added) has
// its contents reported too: no event would ever name them.
TEST(TreeWatcherTest, ReportsWhatAFolderHeldWhenItArrived) {
    test::TempHome home;
    home.dir("project");
    home.text("outside/full/inner/a.txt", "x");
    const std::string root = real(home.path("project"));
    Batches batches;
    TreeWatcher watcher({root}, {}, 0ms, batches.receiver());

    ASSERT_EQ(std::rename(home.path("outside/full").c_str(), (root + "/full").c_str()), 0);
    ASSERT_TRUE(batches.waitFor(root + "/full/inner/a.txt"));
    EXPECT_TRUE(batches.seen(root + "/full/inner"));
}

TEST(TreeWatcherTest, GathersOneBatchPerLatencyWithEachPathOnce) {
    test::TempHome home;
    home.dir("project");
    const std::string root = real(home.path("project"));
    Batches batches;
    // A window far longer than six small writes take, even on a loaded machine.
    TreeWatcher watcher({root}, {}, 3s, batches.receiver());
    for (int i = 0; i < 5; ++i) home.text("project/a.txt", std::string(i + 1, 'x'));
    home.text("project/b.txt", "x");
    ASSERT_TRUE(batches.waitFor(root + "/b.txt"));
    const auto all = batches.all();
    ASSERT_EQ(all.size(), 1u);
    EXPECT_EQ(all[0].paths, (std::vector<std::string>{root + "/a.txt", root + "/b.txt"}));
    EXPECT_FALSE(all[0].overflowed);
}

bool writeFile(const std::string& path, const std::string& text) {
    const int fd = open(path.c_str(), O_WRONLY);
    if (fd < 0) return false;
    const bool written = write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    close(fd);
    return written;
}

// Out of watches, the folders already watched keep reporting. The limit is lowered only inside
// a user namespace of a forked child, so nothing else on the machine notices.
TEST(TreeWatcherTest, KeepsWhatItWatchesWhenWatchesRunOut) {
    test::TempHome home;
    for (const char* folder : {"p/a/x", "p/b/y", "p/c/z"}) home.dir(folder);
    const std::string root = real(home.path("p"));
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const std::string uid = std::to_string(getuid());
        if (unshare(CLONE_NEWUSER) != 0 || !writeFile("/proc/self/uid_map", "0 " + uid + " 1") ||
            !writeFile("/proc/sys/user/max_inotify_watches", "3"))
            _exit(77);
        Batches batches;
        TreeWatcher watcher({root}, {}, 0ms, batches.receiver());
        if (!watcher.running() || watcher.watchedFolderCount() != 3) _exit(1);
        std::FILE* file = std::fopen((root + "/new.txt").c_str(), "w");
        if (file) std::fclose(file);
        _exit(batches.waitFor(root + "/new.txt") ? 0 : 2);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == 77) GTEST_SKIP() << "no user namespace with a lowered watch limit here";
    EXPECT_EQ(WEXITSTATUS(status), 0) << "1: not exactly the first three folders watched, 2: no event";
}

TEST(TreeWatcherTest, MissingRootWatchesNothingAndStopsCleanly) {
    Batches batches;
    TreeWatcher watcher({"/nonexistent/tidra-folder"}, {}, 0ms, batches.receiver());
    EXPECT_EQ(watcher.watchedFolderCount(), 0u);
}

} // namespace
} // namespace tidra::sys
