#include "core/files/PhotoFixture.h"
#include "files/FeatureVector.h"
#include "files/SimilarPhotoFinder.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace tidra {
namespace {

using test::PhotoFixture::Variant;

float distance(const std::vector<float>& a, const std::vector<float>& b) {
    float sum = 0;
    for (std::size_t i = 0; i < a.size(); ++i) sum += (a[i] - b[i]) * (a[i] - b[i]);
    return std::sqrt(sum);
}

std::vector<float> vectorOf(const test::TempHome& home, const std::string& name, int seed, const Variant& variant = {},
                            test::PhotoFixture::Content content = test::PhotoFixture::Content::scene) {
    const auto path = home.path(name);
    test::PhotoFixture::write(path, 1200, 900, seed, test::PhotoFixture::camera(), variant, content);
    const auto thumbnail = PhotoThumbnail::make(path);
    EXPECT_TRUE(thumbnail);
    return thumbnail ? FeatureVector::of(*thumbnail) : std::vector<float>{};
}

TEST(FeatureVectorTest, FixedLengthAndScale) {
    test::TempHome home;
    const auto v = vectorOf(home, "a.jpg", 1);
    ASSERT_EQ(v.size(), std::size_t(FeatureVector::length));
    float norm = 0;
    for (float x : v) norm += x * x;
    EXPECT_NEAR(std::sqrt(norm), FeatureVector::scale, 1e-4);
}

TEST(FeatureVectorTest, BlankAndDegeneratePicturesGiveNoNaN) {
    test::TempHome home;
    const std::vector<std::vector<float>> vectors = {
        vectorOf(home, "flat.jpg", 1, {}, test::PhotoFixture::Content::flat),
        FeatureVector::of(Thumbnail{1, 1, {7, 7, 7}}),
        FeatureVector::of(Thumbnail{}),
        FeatureVector::of(Thumbnail{4, 4, {1, 2, 3}}),
    };
    for (const auto& v : vectors) {
        ASSERT_EQ(v.size(), std::size_t(FeatureVector::length));
        for (float x : v) ASSERT_TRUE(std::isfinite(x));
    }
}

TEST(FeatureVectorTest, CopiesPeopleKeepStayWithinTheThreshold) {
    using test::PhotoFixture::Content;
    test::TempHome home;
    const std::pair<const char*, Variant> variants[] = {
        {"brighter", Variant{.exposure = 1.15}},
        {"darker", Variant{.exposure = 0.85}},
        {"shadows lifted", Variant{.lift = 25}},
        {"cropped", Variant{.crop = 0.05}},
        {"cropped more", Variant{.crop = 0.10}},
        {"turned", Variant{.angle = 2.0}},
        {"reencoded", Variant{.quality = 70}},
        {"softer", Variant{.blur = 1.0}},
        {"blurred", Variant{.blur = 2.4}},
        {"half size", Variant{.size = 0.5}},
        {"greyscale", Variant{.greyscale = true}},
    };
    for (const auto content : {Content::scene, Content::vivid}) {
        const auto original = vectorOf(home, "original.jpg", 5, {}, content);
        for (const auto& [name, variant] : variants) {
            const auto v = vectorOf(home, std::string(name) + ".jpg", 5, variant, content);
            EXPECT_LE(distance(original, v), SimilarPhotoFinder::threshold)
                << name << (content == Content::vivid ? " (vivid)" : "") << ": " << distance(original, v);
        }
    }
}

TEST(FeatureVectorTest, DifferentScenesLieBeyondTheThreshold) {
    test::TempHome home;
    std::vector<std::vector<float>> scenes;
    for (int seed = 10; seed < 16; ++seed) scenes.push_back(vectorOf(home, "s.jpg", seed));
    for (int seed = 10; seed < 13; ++seed)
        scenes.push_back(vectorOf(home, "v.jpg", seed, {}, test::PhotoFixture::Content::vivid));
    scenes.push_back(vectorOf(home, "page.jpg", 1, {}, test::PhotoFixture::Content::page));
    for (std::size_t i = 0; i < scenes.size(); ++i)
        for (std::size_t j = i + 1; j < scenes.size(); ++j)
            EXPECT_GT(distance(scenes[i], scenes[j]), SimilarPhotoFinder::threshold)
                << i << " " << j << ": " << distance(scenes[i], scenes[j]);
}

// The search prints a photo from a 256-pixel decode and judges it from the 512-pixel
// thumbnail; either gives the same print, at any shrink the decoder chooses, within a small
// share of the threshold.
TEST(FeatureVectorTest, PrintOfTheJudgingThumbnailMatchesThePrintOfA256PixelDecode) {
    using test::PhotoFixture::Content;
    test::TempHome home;
    struct Case {
        const char* name;
        int width, height;
        Content content;
        Variant variant;
    };
    const Case cases[] = {
        {"scene", 1200, 900, Content::scene, {}},
        {"vivid", 1200, 900, Content::vivid, {}},
        {"page", 1200, 900, Content::page, {}},
        {"large", 2400, 1800, Content::scene, {}},
        {"tall", 900, 1400, Content::scene, {}},
        {"blurred", 1600, 1200, Content::vivid, Variant{.blur = 2.4}},
    };
    for (const auto& c : cases) {
        const auto path = home.path(std::string(c.name) + ".jpg");
        test::PhotoFixture::write(path, c.width, c.height, 7, test::PhotoFixture::camera(), c.variant, c.content);
        const auto judging = PhotoThumbnail::make(path);
        const auto small = PhotoThumbnail::make(path, 256);
        ASSERT_TRUE(judging && small) << c.name;
        ASSERT_EQ(std::max(small->width, small->height), 256) << c.name;
        const float apart = distance(FeatureVector::of(*judging), FeatureVector::of(*small));
        EXPECT_LE(apart, SimilarPhotoFinder::threshold / 5) << c.name << ": " << apart;
    }
}

} // namespace
} // namespace tidra
