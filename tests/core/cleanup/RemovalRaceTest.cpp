// Removals raced by a process swapping the folders being removed for links, in a tight loop.
// A cleaner run by root on a home that belongs to an ordinary user, while that user's own
// process keeps swapping the folders being removed, above and below the judged paths, for
// links to ~/.ssh or to a root-owned tree outside the home; and the removal of a worktree and
// the emptying of the Trash, raced by a process of the same user. Whoever wins each race,
// nothing outside the folders chosen may go. TIDRA_RACE_ROUNDS sets the rounds (the benchmark
// script runs more).
#include "cleanup/Cleaner.h"

#include "cleanup/PinnedFolder.h"
#include "platform/SafeRemove.h"
#include "support/FileProbe.h"
#include "support/GitFixture.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>
#include <grp.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace tidra {
namespace {

constexpr uid_t kNobody = 65534;

int roundsToRun(int usual = 100) {
    const char* text = std::getenv("TIDRA_RACE_ROUNDS");
    return text && std::atoi(text) > 0 ? std::atoi(text) : usual;
}

// One move of the attacker: the folder and where its stand-in link points.
struct Swap {
    std::string folder;
    std::string link;   // a link prepared beside the folder, for RENAME_EXCHANGE
    std::string away;   // where the folder goes while a link takes its name
    std::string target; // what the links point to
};

// A moment for the cleaner to meet the swapped state.
void pause() {
    for (int spin = 0; spin < 200; ++spin) asm volatile("");
}

// Swaps forever, as the user; only async-signal-safe calls after the fork.
[[noreturn]] void attack(const std::vector<Swap>& swaps) {
    for (unsigned i = 0;; ++i) {
        const Swap& s = swaps[i % swaps.size()];
        if ((i / swaps.size()) % 2 == 0) {
            ::renameat2(AT_FDCWD, s.folder.c_str(), AT_FDCWD, s.link.c_str(), RENAME_EXCHANGE);
            pause();
            ::renameat2(AT_FDCWD, s.folder.c_str(), AT_FDCWD, s.link.c_str(), RENAME_EXCHANGE);
        } else if (::rename(s.folder.c_str(), s.away.c_str()) == 0) {
            ::symlink(s.target.c_str(), s.folder.c_str());
            pause();
            ::unlink(s.folder.c_str());
            ::rename(s.away.c_str(), s.folder.c_str());
        }
    }
}

// Puts back what the attacker may have left swapped: the folder at its name, links gone.
void putBackSwapped(const std::vector<Swap>& swaps) {
    for (const auto& s : swaps) {
        if (test::isLink(s.folder)) ::unlink(s.folder.c_str());
        if (!test::exists(s.folder)) ::rename((test::isLink(s.link) ? s.away : s.link).c_str(), s.folder.c_str());
        ::unlink(s.link.c_str());
    }
}

// The regular files below `folder` with their contents, links not followed.
std::map<std::string, std::string> filesBelow(const std::string& folder) {
    std::map<std::string, std::string> all;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
        if (entry.is_regular_file() && !entry.is_symlink()) all[entry.path().string()] = test::readFile(entry.path());
    return all;
}

// Races of the user's own process against a cleaner of the same user: it exchanges the folder
// being removed with a link, or moves it away and links its name, over and over.
class SameUserRace : public ::testing::Test {
protected:
    // A swap of `folder` for a link to `target`, its link prepared beside it.
    void addSwap(const std::string& folder, const std::string& target) {
        swaps_.push_back({folder, folder + ".link", folder + ".away", target});
    }

    pid_t startAttacker() {
        for (const auto& s : swaps_) ::symlink(s.target.c_str(), s.link.c_str());
        const pid_t pid = ::fork();
        if (pid == 0) attack(swaps_);
        return pid;
    }

    void stopAttacker(pid_t pid) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
        putBackSwapped(swaps_);
    }

    std::vector<Swap> swaps_;
};

// git removed a worktree by its path, and so whatever a link put there led to: here a copy of
// the worktree the user keeps elsewhere, which git takes for the worktree itself.
class WorktreeRaceTest : public SameUserRace {
protected:
    WorktreeRaceTest() {
        git.ignore("node_modules");
        addSwap(wt, copy);
    }

    test::GitFixture git;
    const std::string wt = git.home.path("wt/feature");
    const std::string copy = git.home.path("work/feature");
};

