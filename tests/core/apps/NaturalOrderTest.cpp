#include "apps/NaturalOrder.h"

#include <gtest/gtest.h>

namespace tidra {
namespace {

int sign(int v) {
    return (v > 0) - (v < 0);
}

TEST(NaturalOrderTest, Compare) {
    struct Row {
        const char* a;
        const char* b;
        int order;
    };
    const Row rows[] = {
        {"App 1", "app 2", -1},
        {"app 2", "App 10", -1},
        {"App 10", "App 1", 1},
        {"alpha", "ALPHA", 0},
        {"file007", "file7", 0},
        {"file8", "file007", 1},
        {"x99999999999999999999999999", "x100000000000000000000000000", -1},
        {"a", "ab", -1},
        {"", "a", -1},
        {"", "", 0},
        {"B", "a", 1},
        {"Zebra", "apple", 1},
        {"\xC3\x84pfel", "\xC3\xA4pfel", 0},        // Äpfel vs äpfel
        {"Stra\xC3\x9F" "e", "STRASSE", 0},        // ß folds to ss
        {"a\xFF", "A\xFF", 0},                     // invalid UTF-8 still folds ASCII
        {"v2.10", "v2.9", 1},
        {"1", "a", -1},
    };
    for (const auto& row : rows)
        EXPECT_EQ(sign(NaturalOrder::compare(row.a, row.b)), row.order) << row.a << " / " << row.b;
}

} // namespace
} // namespace tidra
