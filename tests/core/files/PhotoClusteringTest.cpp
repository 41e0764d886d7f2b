#include "files/SimilarPhotoFinder.h"

#include <gtest/gtest.h>

namespace tidra {
namespace {

namespace Finder = SimilarPhotoFinder;
using namespace std::chrono_literals;

Finder::Print at(const std::string& name, std::chrono::seconds when, std::vector<float> vector) {
    Finder::Print p;
    p.file.path = "/p/" + name;
    p.vector = std::move(vector);
    p.date = Finder::Date{} + when;
    return p;
}

// Clusters as lists of names, for readable expectations.
std::vector<std::vector<std::string>> names(const std::vector<std::vector<Finder::Print>>& clusters) {
    std::vector<std::vector<std::string>> result;
    for (const auto& cluster : clusters) {
        result.emplace_back();
        for (const auto& p : cluster) result.back().push_back(p.file.path.substr(3));
    }
    return result;
}

using Names = std::vector<std::vector<std::string>>;
constexpr std::chrono::seconds day{86'400};

TEST(PhotoClusteringTest, Rules) {
    struct Case {
        const char* what;
        std::vector<Finder::Print> prints;
        Names expected;
    };
    const Case cases[] = {
        {"a week window from the representative",
         {at("a", 0 * day, {0, 0}), at("b", 3 * day, {0.1f, 0}), at("c", 8 * day, {0, 0})},
         {{"a", "b"}}},
        {"exactly seven days still joins",
         {at("a", 0s, {0, 0}), at("b", Finder::dateWindow, {0, 0})},
         {{"a", "b"}}},
        {"one second more does not",
         {at("a", 0s, {0, 0}), at("b", Finder::dateWindow + 1s, {0, 0})},
         {}},
        {"the nearer representative wins",
         {at("a", 0s, {0, 0}), at("b", 1s, {0.6f, 0}), at("c", 2s, {0.4f, 0})},
         {{"b", "c"}}},
        {"equal distances go to the older cluster",
         {at("a", 0s, {0, 0}), at("b", 1s, {0.6f, 0}), at("c", 2s, {0.3f, 0})},
         {{"a", "c"}}},
        {"only the representative is compared",
         {at("a", 0s, {0, 0}), at("b", 1s, {0.3f, 0}), at("c", 2s, {0.6f, 0})},
         {{"a", "b"}}},
        {"exactly the threshold is similar",
         {at("a", 0s, {0, 0}), at("b", 1s, {0, 0.35f})},
         {{"a", "b"}}},
        {"just outside the threshold is not",
         {at("a", 0s, {0, 0}), at("b", 1s, {0, 0.36f})},
         {}},
        {"different lengths never compare",
         {at("a", 0s, {0, 0}), at("b", 1s, {0, 0, 0})},
         {}},
        {"one print",
         {at("a", 0s, {0, 0})},
         {}},
        {"all far apart",
         {at("a", 0s, {0, 0}), at("b", 1s, {1, 0}), at("c", 2s, {0, 1})},
         {}},
        {"clusters in the order they opened",
         {at("a", 0s, {0, 0}), at("b", 1s, {5, 5}), at("c", 2s, {5, 5.1f}), at("d", 3s, {0.1f, 0})},
         {{"a", "d"}, {"b", "c"}}},
    };
    for (const auto& c : cases) EXPECT_EQ(names(Finder::group(c.prints, Finder::threshold)), c.expected) << c.what;
}

TEST(PhotoClusteringTest, ExpiredClustersStayClosedForLaterPrints) {
    // c is close to a but a's week is over; c must open its own cluster, which d then joins.
    const std::vector<Finder::Print> prints = {at("a", 0 * day, {0, 0}), at("b", 1 * day, {0, 0}),
                                               at("c", 9 * day, {0, 0}), at("d", 10 * day, {0, 0})};
    EXPECT_EQ(names(Finder::group(prints, Finder::threshold)), (Names{{"a", "b"}, {"c", "d"}}));
}

} // namespace
} // namespace tidra