TEST_F(WorktreeRaceTest, NothingBesideTheWorktreeGoesWhoeverRaces) {
    const Cleaner cleaner(PathGuard(git.home.root(), git.home.path("Applications"), ""));
    const int rounds = roundsToRun(30);
    for (int round = 0; round < rounds; ++round) {
        test::runGit(git.repo(), {"worktree", "add", "-q", "--detach", wt});
        git.write(wt, "node_modules/lib/index.js", "module");
        std::filesystem::remove_all(copy);
        git.home.dir("work");
        std::filesystem::copy(wt, copy, std::filesystem::copy_options::recursive);
        const auto outside = filesBelow(copy);
        const auto folder = sys::FileStatus::of(wt).value();
        const pid_t attacker = startAttacker();
        ASSERT_GT(attacker, 0);
        cleaner.perform(CleanupAction::RemoveWorktree{git.repo(), wt, {wt + "/node_modules"}, folder.device, folder.inode});
        stopAttacker(attacker);
        ASSERT_EQ(filesBelow(copy), outside) << "round " << round << " of " << rounds;
        ASSERT_EQ(test::readFile(git.repo() + "/README"), "hello") << "round " << round << " of " << rounds;
        sys::SafeRemove::remove(wt);
        test::runGit(git.repo(), {"worktree", "prune"});
    }
}

// Emptying the Trash removed the names it measured by their paths, and so, with the Trash
// exchanged for a link to ~/work, ~/work's own "files/olddir".
class TrashRaceTest : public SameUserRace {
protected:
    TrashRaceTest() {
        for (const char* tree : {"home/work", "home/.local/share/Trash"}) {
            for (int i = 0; i < 6; ++i) fs.text(std::string(tree) + "/files/olddir/d/f" + std::to_string(i), tree);
            fs.text(std::string(tree) + "/info/olddir.trashinfo", tree);
        }
        addSwap(trash, fs.path("home/work"));
        addSwap(trash + "/files", fs.path("home/work/files"));
    }

    // The Delete the Trash row makes of what it measured.
    CleanupAction measured() const {
        const auto files = PinnedFolder::read(fs.path("home"), trash + "/files").value();
        const auto info = PinnedFolder::read(fs.path("home"), trash + "/info").value();
        CleanupAction::Delete erase;
        for (const auto& [name, identity] : files.entries) {
            erase.paths.push_back(trash + "/files/" + name);
            erase.measured.push_back({files.identity, identity});
            erase.paths.push_back(trash + "/info/" + name + ".trashinfo");
            erase.measured.push_back({info.identity, info.of(name + ".trashinfo")});
        }
        return erase;
    }

    test::TempHome fs;
    const std::string trash = fs.path("home/.local/share/Trash");
};

TEST_F(TrashRaceTest, NothingOutsideTheTrashGoesWhoeverRaces) {
    const Cleaner cleaner(PathGuard(fs.path("home"), fs.path("Applications"), ""));
    const auto outside = filesBelow(fs.path("home/work"));
    const int rounds = roundsToRun();
    int emptied = 0;
    for (int round = 0; round < rounds; ++round) {
        for (int i = 0; i < 6; ++i) fs.text("home/.local/share/Trash/files/olddir/d/f" + std::to_string(i), "trashed");
        fs.text("home/.local/share/Trash/info/olddir.trashinfo", "record");
        const auto action = measured();
        ASSERT_EQ(std::get<CleanupAction::Delete>(action.value).paths.size(), 2u);
        const pid_t attacker = startAttacker();
        ASSERT_GT(attacker, 0);
        cleaner.perform(action);
        stopAttacker(attacker);
        ASSERT_EQ(filesBelow(fs.path("home/work")), outside) << "round " << round << " of " << rounds;
        emptied += test::names(trash + "/files").empty() ? 1 : 0;
    }
    EXPECT_GT(emptied, 0);
}

class RemovalRaceTest : public ::testing::Test {
protected:
    RemovalRaceTest() {
        // The cache tree's own names at every level, so a walk led astray would meet them.
        for (const char* tree : {"home/.ssh", "outside/tree"})
            for (const auto& name : protectedNames()) fs.text(std::string(tree) + "/" + name, name);
        fs.dir("home/Library/Caches/app");
        fs.dir("home/.local/share/Trash");
    }

