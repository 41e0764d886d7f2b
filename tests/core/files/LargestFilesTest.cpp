#include "files/LargestFiles.h"

#include "files/UnicodeText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <set>
#include <tuple>

namespace tidra {
namespace {

struct Offer {
    std::string path;
    std::int64_t bytes;
    std::uint64_t inode;
    bool hardLinked;
};

// The ranking of everything at once, as a plain sort gives it.
std::vector<std::string> sortedAll(std::vector<Offer> offers, std::size_t limit) {
    std::sort(offers.begin(), offers.end(), [](const Offer& a, const Offer& b) {
        return std::tuple(b.bytes, UnicodeText::composed(a.path), a.path) <
               std::tuple(a.bytes, UnicodeText::composed(b.path), b.path);
    });
    std::set<std::uint64_t> linkedTaken;
    std::vector<std::string> paths;
    for (const auto& offer : offers) {
        if (paths.size() == limit) break;
        if (offer.hardLinked && !linkedTaken.insert(offer.inode).second) continue;
        paths.push_back(offer.path);
    }
    return paths;
}

std::vector<std::string> kept(const std::vector<Offer>& offers, const std::vector<std::size_t>& order,
                              std::int64_t limit) {
    // Offered to two halves, merged, as the workers of a search do.
    LargestFiles first(limit), second(limit);
    for (std::size_t i = 0; i < order.size(); ++i) {
        const auto& offer = offers[order[i]];
        (i % 2 ? second : first).offer({offer.path, offer.bytes, {}}, 1, offer.inode, offer.hardLinked);
    }
    first.merge(second);
    std::vector<std::string> paths;
    for (const auto& file : first.ranked()) paths.push_back(file.path);
    return paths;
}

TEST(LargestFiles, KeepsWhatSortingEverythingGivesInAnyOrder) {
    const std::vector<Offer> offers{
        {"/h/big", 900, 1, false},
        {"/h/z-link", 500, 7, true},
        {"/h/a-link", 500, 7, true},  // the same file as z-link, ranked under this name
        {"/h/f", 300, 3, false},
        {"/h/e\xcc\x81", 300, 4, false},  // decomposed é: after f in composed order, before it in bytes
        {"/h/d", 300, 5, false},
        {"/h/small", 100, 6, false},
    };
    std::vector<std::size_t> order(offers.size());
    std::iota(order.begin(), order.end(), 0);
    do {
        for (std::int64_t limit = -1; limit <= std::int64_t(offers.size()) + 1; ++limit) {
            const auto expected = sortedAll(offers, std::size_t(std::max<std::int64_t>(limit, 0)));
            ASSERT_EQ(kept(offers, order, limit), expected) << "limit " << limit;
        }
    } while (std::next_permutation(order.begin(), order.end()));
    EXPECT_EQ(sortedAll(offers, 5), (std::vector<std::string>{"/h/big", "/h/a-link", "/h/d", "/h/f", "/h/e\xcc\x81"}));
}

} // namespace
} // namespace tidra
