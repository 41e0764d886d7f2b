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

// A shot and the copies people make of it: enlarged (by a few percent, or twice and saved at a
// higher quality), toned, captioned, saved at a low quality, given more contrast. Each copy gains something the old order liked (more pixels, a higher
// quality score, a bigger file), yet the shot is the one to keep.
TEST(SimilarPhotoKeeperTest, TheUntouchedShotComesBeforeItsEditedCopies) {
    test::TempHome home;
    const std::pair<const char*, Variant> shots[] = {
        {"shot.jpg", Variant{}},
        {"enlarged.jpg", Variant{.size = 1.5}},
        {"enlarged103.jpg", Variant{.quality = 85, .size = 1.03}},
        {"enlarged2.jpg", Variant{.quality = 95, .size = 2.0}},
        {"sepia.jpg", Variant{.sepia = true}},
        {"captioned.jpg", Variant{.watermark = true}},
        {"quality50.jpg", Variant{.quality = 50}},
        {"contrast.jpg", Variant{.contrast = 1.2}},
    };
    std::vector<Finder::File> files;
    for (const auto& [name, variant] : shots) {
        test::PhotoFixture::write(home.path(name), 1200, 900, 60, test::PhotoFixture::camera(), variant);
        files.push_back(listedOnOneDay(home.path(name)));
    }
    const auto groups = Finder::findAmong(files, Finder::threshold, nullptr, nullptr);
    ASSERT_EQ(groups.size(), 1u);
    ASSERT_EQ(groups[0].photos.size(), 8u);
    EXPECT_EQ(groups[0].photos[0].name(), "shot.jpg");
}

} // namespace
} // namespace tidra
