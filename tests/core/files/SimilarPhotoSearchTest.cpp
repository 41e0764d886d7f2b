#include "core/files/PhotoFixture.h"
#include "files/DuplicateFinder.h"
#include "files/SimilarPhotoFinder.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <set>

namespace tidra {
namespace {

namespace Finder = SimilarPhotoFinder;
using test::PhotoFixture::Content;
using test::PhotoFixture::Variant;

Finder::File listedAsItIs(const std::string& path) {
    struct stat st {};
    EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
    const auto modified = std::chrono::system_clock::from_time_t(st.st_mtime);
    return {path,     std::int64_t(st.st_blocks) * 512, std::int64_t(st.st_size), CloneID::ownIdentity(st.st_dev, st.st_ino),
            modified, modified};
}

// Stages in the order they arrived; reading reports may come in any order among themselves.
class Recorder {
public:
    Finder::Progress progress() {
        return [this](const Finder::Stage& stage) {
            std::lock_guard lock(mutex_);
            stages_.push_back(stage);
        };
    }
    std::vector<Finder::Stage> stages() {
        std::lock_guard lock(mutex_);
        return stages_;
    }

private:
    std::mutex mutex_;
    std::vector<Finder::Stage> stages_;
};

std::vector<Finder::File> photos(const test::TempHome& home, int count, int seed = 0) {
    std::vector<Finder::File> files;
    for (int i = 0; i < count; ++i) {
        const auto path = home.path("p" + std::to_string(seed) + "_" + std::to_string(i) + ".jpg");
        test::PhotoFixture::write(path, 400, 400, seed + i);
        files.push_back(listedAsItIs(path));
    }
    return files;
}

const auto never = [] { return false; };

TEST(SimilarPhotoSearchTest, ReadingProgressEveryEighthFileAndAtTheLast) {
    test::TempHome home;
    Recorder recorder;
    Finder::findAmong(photos(home, 20), Finder::threshold, recorder.progress(), never);
    auto stages = recorder.stages();
    ASSERT_EQ(stages.size(), 4u);
    EXPECT_EQ(stages.back(), Finder::Stage{Finder::Stage::Grouping{}});
    stages.pop_back();
    std::vector<int> done;
    for (const auto& s : stages) {
        const auto* reading = std::get_if<Finder::Stage::Reading>(&s.value);
        ASSERT_TRUE(reading);
        EXPECT_EQ(reading->of, 20);
        done.push_back(reading->done);
    }
    std::ranges::sort(done);
    EXPECT_EQ(done, (std::vector<int>{8, 16, 20}));
}

TEST(SimilarPhotoSearchTest, FewerThanTwoFilesOrCancelledBeforeReadingGiveNothing) {
    test::TempHome home;
    const auto files = photos(home, 2);
    Recorder one, cancelled;
    EXPECT_TRUE(Finder::findAmong({files[0]}, Finder::threshold, one.progress(), never).empty());
    EXPECT_TRUE(one.stages().empty());
    EXPECT_TRUE(Finder::findAmong(files, Finder::threshold, cancelled.progress(), [] { return true; }).empty());
    EXPECT_TRUE(cancelled.stages().empty());
}

TEST(SimilarPhotoSearchTest, EmptyCallbacksReportNothingAndNeverCancel) {
    test::TempHome home;
    auto files = photos(home, 2);
    test::PhotoFixture::write(home.path("again.jpg"), 640, 480, 0, test::PhotoFixture::camera(), {}, Content::scene);
    files.push_back(listedAsItIs(home.path("again.jpg")));
    EXPECT_NO_THROW(Finder::findAmong(files, Finder::threshold, nullptr, nullptr));
    EXPECT_NO_THROW(Finder::find({home.root()}, Finder::threshold, nullptr, nullptr));
}

TEST(SimilarPhotoSearchTest, CancelledWhileReadingReturnsNoGroups) {
    test::TempHome home;
    std::vector<Finder::File> files;
    for (int i = 0; i < 12; ++i) {
        const auto path = home.path("same" + std::to_string(i) + ".jpg");
        test::PhotoFixture::write(path, 400, 400, 3, test::PhotoFixture::camera(), Variant{.quality = 60 + i});
        files.push_back(listedAsItIs(path));
    }
    std::atomic<int> asked{0};
    Recorder recorder;
    // Lets the first question and a few reads through, then cancels.
    const auto groups = Finder::findAmong(files, Finder::threshold, recorder.progress(), [&] { return ++asked > 4; });
    EXPECT_TRUE(groups.empty());
    for (const auto& s : recorder.stages()) EXPECT_FALSE(std::holds_alternative<Finder::Stage::Grouping>(s.value));
}

TEST(SimilarPhotoSearchTest, GroupsSimilarShotsBestFirstLargestSavingFirst) {
    test::TempHome home;
    Finder::Date day = std::chrono::system_clock::from_time_t(1'700'000'000);
    std::vector<Finder::File> files;
    const auto add = [&](const std::string& name, int w, int h, int seed, const Variant& v, Content content) {
        const auto path = home.path(name);
        test::PhotoFixture::write(path, w, h, seed, test::PhotoFixture::camera(), v, content);
        auto file = listedAsItIs(path);
        file.modified = day;
        files.push_back(file);
    };
    add("lake-big.jpg", 1600, 1200, 40, {}, Content::scene);
    add("lake-small.jpg", 800, 600, 40, {}, Content::scene);
    add("lake-dark.jpg", 800, 600, 40, Variant{.exposure = 0.85}, Content::scene);
    add("hill-a.jpg", 640, 480, 41, {}, Content::scene);
    add("hill-b.jpg", 640, 480, 41, Variant{.quality = 70}, Content::scene);
    add("alone.jpg", 640, 480, 42, {}, Content::scene);
    add("page-a.jpg", 640, 480, 1, {}, Content::page);
    add("page-b.jpg", 640, 480, 1, Variant{.quality = 70}, Content::page);

    const auto groups = Finder::findAmong(files, Finder::threshold, [](const auto&) {}, never);
    ASSERT_EQ(groups.size(), 2u);
    EXPECT_EQ(groups[0].id(), home.path("lake-big.jpg"));
    EXPECT_EQ(groups[0].photos.size(), 3u);
    EXPECT_EQ(groups[0].photos[0].pixelWidth, 1600);
    EXPECT_EQ(groups[1].photos.size(), 2u);
    EXPECT_EQ(groups[1].photos[0].name().substr(0, 4), "hill");
    EXPECT_GE(groups[0].reclaimable(), groups[1].reclaimable());
}

std::set<std::string> pathsOf(const SimilarPhotoGroup& group) {
    std::set<std::string> paths;
    for (const auto& photo : group.photos) paths.insert(photo.path);
    return paths;
}

TEST(SimilarPhotoSearchTest, FindListsPhotosOfTheUserFoldersOnce) {
    test::TempHome home;
    home.dir("Pictures");
    test::PhotoFixture::write(home.path("Pictures/lake.jpg"), 1600, 1200, 40);
    test::PhotoFixture::write(home.path("Pictures/lake-q70.jpg"), 1600, 1200, 40, test::PhotoFixture::camera(),
                              Variant{.quality = 70});
    // A second name of the same photo in another root: the same data, nothing to free.
    home.hardlink("Desktop/lake-link.jpg", "Pictures/lake.jpg");
    test::PhotoFixture::write(home.path("Pictures/tiny.jpg"), 400, 400, 40);  // below 100,000 bytes
    test::PhotoFixture::write(home.path("Pictures/.hidden.jpg"), 1600, 1200, 40);
    home.file("Pictures/notes.txt", 200'000);
    ASSERT_LT(listedAsItIs(home.path("Pictures/tiny.jpg")).bytes, Finder::minimumBytes);

    Recorder recorder;
    const auto groups = Finder::find(DuplicateFinder::defaultRoots(home.root()), Finder::threshold,
                                     recorder.progress(), never);
    // Every file entry counts while looking, listed or not; two photos are read.
    EXPECT_EQ(recorder.stages(), (std::vector<Finder::Stage>{{Finder::Stage::Looking{6}},
                                                             {Finder::Stage::Reading{2, 2}},
                                                             {Finder::Stage::Grouping{}}}));
    ASSERT_EQ(groups.size(), 1u);
    const auto paths = pathsOf(groups[0]);
    EXPECT_TRUE(paths.contains(home.path("Pictures/lake-q70.jpg")));
    EXPECT_EQ(paths.contains(home.path("Desktop/lake-link.jpg")) + paths.contains(home.path("Pictures/lake.jpg")), 1);
    EXPECT_EQ(groups[0].reclaimable(), groups[0].photos[1].bytes);
    // Removing every name frees each photo's data once.
    EXPECT_EQ(groups[0].freed({home.path("Pictures/lake.jpg"), home.path("Desktop/lake-link.jpg"),
                               home.path("Pictures/lake-q70.jpg")}),
              groups[0].photos[0].bytes + groups[0].photos[1].bytes);

    Recorder cancelled;
    EXPECT_TRUE(Finder::find({home.path("Pictures")}, Finder::threshold, cancelled.progress(), [] { return true; })
                    .empty());
    for (const auto& s : cancelled.stages()) EXPECT_TRUE(std::holds_alternative<Finder::Stage::Looking>(s.value));
}

TEST(SimilarPhotoSearchTest, CloneKeysAskedForGroupedPhotosOnly) {
    test::TempHome home;
    std::vector<Finder::File> files;
    for (const auto* name : {"shot.jpg", "shot-clone.jpg"}) {
        test::PhotoFixture::write(home.path(name), 800, 600, 50);
        files.push_back(listedAsItIs(home.path(name)));
    }
    test::PhotoFixture::write(home.path("other.jpg"), 800, 600, 51);
    files.push_back(listedAsItIs(home.path("other.jpg")));
    std::mutex mutex;
    std::set<std::string> asked;
    const auto groups = Finder::findAmong(files, Finder::threshold, [](const auto&) {}, never,
                                          [&](const std::string& path) -> std::optional<std::uint64_t> {
                                              const std::lock_guard lock(mutex);
                                              asked.insert(path);
                                              return 42;
                                          });
    ASSERT_EQ(groups.size(), 1u);
    EXPECT_EQ(asked, pathsOf(groups[0]));
    EXPECT_EQ(asked.size(), 2u);
    EXPECT_EQ(groups[0].reclaimable(), 0);
}

// Hundreds of photos read side by side on every core, as in a real library: the search gives
// every scene its group and does not bring the process down (under the sanitizer build, it
// touches no memory it does not own).
TEST(SimilarPhotoSearchTest, HundredsOfPhotosReadSideBySideGiveEverySceneItsGroup) {
    test::TempHome home;
    constexpr int scenes = 8, sizes = 25;
    std::vector<Finder::File> files;
    for (int scene = 0; scene < scenes; ++scene) {
        const auto shot = home.path("shot" + std::to_string(scene) + ".jpg");
        test::PhotoFixture::write(shot, 800, 600, 100 + scene);
        for (int size = 0; size < sizes; ++size) {
            const auto copy = home.path("s" + std::to_string(scene) + "_" + std::to_string(size) + ".jpg");
            // From 536 by 402 pixels up: each still shrunk to its thumbnail, none below 400.
            test::PhotoFixture::resave(shot, copy, 0.67 + 0.0135 * size);
            files.push_back(listedAsItIs(copy));
        }
    }
    const auto groups = Finder::findAmong(files, Finder::threshold, nullptr, nullptr);
    EXPECT_EQ(groups.size(), std::size_t(scenes));
    for (const auto& group : groups) EXPECT_EQ(group.photos.size(), std::size_t(sizes));
}

} // namespace
} // namespace tidra
