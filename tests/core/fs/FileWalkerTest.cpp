#include "fs/FileWalker.h"

#include "support/RunAsNobody.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace tidra {
namespace {

using test::TempHome;
using Kind = WalkEntry::Kind;

const char* kindName(Kind kind) {
    switch (kind) {
    case Kind::file: return "file";
    case Kind::directory: return "dir";
    case Kind::symlink: return "link";
    case Kind::other: return "other";
    case Kind::unreadableDirectory: return "unreadable";
    }
    return "?";
}

// "kind relative-path" per visit, in visiting order.
std::vector<std::string> walk(const std::string& root,
                              const std::function<WalkDecision(const WalkEntry&)>& decide = nullptr) {
    std::vector<std::string> seen;
    FileWalker::walk(root, [&](const WalkEntry& entry) {
        const std::string path(entry.path());
        seen.push_back(std::string(kindName(entry.kind)) + " " +
                       (path == root ? "." : path.substr(root.size() + 1)));
        return decide ? decide(entry) : WalkDecision::proceed;
    });
    return seen;
}

TEST(FileWalkerTest, HandsOverEveryKindInPreOrderWithoutFollowingLinks) {
    TempHome home;
    home.file("only/sub/f", 1);
    home.symlink("only/link", "sub");
    ASSERT_EQ(::mkfifo(home.path("only/pipe").c_str(), 0644), 0);

    auto seen = walk(home.root());
    ASSERT_GE(seen.size(), 3u);
    EXPECT_EQ(seen[0], "dir .");
    EXPECT_EQ(seen[1], "dir only");
    // Below "only" the order is the listing's; what matters is that "sub" precedes its file.
    const auto sub = std::find(seen.begin(), seen.end(), "dir only/sub");
    const auto file = std::find(seen.begin(), seen.end(), "file only/sub/f");
    ASSERT_NE(sub, seen.end());
    EXPECT_EQ(file, sub + 1);
    std::sort(seen.begin() + 2, seen.end());
    EXPECT_EQ(seen, (std::vector<std::string>{"dir .", "dir only", "dir only/sub", "file only/sub/f",
                                              "link only/link", "other only/pipe"}));
}

TEST(FileWalkerTest, EntryFieldsComeFromTheEntrysOwnStatus) {
    TempHome home;
    home.file("d/data", 10'000);
    home.hardlink("d/twin", "d/data");
    home.setModified("d/data", std::chrono::system_clock::time_point(std::chrono::seconds(987'654)));
    struct stat st{};
    ASSERT_EQ(::lstat(home.path("d/data").c_str(), &st), 0);

    int checked = 0;
    FileWalker::walk(home.root(), [&](const WalkEntry& entry) {
        if (!entry.isNamed("data")) return WalkDecision::proceed;
        ++checked;
        EXPECT_EQ(entry.name(), "data");
        EXPECT_FALSE(entry.isNamed("dat"));
        EXPECT_EQ(entry.depth(), 2);
        EXPECT_EQ(entry.inode(), st.st_ino);
        EXPECT_EQ(entry.linkCount(), 2);
        EXPECT_EQ(entry.allocatedBytes(), std::int64_t(st.st_blocks) * 512);
        EXPECT_EQ(entry.modified(), std::chrono::system_clock::time_point(std::chrono::seconds(987'654)));
        return WalkDecision::proceed;
    });
    EXPECT_EQ(checked, 1);
}

TEST(FileWalkerTest, SkipPrunesOneFolderAndStopEndsTheWalk) {
    TempHome home;
    home.file("prune/inner/f", 1);
    home.file("keep/f", 1);

    const auto pruned = walk(home.root(), [](const WalkEntry& entry) {
        return entry.isNamed("prune") ? WalkDecision::skipDirectory : WalkDecision::proceed;
    });
    EXPECT_NE(std::find(pruned.begin(), pruned.end(), "dir prune"), pruned.end());
    EXPECT_NE(std::find(pruned.begin(), pruned.end(), "file keep/f"), pruned.end());
    EXPECT_EQ(std::find(pruned.begin(), pruned.end(), "dir prune/inner"), pruned.end());

    const auto onFile = walk(home.root(), [](const WalkEntry& entry) {
        return entry.kind == Kind::file ? WalkDecision::skipDirectory : WalkDecision::proceed;
    });
    EXPECT_EQ(onFile.size(), 6u);  // skipping acts as proceed on a file

    const auto stopped = walk(home.root(), [](const WalkEntry&) { return WalkDecision::stop; });
    EXPECT_EQ(stopped, (std::vector<std::string>{"dir ."}));
}

TEST(FileWalkerTest, MissingRootYieldsNothing) {
    TempHome home;
    EXPECT_TRUE(walk(home.path("missing")).empty());
}

TEST(FileWalkerTest, UnreadableFolderComesAsDirectoryThenUnreadable) {
    TempHome home;
    home.file("locked/f", 1);
    home.dir("open");
    home.chmod("locked", 0000);
    const std::string answer = test::runAsNobody([&] {
        std::string text;
        for (const auto& line : walk(home.root()))
            if (line.find("locked") != std::string::npos || line.find("open") != std::string::npos)
                text += line + ";";
        return text;
    });
    const bool lockedFirst = answer.find("locked") < answer.find("open");
    EXPECT_EQ(answer, lockedFirst ? "dir locked;unreadable locked;dir open;" : "dir open;dir locked;unreadable locked;");
}

} // namespace
} // namespace tidra
