#include "data/failure_list.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <numeric>
#include <string>
#include <vector>

namespace rel {
namespace {

// Sorting by time gives the order of a stable sort by time, whatever the times
// (ties, zero of either sign, negative times, times far apart or all but equal,
// NaN), and each failure's cause and texts go with it.
TEST(FailureList, SortByTimeIsAStableSortAndTheTextsFollow) {
    std::vector<double> many;  // a large list with many ties
    std::uint64_t x = 7;
    for (int i = 0; i < 5000; ++i) {
        x = x * 6364136223846793005ULL + 1442695040888963407ULL;
        many.push_back(std::round(static_cast<double>(x >> 40) / 1e3) / 10);
    }
    std::vector<double> twoSides;  // two large groups of equal times, either side of zero
    for (int i = 0; i < 200; ++i) twoSides.push_back(i % 2 ? 1.0 : -1.0);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        const char* what;
        std::vector<double> times;
    };
    const std::vector<Case> cases = {
        {"empty", {}},
        {"already in order", {1, 2, 2, 3}},
        {"reversed", {5, 4, 3, 2, 1}},
        {"ties keep their order", {3, 1, 3, 1, 3, 0}},
        {"zero and minus zero are equal", {0.0, -0.0, 0.0, 1, -0.0}},
        {"negative and positive", {-5, 3, -1e9, 1e9, 0, -0.5}},
        {"far apart and all but equal", {1e-300, 1e300, 1, 1 + 1e-15, 1, 5e-324}},
        {"two groups of ties", twoSides},
        {"a large list", many},
        {"NaN", {3, nan, 1, 2, nan, 0}},
    };
    for (const Case& c : cases) {
        FailureList list;
        for (std::size_t i = 0; i < c.times.size(); ++i)
            list.Append(c.times[i], static_cast<int>(i % 53), "источник " + std::to_string(i),
                        i % 3 ? "описание " + std::to_string(i) : "");
        std::vector<std::size_t> order(c.times.size());
        std::iota(order.begin(), order.end(), 0);
        std::stable_sort(order.begin(), order.end(),
                         [&](std::size_t a, std::size_t b) { return c.times[a] < c.times[b]; });
        list.SortByTime();
        ASSERT_EQ(list.size(), order.size()) << c.what;
        for (std::size_t k = 0; k < order.size(); ++k) {
            const std::size_t i = order[k];
            const FailureRef f = list[k];
            // Bit for bit: minus zero stays minus zero.
            EXPECT_EQ(std::memcmp(&f.time, &c.times[i], sizeof f.time), 0) << c.what << ": " << k;
            EXPECT_EQ(f.chey, static_cast<int>(i % 53)) << c.what << ": " << k;
            EXPECT_EQ(f.Pri, "источник " + std::to_string(i)) << c.what << ": " << k;
            EXPECT_EQ(f.komment, i % 3 ? "описание " + std::to_string(i) : "") << c.what << ": " << k;
        }
    }
}

// A text stored once serves every failure that gives it; the texts every file has are
// the same in the list however they are stored.
TEST(FailureList, StoredTextsServeManyFailures) {
    FailureList list;
    const FailureList::TextSpan engine = list.StoreText("Двигатель стартера");
    const FailureList::TextSpan fromCodePage = list.StoreCp1251Text("\xC4\xE2\xE8\xE3\xE0\xF2\xE5\xEB\xFC");
    const FailureList::TextSpan brak = list.StoreCp1251Text("\xC1\xF0\xE0\xEA");
    for (int i = 0; i < 3; ++i) list.AppendStored(100.0 * i, 2, engine, fromCodePage);
    list.AppendStored(0.5, 0, brak, {});
    list.push_back({0.2, 0, "Брак", "вмятина"});
    EXPECT_EQ(list.TextOf(fromCodePage), "Двигатель");
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(list[static_cast<std::size_t>(i)].Pri, "Двигатель стартера");
        EXPECT_EQ(list[static_cast<std::size_t>(i)].komment, "Двигатель");
    }
    EXPECT_EQ(list[3].Pri, "Брак");
    EXPECT_EQ(list[3].komment, "");
    EXPECT_EQ(list[4].Pri, "Брак");
    EXPECT_EQ(list[4].komment, "вмятина");
    FailureList same{{0, 2, "Двигатель стартера", "Двигатель"},
                     {100, 2, "Двигатель стартера", "Двигатель"},
                     {200, 2, "Двигатель стартера", "Двигатель"},
                     {0.5, 0, "Брак", ""},
                     {0.2, 0, "Брак", "вмятина"}};
    EXPECT_TRUE(list == same);
}

}  // namespace
}  // namespace rel
