#include "files/SimilarPhotoFinder.h"
#include "files/SimilarPhotoGroup.h"

#include <gtest/gtest.h>

#include <map>

namespace tidra {
namespace {

using namespace std::chrono_literals;

SimilarPhoto photo(const std::string& path, int width, int height, float score, std::int64_t bytes,
                   std::chrono::seconds date, std::uint64_t inode) {
    return SimilarPhoto{path,  bytes, width, height, std::chrono::system_clock::time_point{} + date,
                        score, CloneID::ownIdentity(1, inode), CloneID::ownIdentity(1, inode), {}};
}

std::vector<std::string> paths(const std::vector<SimilarPhoto>& photos) {
    std::vector<std::string> result;
    for (const auto& p : photos) result.push_back(p.path);
    return result;
}

TEST(SimilarPhotoGroupTest, BestOrder) {
    struct Case {
        const char* rule;
        std::vector<SimilarPhoto> photos;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {"more pixels first",
         {photo("/a", 100, 100, 0.9f, 900, 0s, 1), photo("/b", 200, 100, -0.5f, 10, 9s, 2)},
         {"/b", "/a"}},
        {"a few percent more pixels decide nothing",
         {photo("/a", 100, 100, 0.1f, 900, 0s, 1), photo("/b", 104, 100, -0.5f, 10, 9s, 2)},
         {"/a", "/b"}},
        {"then higher score",
         {photo("/a", 100, 100, 0.1f, 900, 0s, 1), photo("/b", 50, 200, 0.2f, 10, 9s, 2)},
         {"/b", "/a"}},
        {"then more bytes",
         {photo("/a", 100, 100, 0.5f, 10, 0s, 1), photo("/b", 100, 100, 0.5f, 20, 9s, 2)},
         {"/b", "/a"}},
        {"then older date",
         {photo("/a", 100, 100, 0.5f, 20, 9s, 1), photo("/b", 100, 100, 0.5f, 20, 1s, 2)},
         {"/b", "/a"}},
        {"then path in code-point order",
         {photo("/b", 100, 100, 0.5f, 20, 1s, 1), photo("/B", 100, 100, 0.5f, 20, 1s, 2),
          photo("/a", 100, 100, 0.5f, 20, 1s, 3)},
         {"/B", "/a", "/b"}},
    };
    for (const auto& c : cases) EXPECT_EQ(paths(SimilarPhotoFinder::bestFirst(c.photos)), c.expected) << c.rule;
}

TEST(SimilarPhotoGroupTest, AnEnlargementCountsOnlyThePixelsThatHoldDetail) {
    const std::vector<SimilarPhoto> photos = {photo("/big", 300, 300, 0.9f, 900, 0s, 1),
                                              photo("/shot", 200, 200, 0.1f, 100, 0s, 2),
                                              photo("/small", 100, 100, 0.9f, 50, 0s, 3)};
    // Enlarged from the shot: as much detail as the shot, in more pixels, so after it.
    EXPECT_EQ(paths(SimilarPhotoFinder::bestFirst(photos, {{"/big", {200 * 200, true}}})),
              (std::vector<std::string>{"/shot", "/big", "/small"}));
    EXPECT_EQ(paths(SimilarPhotoFinder::bestFirst(photos)), (std::vector<std::string>{"/big", "/shot", "/small"}));
    // Not shown to hold more detail, but not found enlarged either: its extra pixels are no
    // reason to keep it, whatever its score.
    EXPECT_EQ(paths(SimilarPhotoFinder::bestFirst(photos, {{"/big", {200 * 200, false}}})),
              (std::vector<std::string>{"/shot", "/big", "/small"}));
    // Found enlarged by a few percent: after the photo it was made from, whatever its score.
    const std::vector<SimilarPhoto> near = {photo("/enlarged", 202, 202, 0.9f, 900, 0s, 1),
                                            photo("/shot", 200, 200, 0.1f, 100, 0s, 2)};
    EXPECT_EQ(paths(SimilarPhotoFinder::bestFirst(near, {{"/enlarged", {200 * 200, true}}})),
              (std::vector<std::string>{"/shot", "/enlarged"}));
}

// The copies of a shot mostly keep its size; an enlargement whose detail could not be told
// apart from the shot's has a size of its own.
TEST(SimilarPhotoGroupTest, WhereDetailCannotTellTheSizeTheGroupSharesDecides) {
    struct Case {
        const char* rule;
        std::vector<SimilarPhoto> photos;
        std::map<std::string, SimilarPhotoFinder::Detail> details;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {"an enlargement by one percent, rated higher, after the shot its copies share a size with",
         {photo("/enlarged", 202, 202, 0.9f, 900, 0s, 1), photo("/shot", 200, 200, 0.1f, 100, 0s, 2),
          photo("/sepia", 200, 200, 0.0f, 100, 0s, 3)},
         {},
         {"/shot", "/sepia", "/enlarged"}},
        {"an enlargement whose detail could not be judged counts as the shot, and the group decides",
         {photo("/enlarged", 300, 300, 0.9f, 900, 0s, 1), photo("/shot", 200, 200, 0.1f, 100, 0s, 2),
          photo("/contrast", 200, 200, 0.0f, 100, 0s, 3)},
         {{"/enlarged", {200 * 200, false}}},
         {"/shot", "/contrast", "/enlarged"}},
        {"the group may agree on the larger size",
         {photo("/reduced", 200, 200, 0.9f, 900, 0s, 1), photo("/shot", 204, 204, 0.1f, 100, 0s, 2),
          photo("/copy", 204, 204, 0.0f, 100, 0s, 3)},
         {},
         {"/shot", "/copy", "/reduced"}},
        {"enlargements agreeing on their size still come after the photo they were made from",
         {photo("/enlarged", 300, 300, 0.9f, 900, 0s, 1), photo("/enlarged-again", 300, 300, 0.8f, 900, 0s, 2),
          photo("/shot", 200, 200, 0.1f, 100, 0s, 3)},
         {{"/enlarged", {200 * 200, true}}, {"/enlarged-again", {200 * 200, true}}},
         {"/shot", "/enlarged", "/enlarged-again"}},
        {"the photo with the most detail comes first, whatever the others agree on",
         {photo("/half", 100, 100, 0.9f, 90, 0s, 1), photo("/half-copy", 100, 100, 0.9f, 90, 0s, 2),
          photo("/shot", 200, 200, 0.1f, 100, 0s, 3)},
         {},
         {"/shot", "/half", "/half-copy"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(paths(SimilarPhotoFinder::bestFirst(c.photos, c.details)), c.expected) << c.rule;
}

TEST(SimilarPhotoGroupTest, IdAndDerivedNames) {
    EXPECT_EQ(SimilarPhotoGroup{}.id(), "");
    const SimilarPhotoGroup group{{photo("/home/u/Pictures/best.jpg", 30, 20, 0, 1, 0s, 1), photo("/x", 1, 1, 0, 1, 0s, 2)}};
    EXPECT_EQ(group.id(), "/home/u/Pictures/best.jpg");
    EXPECT_EQ(group.photos[0].name(), "best.jpg");
    EXPECT_EQ(group.photos[0].folder(), "/home/u/Pictures");
    EXPECT_EQ(group.photos[0].pixels(), 600);
    EXPECT_EQ(group.photos[1].name(), "x");
    EXPECT_EQ(group.photos[1].folder(), "/");
}

TEST(SimilarPhotoGroupTest, FreedCountsSharedBlocksOnceAndNeverWhileKept) {
    const SimilarPhotoGroup group{{photo("/a", 1, 1, 0, 10, 0s, 7), photo("/b", 1, 1, 0, 10, 0s, 7),
                                   photo("/c", 1, 1, 0, 10, 0s, 7), photo("/d", 1, 1, 0, 20, 0s, 8),
                                   photo("/e", 1, 1, 0, 30, 0s, 9)}};
    const std::pair<std::set<std::string>, std::int64_t> cases[] = {
        {{}, 0},
        {{"/b", "/c"}, 0},          // "/a" keeps their blocks
        {{"/a", "/b", "/c"}, 10},   // one copy of the shared blocks
        {{"/d", "/e"}, 50},
        {{"/nowhere"}, 0},
    };
    for (const auto& [removing, expected] : cases) EXPECT_EQ(group.freed(removing), expected);
    EXPECT_EQ(group.reclaimable(), 50);
    EXPECT_EQ(SimilarPhotoGroup{{photo("/a", 1, 1, 0, 10, 0s, 7)}}.reclaimable(), 0);
    EXPECT_EQ(SimilarPhotoGroup{}.reclaimable(), 0);
}

TEST(SimilarPhotoGroupTest, IdentityIsDeviceAndInodeApartFromSharedKeys) {
    // The same inode number on another volume, or a shared-data key that happens to equal it,
    // is other data: removing both copies frees both.
    auto onOtherVolume = photo("/b", 1, 1, 0, 10, 0s, 0);
    onOtherVolume.cloneID = CloneID::ownIdentity(2, 7);
    auto sharedKey = photo("/c", 1, 1, 0, 20, 0s, 0);
    sharedKey.cloneID = CloneID{1, 7, true};
    const SimilarPhotoGroup group{{photo("/a", 1, 1, 0, 10, 0s, 7), onOtherVolume, sharedKey}};
    EXPECT_EQ(group.reclaimable(), 30);
}

} // namespace
} // namespace tidra
