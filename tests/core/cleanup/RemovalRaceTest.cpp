// A cleaner run by root on a home that belongs to an ordinary user, while that user's own
// process keeps swapping the folders being removed, above and below the judged paths, for
// links to ~/.ssh or to a root-owned tree outside the home. Whoever wins each race, nothing
// in either tree may go. TIDRA_RACE_ROUNDS sets the rounds (the benchmark script runs more).
#include "cleanup/Cleaner.h"

#include "platform/SafeRemove.h"
#include "support/FileProbe.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>
#include <grp.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace tidra {
namespace {

constexpr uid_t kNobody = 65534;

int roundsToRun() {
    const char* text = std::getenv("TIDRA_RACE_ROUNDS");
    return text && std::atoi(text) > 0 ? std::atoi(text) : 100;
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