    static const std::vector<std::string>& protectedNames() {
        static const std::vector<std::string> names = [] {
            std::vector<std::string> all = {"id_ed25519", "top", "x/top", "t/top"};
            for (const char* prefix : {"", "x/", "t/x/", "y/", "t/"})
                for (const char* dir : {"y/z", "y/v", "u", "z", "v", "s", "w/s"})
                    for (const char* file : {"/f0", "/f5"}) all.push_back(prefix + std::string(dir) + file);
            return all;
        }();
        return names;
    }

    std::string home(const std::string& relative) const { return fs.path("home/" + relative); }

    bool intact() const {
        for (const char* tree : {"home/.ssh", "outside/tree"})
            for (const auto& name : protectedNames())
                if (test::readFile(fs.path(std::string(tree) + "/" + name)) != name) return false;
        return true;
    }

    // The cache tree for one round, handed to the user like the rest of the home.
    void buildRound() {
        for (const char* dir : {"x/y/z", "x/y/v", "x/u", "w/s"})
            for (int i = 0; i < 6; ++i) fs.file("home/Library/Caches/app/t/" + std::string(dir) + "/f" + std::to_string(i));
        fs.file("home/Library/Caches/app/t/top");
        for (const auto& s : swaps_) {
            ::unlink(s.link.c_str());
            fs.symlink(s.link.substr(fs.root().size() + 1), s.target);
        }
        chownTree(fs.path("home"));
    }

    static void chownTree(const std::string& path) {
        ::lchown(path.c_str(), kNobody, kNobody);
        if (test::isLink(path)) return;
        for (const auto& name : test::names(path)) chownTree(path + "/" + name);
    }

    void addSwaps(const std::string& relative) {
        for (const std::string& target : {home(".ssh"), fs.path("outside/tree")}) {
            const std::string folder = home(relative);
            const bool ssh = target == home(".ssh");
            // Moved into ~/.ssh, a folder's ".." leads there while it is being emptied.
            const std::string away = ssh ? home(".ssh/" + relative.substr(relative.rfind('/') + 1) + ".away")
                                         : folder + ".away";
            swaps_.push_back({folder, folder + (ssh ? ".slink" : ".olink"), away, target});
        }
    }

    pid_t startAttacker() {
        const pid_t pid = ::fork();
        if (pid == 0) {
            if (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) ::_exit(3);
            attack(swaps_);
        }
        return pid;
    }

    static void stop(pid_t pid) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
    }

    // Everything the attacker may have left behind, gone before the next round.
    void clearRound() {
        for (const auto& s : swaps_) {
            if (test::isLink(s.folder)) ::unlink(s.folder.c_str());
            if (test::exists(s.folder)) continue;
            ::rename((test::isLink(s.link) ? s.away : s.link).c_str(), s.folder.c_str());
        }
        sys::SafeRemove::remove(home("Library/Caches/app"));
        sys::SafeRemove::remove(home(".local/share/Trash"));
        fs.dir("home/Library/Caches/app");
        fs.dir("home/.local/share/Trash");
    }

    test::TempHome fs;
    std::vector<Swap> swaps_;
};

TEST_F(RemovalRaceTest, NothingOutsideTheShownTreeGoesWhoeverRaces) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to race an ordinary user";
    for (const char* folder : {"Library/Caches/app", "Library/Caches/app/t", "Library/Caches/app/t/x",
                               "Library/Caches/app/t/x/y", "Library/Caches/app/t/w"})
        addSwaps(folder);
    const Cleaner cleaner(PathGuard(fs.path("home"), fs.path("Applications"), ""));
    const std::string t = home("Library/Caches/app/t");
    const int rounds = roundsToRun();
    for (int round = 0; round < rounds; ++round) {
        buildRound();
        const pid_t attacker = startAttacker();
        ASSERT_GT(attacker, 0);
        cleaner.perform(CleanupAction::Delete{{t + "/x/y", t + "/x"}});
        cleaner.perform(CleanupAction::Trash{{t + "/w/s", t + "/w"}});
        cleaner.perform(CleanupAction::DeleteContents{{t + "/x", t}});
        stop(attacker);
        ASSERT_TRUE(intact()) << "round " << round << " of " << rounds;
        clearRound();
    }
}

} // namespace
} // namespace tidra
