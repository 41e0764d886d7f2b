#include "files/ImageLibraries.h"

#include <gtest/gtest.h>
#include <vips/vips.h>
// Not part of vips.h, and needs it first.
#include <vips/vector.h>

namespace tidra {
namespace {

// libvips' vector code frees its compiled programs without a lock; with many photos read side
// by side it corrupted the heap now and then. It must stay off for every user of libvips.
TEST(ImageLibrariesTest, TheVectorPathIsOffOnceStarted) {
    ImageLibraries::start();
    ImageLibraries::start();
    EXPECT_FALSE(vips_vector_isenabled());
}

} // namespace
} // namespace tidra
