#include "core/files/PhotoFixture.h"
#include "files/PhotoThumbnail.h"
#include "files/SimilarPhotoFinder.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <ctime>

namespace tidra {
namespace {

namespace Finder = SimilarPhotoFinder;
using test::PhotoFixture::Exif;

// A listed file as the search hands it over; only the path and the modification time matter.
Finder::File listed(const std::string& path, Finder::Date modified = {}) {
    Finder::File file;
    file.path = path;
    file.bytes = 200'000;
    file.modified = modified;
    return file;
}

TEST(PhotoCandidatesTest, ExtensionTest) {
    const std::pair<const char*, bool> cases[] = {
        {"IMG_0001.JPG", true}, {"Photo.HEIC", true}, {"a.jpeg", true},  {"scan.tiff", true},
        {"raw.Cr2", true},      {"x.rw2", true},      {"pic.webp", true}, {"anim.gif", false},
        {"archive.jpg.zip", false}, {"README", false}, {"jpg", false},    {"trailing.", false},
    };
    for (const auto& [name, expected] : cases) EXPECT_EQ(Finder::isPhotoName(name), expected) << name;
}

TEST(PhotoCandidatesTest, CameraTest) {
    const auto with = [](auto change) {
        PhotoProperties p;
        change(p);
        return p;
    };
    const std::pair<PhotoProperties, bool> cases[] = {
        {PhotoProperties{}, false},
        {with([](auto& p) { p.hasMake = true; }), true},
        {with([](auto& p) { p.hasModel = true; }), true},
        {with([](auto& p) { p.hasExposureTime = true; }), true},
        {with([](auto& p) { p.hasFNumber = true; }), true},
        {with([](auto& p) { p.hasMake = true; p.userComment = "My SCREENSHOT of a map"; }), false},
        {with([](auto& p) { p.hasMake = true; p.userComment = "Screenshot"; }), false},
        {with([](auto& p) { p.hasMake = true; p.userComment = "holiday"; }), true},
        {with([](auto& p) { p.userComment = "holiday"; }), false},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(Finder::isCameraPhoto(cases[i].first), cases[i].second) << "case " << i;
}

TEST(PhotoCandidatesTest, CameraDateIsLocalWallClockTime) {
    const auto date = Finder::cameraDate("2023:07:14 18:02:11");
    ASSERT_TRUE(date);
    const std::time_t seconds = std::chrono::system_clock::to_time_t(*date);
    std::tm local{};
    localtime_r(&seconds, &local);
    EXPECT_EQ(local.tm_year, 123);
    EXPECT_EQ(local.tm_mon, 6);
    EXPECT_EQ(local.tm_mday, 14);
    EXPECT_EQ(local.tm_hour, 18);
    EXPECT_EQ(local.tm_min, 2);
    EXPECT_EQ(local.tm_sec, 11);
    EXPECT_EQ(Finder::cameraDate(std::string("2023:07:14 18:02:11\0", 20)), date);
    EXPECT_EQ(Finder::cameraDate("2023:07:14 18:02:11  "), date);
}

TEST(PhotoCandidatesTest, CameraDateRejectsOtherTexts) {
    for (const char* text : {"2023-07-14 18:02:11", "0000:00:00 00:00:00", "2023:02:29 10:00:00",
                             "2023:13:01 10:00:00", "2023:07:14 24:00:00", "2023:07:14", "",
                             "2023:07:14 18:02:11Z", "2023:7:14 18:02:111", "abcd:07:14 18:02:11"})
        EXPECT_FALSE(Finder::cameraDate(text)) << text;
    EXPECT_TRUE(Finder::cameraDate("2024:02:29 10:00:00"));
}

struct CandidateCase {
    const char* name;
    int width, height;
    Exif exif;
    bool candidate;
};

Exif only(std::optional<std::string> Exif::*field, const char* value) {
    Exif exif;
    exif.*field = value;
    return exif;
}

TEST(PhotoCandidatesTest, CandidateReading) {
    Exif screenshot = test::PhotoFixture::camera();
    screenshot.userComment = "SCREENSHOT";
    const CandidateCase cases[] = {
        {"camera.jpg", 640, 480, test::PhotoFixture::camera(), true},
        {"capture.png", 640, 480, Exif{}, false},
        {"tagged.png", 640, 480, test::PhotoFixture::camera(), true},
        {"screenshot.jpg", 640, 480, screenshot, false},
        {"fnumber.jpg", 640, 480, only(&Exif::fNumber, "28/10"), true},
        {"exposure.jpg", 640, 480, only(&Exif::exposureTime, "1/125"), true},
        {"model.webp", 640, 480, only(&Exif::model, "X"), true},
        {"narrow.jpg", 6000, 399, test::PhotoFixture::camera(), false},
        {"square.jpg", 400, 400, test::PhotoFixture::camera(), true},
        {"tall.tif", 399, 800, test::PhotoFixture::camera(), false},
    };
    test::TempHome home;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto path = home.path(c.name);
        test::PhotoFixture::write(path, c.width, c.height, 1, c.exif);
        const auto print = Finder::print(listed(path));
        ASSERT_EQ(print.has_value(), c.candidate);
        if (!print) continue;
        EXPECT_EQ(print->width, c.width);
        EXPECT_EQ(print->height, c.height);
        EXPECT_EQ(print->file.path, path);
    }
}

TEST(PhotoCandidatesTest, UnreadableFilesAreNoCandidates) {
    test::TempHome home;
    home.text("broken.jpg", std::string("\xff\xd8\xff\xe0") + " not really a jpeg");
    home.text("empty.jpg", "");
    for (const char* name : {"broken.jpg", "empty.jpg", "missing.jpg"}) {
        EXPECT_FALSE(Finder::print(listed(home.path(name)))) << name;
        EXPECT_FALSE(PhotoThumbnail::make(home.path(name))) << name;
    }
}

TEST(PhotoCandidatesTest, DateFromExifElseModificationTime) {
    test::TempHome home;
    const auto modified = std::chrono::system_clock::from_time_t(1'600'000'000);
    const std::pair<std::optional<std::string>, std::optional<Finder::Date>> cases[] = {
        {"2023:07:14 18:02:11", Finder::cameraDate("2023:07:14 18:02:11")},
        {"2023-07-14 18:02:11", modified},
        {std::nullopt, modified},
    };
    for (const auto& [text, expected] : cases) {
        Exif exif = test::PhotoFixture::camera();
        exif.dateTimeOriginal = text;
        const auto path = home.path("dated.jpg");
        test::PhotoFixture::write(path, 500, 400, 2, exif);
        const auto print = Finder::print(listed(path, modified));
        ASSERT_TRUE(print);
        EXPECT_EQ(print->date, expected) << text.value_or("no date");
    }
}

TEST(PhotoCandidatesTest, StoredSizeKeptWhileThumbnailIsTurnedUpright) {
    test::TempHome home;
    Exif exif = test::PhotoFixture::camera();
    exif.orientation = 6;
    const auto path = home.path("turned.jpg");
    test::PhotoFixture::write(path, 1200, 800, 3, exif);
    const auto print = Finder::print(listed(path));
    ASSERT_TRUE(print);
    EXPECT_EQ(print->width, 1200);
    EXPECT_EQ(print->height, 800);
    const auto thumbnail = PhotoThumbnail::make(path);
    ASSERT_TRUE(thumbnail);
    EXPECT_EQ(thumbnail->height, PhotoThumbnail::maximumSide);
    EXPECT_LT(thumbnail->width, thumbnail->height);
}

TEST(PhotoCandidatesTest, ThumbnailsAreSmallRgbAndNeverEnlarged) {
    test::TempHome home;
    const std::tuple<const char*, int, int, int, int> cases[] = {
        {"big.jpg", 2000, 1000, 512, 256},
        {"small.png", 300, 200, 300, 200},
        {"mid.webp", 600, 600, 512, 512},
    };
    for (const auto& [name, w, h, tw, th] : cases) {
        const auto path = home.path(name);
        test::PhotoFixture::write(path, w, h, 4);
        const auto thumbnail = PhotoThumbnail::make(path);
        ASSERT_TRUE(thumbnail) << name;
        EXPECT_EQ(thumbnail->width, tw) << name;
        EXPECT_EQ(thumbnail->height, th) << name;
        EXPECT_EQ(thumbnail->rgb.size(), std::size_t(tw) * std::size_t(th) * 3) << name;
    }
}

} // namespace
} // namespace tidra
