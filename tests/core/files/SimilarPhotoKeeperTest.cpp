#include "core/files/PhotoFixture.h"
#include "files/SimilarPhotoFinder.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace tidra {
namespace {

namespace Finder = SimilarPhotoFinder;
using test::PhotoFixture::Variant;

Finder::File listedOnOneDay(const std::string& path) {
    struct stat st {};
    EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
    const auto day = std::chrono::system_clock::from_time_t(1'700'000'000);
    return {path, std::int64_t(st.st_blocks) * 512, std::int64_t(st.st_size), CloneID::ownIdentity(st.st_dev, st.st_ino),
            day,  day};
}

// A shot and the copies people make of it: enlarged (by a few percent up to twice, saved at a
// lower or a higher quality), toned, captioned, saved at a low quality, given more contrast,
// cropped, blurred, halved. Each copy gains something the old order liked (more pixels, a
// higher quality score, a bigger file), yet the shot is the one to keep.
TEST(SimilarPhotoKeeperTest, TheUntouchedShotComesBeforeItsEditedCopies) {
    test::TempHome home;
    const std::pair<const char*, Variant> shots[] = {
        {"shot.jpg", Variant{}},
        {"enlarged101.jpg", Variant{.quality = 95, .size = 1.01}},
        {"enlarged103.jpg", Variant{.quality = 85, .size = 1.03}},
        {"enlarged110.jpg", Variant{.quality = 92, .size = 1.1}},
        {"enlarged120.jpg", Variant{.quality = 95, .size = 1.2}},
        {"enlarged135.jpg", Variant{.quality = 85, .size = 1.35}},
        {"enlarged.jpg", Variant{.size = 1.5}},
        {"enlarged167.jpg", Variant{.quality = 95, .size = 1.67}},
        {"enlarged2.jpg", Variant{.quality = 95, .size = 2.0}},
        {"sepia.jpg", Variant{.sepia = true}},
        {"captioned.jpg", Variant{.watermark = true}},
        {"quality50.jpg", Variant{.quality = 50}},
        {"contrast.jpg", Variant{.contrast = 1.2}},
        {"cropped.jpg", Variant{.crop = 0.1}},
        {"blurred.jpg", Variant{.blur = 2.0}},
        {"half.jpg", Variant{.size = 0.5}},
    };
    std::vector<Finder::File> files;
    for (const auto& [name, variant] : shots) {
        test::PhotoFixture::write(home.path(name), 1200, 900, 60, test::PhotoFixture::camera(), variant);
        files.push_back(listedOnOneDay(home.path(name)));
    }
    const auto groups = Finder::findAmong(files, Finder::threshold, nullptr, nullptr);
    ASSERT_EQ(groups.size(), 1u);
    ASSERT_EQ(groups[0].photos.size(), std::size(shots));
    EXPECT_EQ(groups[0].photos[0].name(), "shot.jpg");
}

// Two photos alone, so that no other copy's size can speak for either: the one holding the
// detail comes first, whichever is larger and however the other was saved.
TEST(SimilarPhotoKeeperTest, ThePhotoWithTheMostDetailComesFirst) {
    test::TempHome home;
    struct Case {
        const char* copy;
        Variant variant;
    };
    const Case cases[] = {
        {"enlarged101.jpg", Variant{.quality = 95, .size = 1.01}},
        {"enlarged105.jpg", Variant{.quality = 95, .size = 1.05}},
        {"enlarged120.jpg", Variant{.quality = 95, .size = 1.2}},
        {"enlarged167.jpg", Variant{.quality = 95, .size = 1.67}},
        {"enlarged2.jpg", Variant{.quality = 95, .size = 2.0}},
        {"halved.jpg", Variant{.quality = 95, .size = 0.5}},
    };
    std::vector<Finder::File> files;
    int seed = 70;
    for (const auto& c : cases) {
        const auto shot = home.path(std::string("shot-of-") + c.copy), copy = home.path(c.copy);
        test::PhotoFixture::write(shot, 1200, 900, seed, test::PhotoFixture::camera());
        test::PhotoFixture::write(copy, 1200, 900, seed++, test::PhotoFixture::camera(), c.variant);
        files.push_back(listedOnOneDay(shot));
        files.push_back(listedOnOneDay(copy));
    }
    const auto groups = Finder::findAmong(files, Finder::threshold, nullptr, nullptr);
    ASSERT_EQ(groups.size(), std::size(cases));
    for (const auto& g : groups) {
        ASSERT_EQ(g.photos.size(), 2u);
        EXPECT_EQ(g.photos[0].name(), "shot-of-" + g.photos[1].name());
    }
}

} // namespace
} // namespace tidra
