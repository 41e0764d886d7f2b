#include "core/files/PhotoFixture.h"
#include "files/PhotoThumbnail.h"
#include "files/SimilarPhotoFinder.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

namespace tidra {
namespace {

namespace Finder = SimilarPhotoFinder;
using test::PhotoFixture::Content;
using test::PhotoFixture::Variant;

Finder::Rating rated(const test::TempHome& home, const std::string& name, const Variant& variant = {},
                     Content content = Content::scene) {
    const auto path = home.path(name);
    test::PhotoFixture::write(path, 800, 600, 21, test::PhotoFixture::camera(), variant, content);
    const auto thumbnail = PhotoThumbnail::make(path);
    EXPECT_TRUE(thumbnail) << name;
    return thumbnail ? Finder::rating(*thumbnail) : Finder::Rating{};
}

TEST(PhotoRatingTest, SharpWellExposedShotsScoreHigher) {
    test::TempHome home;
    const auto sharp = rated(home, "sharp.jpg");
    const auto soft = rated(home, "soft.jpg", Variant{.blur = 3.0});
    const auto burnt = rated(home, "burnt.jpg", Variant{.exposure = 2.5});
    for (const auto& r : {sharp, soft, burnt}) {
        EXPECT_GE(r.score, -1.0f);
        EXPECT_LE(r.score, 1.0f);
        EXPECT_FALSE(r.isUtility);
    }
    EXPECT_GT(sharp.score, soft.score);
    EXPECT_GT(sharp.score, burnt.score);
}

TEST(PhotoRatingTest, OnlyPagesOfFewColoursAreUtilityPictures) {
    test::TempHome home;
    EXPECT_TRUE(rated(home, "page.jpg", {}, Content::page).isUtility);
    EXPECT_FALSE(rated(home, "flat.jpg", {}, Content::flat).isUtility);
    EXPECT_FALSE(rated(home, "scene.jpg", {}, Content::scene).isUtility);
}

TEST(PhotoRatingTest, EveryDecodedThumbnailGetsARating) {
    for (const auto& t : {Thumbnail{}, Thumbnail{1, 1, {0, 0, 0}}, Thumbnail{2, 2, {255}}, Thumbnail{3, 3, std::vector<std::uint8_t>(27, 255)}}) {
        const auto r = Finder::rating(t);
        EXPECT_GE(r.score, -1.0f);
        EXPECT_LE(r.score, 1.0f);
    }
}

} // namespace
} // namespace tidra
