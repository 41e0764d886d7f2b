#include "files/KeptFile.h"

#include "files/Sha256.h"
#include "platform/FileDetails.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <functional>

namespace tidra {
namespace {

std::string hashOf(const std::string& content) {
    Sha256 digest;
    digest.feed(reinterpret_cast<const unsigned char*>(content.data()), std::int64_t(content.size()));
    return digest.hex().value();
}

// The photo as a search would have recorded it now.
SimilarPhoto found(const std::string& path) {
    const auto details = sys::FileDetails::of(path).value();
    SimilarPhoto photo;
    photo.path = path;
    photo.identity = CloneID::ownIdentity(details.device, details.inode);
    photo.modified = std::chrono::system_clock::time_point(std::chrono::duration_cast<std::chrono::system_clock::duration>(
        std::chrono::nanoseconds(details.modifiedNanoseconds)));
    return photo;
}

TEST(KeptFileTest, AKeeperOfIdenticalFilesStandsOnlyWithTheSameLengthAndContent) {
    const std::string content(300'000, 'k');
    struct Case {
        const char* what;
        std::function<void(test::TempHome&)> change;
        bool stands;
    };
    const Case cases[] = {
        {"untouched", [](test::TempHome&) {}, true},
        {"rewritten, same length", [&](test::TempHome& h) { h.text("keep", std::string(content.size(), 'z')); }, false},
        {"grown", [&](test::TempHome& h) { h.text("keep", content + "!"); }, false},
        {"deleted", [](test::TempHome& h) { std::remove(h.path("keep").c_str()); }, false},
        {"a link to an equal file",
         [&](test::TempHome& h) {
             h.text("elsewhere", content);
             std::remove(h.path("keep").c_str());
             h.symlink("keep", h.path("elsewhere"));
         },
         false},
        {"a FIFO",
         [](test::TempHome& h) {
             std::remove(h.path("keep").c_str());
             ::mkfifo(h.path("keep").c_str(), 0600);
         },
         false},
    };
    for (const auto& c : cases) {
        test::TempHome home;
        home.text("keep", content);
        c.change(home);
        EXPECT_EQ(KeptFile::hasContent(home.path("keep"), std::int64_t(content.size()), hashOf(content)), c.stands)
            << c.what;
    }
}

TEST(KeptFileTest, AKeptPhotoStandsOnlyAsTheSameFileWithTheSameModificationTime) {
    using namespace std::chrono_literals;
    const auto then = std::chrono::system_clock::now() - 48h;
    struct Case {
        const char* what;
        std::function<void(test::TempHome&)> change;
        bool stands;
    };
    const Case cases[] = {
        {"untouched", [](test::TempHome&) {}, true},
        {"touched", [&](test::TempHome& h) { h.setModified("best.jpg", then + 1s); }, false},
        {"replaced by an equal file with the same time",
         [&](test::TempHome& h) {
             h.text("new.jpg", "jpeg");
             h.setModified("new.jpg", then);
             std::rename(h.path("new.jpg").c_str(), h.path("best.jpg").c_str());
         },
         false},
        {"deleted", [](test::TempHome& h) { std::remove(h.path("best.jpg").c_str()); }, false},
    };
    for (const auto& c : cases) {
        test::TempHome home;
        home.text("best.jpg", "jpeg");
        home.setModified("best.jpg", then);
        const SimilarPhoto photo = found(home.path("best.jpg"));
        c.change(home);
        EXPECT_EQ(KeptFile::isUnchanged(photo), c.stands) << c.what;
    }
}

} // namespace
} // namespace tidra
