#include "fs/ByteFormat.h"

#include <gtest/gtest.h>

#include <limits>

namespace tidra {
namespace {

struct Case {
    std::int64_t bytes;
    const char* text;
};

TEST(ByteFormatTest, FileStyleDecimalUnits) {
    const Case cases[] = {
        {0, "0 bytes"},
        {1, "1 byte"},
        {2, "2 bytes"},
        {999, "999 bytes"},
        {1'000, "1 KB"},
        {1'499, "1 KB"},
        {1'500, "2 KB"},
        {12'345, "12 KB"},
        {999'499, "999 KB"},
        {999'500, "1 MB"},
        {1'000'000, "1 MB"},
        {1'049'999, "1 MB"},
        {1'050'000, "1.1 MB"},
        {85'400'000, "85.4 MB"},
        {999'949'999, "999.9 MB"},
        {999'950'000, "1 GB"},
        {1'000'000'000, "1 GB"},
        {31'740'000'000, "31.74 GB"},
        {85'400'000'000, "85.4 GB"},
        {1'005'000'000, "1.01 GB"},
        {1'004'999'999, "1 GB"},
        {999'995'000'000, "1 TB"},
        {2'500'000'000'000, "2.5 TB"},
        {1'000'000'000'000'000, "1 PB"},
        {-1, "-1 byte"},
        {-1'500, "-2 KB"},
        {-85'400'000, "-85.4 MB"},
        {std::numeric_limits<std::int64_t>::max(), "9,223.37 PB"},
        {std::numeric_limits<std::int64_t>::min(), "-9,223.37 PB"},
    };
    for (const auto& c : cases) EXPECT_EQ(ByteFormat::string(c.bytes), c.text) << c.bytes;
}

TEST(ByteFormatTest, MemoryStyleBinaryUnits) {
    const Case cases[] = {
        {0, "0 bytes"},
        {1, "1 byte"},
        {1'000, "1,000 bytes"},
        {1'023, "1,023 bytes"},
        {1'024, "1 KB"},
        {1'048'576, "1 MB"},
        {1'572'864, "1.5 MB"},
        {1'073'741'824, "1 GB"},
        {17'179'869'184, "16 GB"},
        {1'073'741'824LL * 1'000, "0.98 TB"},
        {1'073'741'824LL * 1'024, "1 TB"},
        {-1'073'741'824, "-1 GB"},
    };
    for (const auto& c : cases) EXPECT_EQ(ByteFormat::memory(c.bytes), c.text) << c.bytes;
}

} // namespace
} // namespace tidra
