#include "demo/DemoMac.h"

#include "demo/DemoAge.h"
#include "files/SimilarPhotoFinder.h"

#include <algorithm>

namespace tidra::DemoMac {
namespace {

struct CopyRow {
    const char* path;
    std::int64_t daysAgo;
};

struct DuplicateRow {
    const char* hash;
    std::int64_t size;
    std::vector<CopyRow> copies;
};

const std::vector<DuplicateRow>& duplicateRows() {
    static const std::vector<DuplicateRow> rows = {
        {"demo-xcode", 11'200'000'000, {{"Downloads/Xcode_26.0.xip", 58}, {"Downloads/Xcode_26.0 (1).xip", 57}}},
        {"demo-recording",
         4'600'000'000,
         {{"Movies/Screen Recording 2026-09-14 at 10.42.13.mov", 38},
          {"Desktop/Screen Recording 2026-09-14 at 10.42.13.mov", 37}}},
        {"demo-launch",
         2'400'000'000,
         {{"Movies/launch-video-final-v3.mp4", 12}, {"Documents/Launch/launch-video-final-v3.mp4", 11}}},
        {"demo-backup",
         1'100'000'000,
         {{"Documents/Backups/design-backup-2025.zip", 130}, {"Downloads/design-backup-2025.zip", 129}}},
        {"demo-photo-0193",
         8'000'000,
         {{"Pictures/Iceland 2026/DSC_0193.jpg", 70},
          {"Pictures/Iceland 2026 export/DSC_0193.jpg", 69},
          {"Desktop/DSC_0193.jpg", 40}}},
        {"demo-photo-0201",
         7'000'000,
         {{"Pictures/Iceland 2026/DSC_0201.jpg", 70}, {"Pictures/Iceland 2026 export/DSC_0201.jpg", 69}}},
        {"demo-heic", 3'000'000, {{"Pictures/IMG_4821.HEIC", 21}, {"Downloads/IMG_4821 (1).HEIC", 20}}},
        {"demo-contract",
         2'000'000,
         {{"Documents/Contracts/contract-signed.pdf", 90}, {"Downloads/contract-signed copy.pdf", 15}}},
    };
    return rows;
}

struct PhotoRow {
    const char* path;
    std::int64_t bytes;
    int width, height;
    std::int64_t age;
    float score;
    std::uint64_t cloneKey;
};

constexpr int cameraWidth = 4032, cameraHeight = 3024;
constexpr std::int64_t iceland = 70 * day, lisbon = 31 * day;

// Built in this order: the Iceland burst, the DSC_0451 set, the Lisbon set, the Iceland pair.
const std::vector<std::vector<PhotoRow>>& photoRows() {
    static const std::vector<std::vector<PhotoRow>> rows = {
        {{"Pictures/Iceland 2026/IMG_2210.HEIC", 3'100'000, cameraWidth, cameraHeight, iceland, 0.61f, 1001},
         {"Pictures/Iceland 2026/IMG_2211.HEIC", 3'300'000, cameraWidth, cameraHeight, iceland - 6, 0.74f, 1002},
         {"Pictures/Iceland 2026/IMG_2212.HEIC", 3'000'000, cameraWidth, cameraHeight, iceland - 12, 0.58f, 1003},
         {"Pictures/Iceland 2026/IMG_2213.HEIC", 3'200'000, cameraWidth, cameraHeight, iceland - 18, 0.66f, 1004},
         {"Pictures/Iceland 2026/IMG_2214.HEIC", 2'900'000, cameraWidth, cameraHeight, iceland - 24, 0.49f, 1005}},
        {{"Pictures/Portfolio/DSC_0451.jpg", 14'200'000, 6000, 4000, 90 * day, 0.70f, 1006},
         {"Desktop/DSC_0451 edit.jpg", 12'800'000, 6000, 4000, 60 * day, 0.77f, 1007},
         {"Downloads/DSC_0451 small.jpg", 1'600'000, 2000, 1333, 59 * day, 0.79f, 1008}},
        {{"Pictures/Lisbon/IMG_3320.HEIC", 2'700'000, cameraWidth, cameraHeight, lisbon, 0.55f, 1009},
         {"Pictures/Lisbon/IMG_3321.HEIC", 2'800'000, cameraWidth, cameraHeight, lisbon - 30, 0.68f, 1010},
         {"Pictures/Lisbon/IMG_3324.HEIC", 2'600'000, cameraWidth, cameraHeight, lisbon - 120, 0.52f, 1011}},
        {{"Pictures/Iceland 2026/IMG_2290.HEIC", 3'400'000, cameraWidth, cameraHeight, iceland - 5 * 3'600, 0.63f, 1012},
         {"Pictures/Iceland 2026/IMG_2291.HEIC", 3'500'000, cameraWidth, cameraHeight, iceland - 5 * 3'600 - 12, 0.71f,
          1013}},
    };
    return rows;
}

// Each demo file is its own clone, so removing a copy frees all of its bytes.
CloneID ownClone(std::uint64_t key) { return CloneID::ownIdentity(0, key); }

template <class Group>
void mostFreedFirst(std::vector<Group>& groups) {
    std::stable_sort(groups.begin(), groups.end(),
                     [](const Group& a, const Group& b) { return a.reclaimable() > b.reclaimable(); });
}

struct LargeRow {
    const char* path;
    std::int64_t bytes;
    std::int64_t daysAgo;
};

} // namespace

std::vector<LargeFile> largeFiles(const std::string& home, Date now) {
    static const LargeRow rows[] = {
        {"Downloads/Xcode_26.0.xip", 11'200'000'000, 58},
        {"Movies/Screen Recording 2026-09-14 at 10.42.13.mov", 4'600'000'000, 38},
        {"Downloads/ubuntu-24.04.3-live-server-arm64.iso", 2'900'000'000, 71},
        {"Movies/launch-video-final-v3.mp4", 2'400'000'000, 12},
        {"Documents/datasets/events-2025.parquet", 1'700'000'000, 96},
        {"Downloads/android-studio-2025.1.1-mac_arm.dmg", 1'300'000'000, 44},
        {"Downloads/design-backup-2025.zip", 1'100'000'000, 130},
        {"Downloads/Docker.dmg", 620'000'000, 52},
        {"Projects/ml-sandbox/models/whisper-small.bin", 480'000'000, 95},
        {"Downloads/Slack-4.41.dmg", 210'000'000, 20},
    };
    std::vector<LargeFile> files;
    for (const LargeRow& row : rows)
        files.push_back({.path = home + "/" + row.path, .bytes = row.bytes, .modified = ago(now, row.daysAgo * day)});
    return files;
}

std::vector<DuplicateGroup> duplicateGroups(const std::string& home, Date now) {
    std::vector<DuplicateGroup> groups;
    std::uint64_t cloneKey = 1;
    for (const DuplicateRow& row : duplicateRows()) {
        DuplicateGroup group{.hash = row.hash, .size = row.size, .files = {}};
        for (const CopyRow& copy : row.copies) {
            const Date when = ago(now, copy.daysAgo * day);
            group.files.push_back({.path = home + "/" + copy.path,
                                   .bytes = row.size,
                                   .modified = when,
                                   .created = when,
                                   .cloneID = ownClone(cloneKey++)});
        }
        groups.push_back(std::move(group));
    }
    mostFreedFirst(groups);
    return groups;
}

std::vector<SimilarPhotoGroup> similarPhotoGroups(const std::string& home, Date now) {
    std::vector<SimilarPhotoGroup> groups;
    for (const auto& rows : photoRows()) {
        std::vector<SimilarPhoto> photos;
        for (const PhotoRow& row : rows)
            photos.push_back({.path = home + "/" + row.path,
                              .bytes = row.bytes,
                              .pixelWidth = row.width,
                              .pixelHeight = row.height,
                              .date = ago(now, row.age),
                              .score = row.score,
                              .cloneID = ownClone(row.cloneKey),
                              .identity = ownClone(row.cloneKey),
                              .modified = ago(now, row.age)});
        groups.push_back({SimilarPhotoFinder::bestFirst(std::move(photos))});
    }
    mostFreedFirst(groups);
    return groups;
}

} // namespace tidra::DemoMac
