#include "files/KeeperOrder.h"

#include <gtest/gtest.h>

namespace tidra {
namespace {

using namespace std::chrono;

TEST(KeeperOrder, CopyNames) {
    const std::vector<std::pair<const char*, bool>> cases{
        {"Report copy.pdf", true},      {"Report copy 2.pdf", true},   {"Report (1).pdf", true},
        {"x copy 2.txt", true},         {"x (1).txt", true},           {"Report copy", true},
        {"Report.pdf", false},          {"Copy of Report.pdf", false}, {"Report Copy.pdf", false},
        {"Report copy2.pdf", false},    {"Report (final).pdf", false}, {"Report copy.pdf.zip", false},
        {"Report ().pdf", false},       {"Report(1).pdf", false},      {".copy", false},
        {"archive copy.tar.gz", false},
    };
    for (const auto& [name, copy] : cases) EXPECT_EQ(DuplicateFinder::looksLikeACopy(name), copy) << name;
}

DuplicateFile fileAt(const std::string& path, int createdYear) {
    const auto created = system_clock::time_point(hours(24 * 365) * (createdYear - 1970));
    return {path, 100, created, created, CloneID::ownIdentity(1, std::hash<std::string>()(path))};
}

std::vector<std::string> keeperOrder(const std::vector<DuplicateFile>& files) {
    std::vector<std::string> paths;
    for (const auto& file : DuplicateFinder::keeperFirst(files, "/home/me")) paths.push_back(file.path);
    return paths;
}

TEST(KeeperOrder, FirstDifferenceDecides) {
    struct Case {
        const char* why;
        std::vector<DuplicateFile> files;  // listed in the wrong order
        std::vector<std::string> expected;
    };
    const std::string nfd = "/home/me/Documents/e\xCC\x81.txt";  // e + combining acute
    const std::string nfc = "/home/me/Documents/\xC3\xA9.txt";   // é
    const std::vector<Case> cases{
        {"Downloads last even when older",
         {fileAt("/home/me/Downloads/a.pdf", 2019), fileAt("/home/me/Documents/a.pdf", 2024)},
         {"/home/me/Documents/a.pdf", "/home/me/Downloads/a.pdf"}},
        {"a lower-case downloads folder is no Downloads",
         {fileAt("/home/me/Documents/a.pdf", 2024), fileAt("/home/me/downloads/a.pdf", 2019)},
         {"/home/me/downloads/a.pdf", "/home/me/Documents/a.pdf"}},
        {"copy names after originals even when older",
         {fileAt("/home/me/d/a copy.pdf", 2019), fileAt("/home/me/d/x (1).txt", 2018), fileAt("/home/me/d/a.pdf", 2024)},
         {"/home/me/d/a.pdf", "/home/me/d/x (1).txt", "/home/me/d/a copy.pdf"}},
        {"older first",
         {fileAt("/home/me/d/newer.pdf", 2024), fileAt("/home/me/d/a-much-longer-name.pdf", 2020)},
         {"/home/me/d/a-much-longer-name.pdf", "/home/me/d/newer.pdf"}},
        {"shorter path in characters first",
         {fileAt("/home/me/d/bb.pdf", 2020), fileAt("/home/me/d/\xC3\xA9\xC3\xA9\xC3\xA9.pdf", 2020)},
         {"/home/me/d/bb.pdf", "/home/me/d/\xC3\xA9\xC3\xA9\xC3\xA9.pdf"}},
        {"a decomposed accent is one character",
         {fileAt("/home/me/d/ab.pdf", 2020), fileAt("/home/me/d/e\xCC\x81.pdf", 2020)},
         {"/home/me/d/e\xCC\x81.pdf", "/home/me/d/ab.pdf"}},
        {"equal length: path order", {fileAt("/home/me/d/b.pdf", 2020), fileAt("/home/me/d/a.pdf", 2020)},
         {"/home/me/d/a.pdf", "/home/me/d/b.pdf"}},
        {"composed order: é sorts after f", {fileAt(nfd, 2020), fileAt("/home/me/Documents/f.txt", 2020)},
         {"/home/me/Documents/f.txt", nfd}},
        {"two spellings of one name still order totally", {fileAt(nfc, 2020), fileAt(nfd, 2020)}, {nfd, nfc}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(keeperOrder(c.files), c.expected) << c.why;
        auto reversed = c.files;
        std::reverse(reversed.begin(), reversed.end());
        EXPECT_EQ(keeperOrder(reversed), c.expected) << c.why << " (input reversed)";
    }
}

DuplicateGroup groupOf(const std::string& hash, std::vector<std::int64_t> bytes, bool clones = false) {
    DuplicateGroup group{hash, 100, {}};
    for (std::size_t i = 0; i < bytes.size(); ++i)
        group.files.push_back({hash + std::to_string(i), bytes[i], {}, {}, CloneID{1, clones ? 9 : i, false}});
    return group;
}

TEST(KeeperOrder, ReclaimableIsCloneAware) {
    EXPECT_EQ(groupOf("a", {4096, 4096, 4096}).reclaimable(), 8192);
    EXPECT_EQ(groupOf("a", {4096, 4096, 4096}).freed({"a0", "a1", "a2"}), 3 * 4096);
    EXPECT_EQ(groupOf("a", {4096, 4096, 4096}).freed({"a0"}), 4096);
    EXPECT_EQ(groupOf("a", {4096, 4096}, true).reclaimable(), 0);
    EXPECT_EQ(groupOf("a", {4096}).reclaimable(), 0);
}

TEST(KeeperOrder, GroupsByReclaimableThenGreaterHash) {
    const auto ordered = DuplicateFinder::orderGroups({groupOf("0aa", {10, 10}), groupOf("clones", {99, 99}, true),
                                                      groupOf("big", {10, 50}), groupOf("faa", {10, 10})});
    std::vector<std::string> hashes;
    for (const auto& group : ordered) hashes.push_back(group.hash);
    EXPECT_EQ(hashes, (std::vector<std::string>{"big", "faa", "0aa", "clones"}));
}

} // namespace
} // namespace tidra
