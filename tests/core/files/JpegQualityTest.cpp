#include "core/files/PhotoFixture.h"
#include "files/JpegQuality.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <vector>

namespace tidra {
namespace {

std::vector<unsigned char> bytesOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(JpegQualityTest, ReadsTheQualityAPhotoWasSavedAt) {
    test::TempHome home;
    for (const int quality : {30, 50, 75, 85, 90, 92, 95, 100}) {
        const auto path = home.path("q" + std::to_string(quality) + ".jpg");
        test::PhotoFixture::write(path, 640, 480, 7, test::PhotoFixture::camera(),
                                  test::PhotoFixture::Variant{.quality = quality});
        const auto read = JpegQuality::of(path);
        ASSERT_TRUE(read) << quality;
        EXPECT_NEAR(*read, quality, 1) << quality;
    }
}

TEST(JpegQualityTest, NothingForOtherFilesOrHeadersCutShort) {
    test::TempHome home;
    test::PhotoFixture::write(home.path("photo.png"), 640, 480, 7);
    test::PhotoFixture::write(home.path("photo.jpg"), 640, 480, 7);
    EXPECT_FALSE(JpegQuality::of(home.path("photo.png")));
    EXPECT_FALSE(JpegQuality::of(home.path("missing.jpg")));
    const auto whole = bytesOf(home.path("photo.jpg"));
    ASSERT_TRUE(JpegQuality::ofHeader(whole.data(), whole.size()));
    // Cut inside the metadata or inside the table itself: never read past the bytes given.
    for (const std::size_t cut : {std::size_t(1), std::size_t(3), std::size_t(20), std::size_t(200)})
        EXPECT_FALSE(JpegQuality::ofHeader(whole.data(), std::min(cut, whole.size()))) << cut;
    // A segment claiming more bytes than there are.
    const unsigned char lying[] = {0xFF, 0xD8, 0xFF, 0xDB, 0xFF, 0xFF, 0x00, 0x01};
    EXPECT_FALSE(JpegQuality::ofHeader(lying, sizeof lying));
}

TEST(JpegQualityTest, SixteenBitTablesAndTablesAfterTheChrominanceOne) {
    // A chrominance table (id 1) first, then the luminance table in 16-bit entries, all 2s:
    // that is quality 98 on the usual scale.
    std::vector<unsigned char> bytes = {0xFF, 0xD8, 0xFF, 0xDB};
    const std::size_t length = 2 + (1 + 64) + (1 + 128);
    bytes.push_back(static_cast<unsigned char>(length >> 8));
    bytes.push_back(static_cast<unsigned char>(length & 0xFF));
    bytes.push_back(0x01);
    for (int i = 0; i < 64; ++i) bytes.push_back(99);
    bytes.push_back(0x10);
    for (int i = 0; i < 64; ++i) {
        bytes.push_back(0);
        bytes.push_back(2);
    }
    const auto read = JpegQuality::ofHeader(bytes.data(), bytes.size());
    ASSERT_TRUE(read);
    EXPECT_EQ(*read, 98);
}

} // namespace
} // namespace tidra
