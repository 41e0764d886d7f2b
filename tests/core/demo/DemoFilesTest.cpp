#include "demo/DemoMac.h"
#include "DemoMoment.h"

#include <gtest/gtest.h>

#include <set>

namespace tidra {
namespace {

using namespace std::chrono_literals;

using test::kHome;
using test::kNow;
constexpr auto kDay = 24h;

TEST(DemoFilesTest, LargeFilesLargestFirstUnderTheHome) {
    const auto files = DemoMac::largeFiles(kHome, kNow);
    ASSERT_EQ(files.size(), 10u);
    EXPECT_EQ(files[0], (LargeFile{"/Users/demo/Downloads/Xcode_26.0.xip", 11'200'000'000, kNow - 58 * kDay}));
    EXPECT_EQ(files[8].path, "/Users/demo/Projects/ml-sandbox/models/whisper-small.bin");
    EXPECT_EQ(files[9], (LargeFile{"/Users/demo/Downloads/Slack-4.41.dmg", 210'000'000, kNow - 20 * kDay}));
    for (std::size_t i = 1; i < files.size(); ++i) EXPECT_GT(files[i - 1].bytes, files[i].bytes);
}

TEST(DemoFilesTest, DuplicateGroupsInTheirOrderKeeperFirst) {
    const auto groups = DemoMac::duplicateGroups(kHome, kNow);
    const std::vector<std::string> hashes = {"demo-xcode",      "demo-recording",  "demo-launch", "demo-backup",
                                             "demo-photo-0193", "demo-photo-0201", "demo-heic",   "demo-contract"};
    const std::vector<std::int64_t> reclaimable = {11'200'000'000, 4'600'000'000, 2'400'000'000, 1'100'000'000,
                                                   16'000'000,     7'000'000,     3'000'000,     2'000'000};
    ASSERT_EQ(groups.size(), hashes.size());
    std::size_t files = 0;
    for (std::size_t i = 0; i < groups.size(); ++i) {
        SCOPED_TRACE(hashes[i]);
        EXPECT_EQ(groups[i].hash, hashes[i]);
        EXPECT_EQ(groups[i].reclaimable(), reclaimable[i]);
        for (const auto& file : groups[i].files) {
            EXPECT_EQ(file.bytes, groups[i].size);
            EXPECT_EQ(file.created, file.modified);
        }
        files += groups[i].files.size();
    }
    EXPECT_EQ(files, 17u);

    const auto& first = groups.front().files.front();
    EXPECT_EQ(first.path, "/Users/demo/Downloads/Xcode_26.0.xip");
    EXPECT_EQ(first.modified, kNow - 58 * kDay);
    EXPECT_EQ(groups.back().files.front().path, "/Users/demo/Documents/Contracts/contract-signed.pdf");
    EXPECT_EQ(groups[4].files.size(), 3u);
    EXPECT_EQ(groups[4].files[2].modified, kNow - 40 * kDay);
}

std::vector<std::string> names(const SimilarPhotoGroup& group) {
    std::vector<std::string> out;
    for (const auto& photo : group.photos) out.push_back(photo.name());
    return out;
}

TEST(DemoFilesTest, SimilarPhotosBestFirstAndMostFreedFirst) {
    const auto groups = DemoMac::similarPhotoGroups(kHome, kNow);
    ASSERT_EQ(groups.size(), 4u);
    EXPECT_EQ(names(groups[0]), (std::vector<std::string>{"DSC_0451 edit.jpg", "DSC_0451.jpg", "DSC_0451 small.jpg"}));
    EXPECT_EQ(names(groups[1]), (std::vector<std::string>{"IMG_2211.HEIC", "IMG_2213.HEIC", "IMG_2210.HEIC",
                                                          "IMG_2212.HEIC", "IMG_2214.HEIC"}));
    EXPECT_EQ(names(groups[2]), (std::vector<std::string>{"IMG_3321.HEIC", "IMG_3320.HEIC", "IMG_3324.HEIC"}));
    EXPECT_EQ(names(groups[3]), (std::vector<std::string>{"IMG_2291.HEIC", "IMG_2290.HEIC"}));
    EXPECT_EQ(groups[0].reclaimable(), 15'800'000);
    EXPECT_EQ(groups[1].reclaimable(), 12'200'000);
    EXPECT_EQ(groups[2].reclaimable(), 5'300'000);
    EXPECT_EQ(groups[3].reclaimable(), 3'400'000);

    const SimilarPhoto& edit = groups[0].photos[0];
    EXPECT_EQ(edit.path, "/Users/demo/Desktop/DSC_0451 edit.jpg");
    EXPECT_EQ(edit.pixels(), 24'000'000);
    EXPECT_EQ(edit.score, 0.77f);
    EXPECT_EQ(edit.date, kNow - 60 * kDay);
    EXPECT_EQ(groups[3].photos[0].date, kNow - 70 * kDay + 5h + 12s);
}

TEST(DemoFilesTest, EveryFileIsItsOwnCloneSoEveryCopyFreesItsBytes) {
    std::set<CloneID> clones;
    std::size_t count = 0;
    for (const auto& group : DemoMac::duplicateGroups(kHome, kNow)) {
        std::set<std::string> all;
        for (const auto& file : group.files) {
            clones.insert(file.cloneID);
            all.insert(file.path);
            ++count;
        }
        EXPECT_EQ(group.freed(all), group.size * std::int64_t(group.files.size()));
    }
    for (const auto& group : DemoMac::similarPhotoGroups(kHome, kNow))
        for (const auto& photo : group.photos) {
            clones.insert(photo.cloneID);
            ++count;
        }
    EXPECT_EQ(count, 30u);
    EXPECT_EQ(clones.size(), count);
}

TEST(DemoFilesTest, SameArgumentsGiveEqualResultsAndDatesMoveWithNow) {
    EXPECT_EQ(DemoMac::duplicateGroups(kHome, kNow), DemoMac::duplicateGroups(kHome, kNow));
    EXPECT_EQ(DemoMac::similarPhotoGroups(kHome, kNow), DemoMac::similarPhotoGroups(kHome, kNow));
    const auto later = DemoMac::similarPhotoGroups(kHome, kNow + 1h);
    EXPECT_EQ(later[1].photos[0].date, DemoMac::similarPhotoGroups(kHome, kNow)[1].photos[0].date + 1h);
}

} // namespace
} // namespace tidra
