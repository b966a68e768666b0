#include "data/histogram.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "analysis/load.h"

namespace rel {
namespace {

// A state holding failures of cause 2 at the given times (rejects get cause 0).
AnalysisState WithTimes(const std::vector<double>& times) {
    AnalysisState st;
    st.MaxPrich = 2;
    for (double t : times) st.ArrProblems.push_back({t, t < 1 ? 0 : 2, "", ""});
    SortProblems(st);
    return st;
}

std::vector<double> Bounds(const Hist40& h) {
    std::vector<double> b;
    for (const auto& r : h) b.push_back(r.time);
    return b;
}

std::vector<int> Sums(const Hist40& h) {
    std::vector<int> s;
    for (const auto& r : h) s.push_back(r.Sum);
    return s;
}

TEST(Histogram, SinglePasses) {
    struct Case {
        const char* what;
        std::vector<double> times;
        std::vector<double> bounds;
        std::vector<int> sums;
    };
    const std::vector<Case> cases = {
        {"reject and the 0.1 h band", {0.5, 50, 99.95, 100.05, 150}, {100, 200}, {3, 1}},
        {"exactly bound + 0.1 goes on", {50, 100.1, 150}, {100, 200}, {1, 2}},
        {"bound + 0.09 stays", {50, 100.09, 150}, {100, 200}, {2, 1}},
        {"gap stretched", {50, 430}, {100, 500}, {1, 1}},
        {"last failure inside the band", {50, 200.05}, {100, 200, 300}, {1, 1, 0}},
        {"only rejects", {0, 0.5}, {100}, {0}},
        {"first interval empty", {250}, {300}, {1}},
    };
    for (const auto& c : cases) {
        const AnalysisState st = WithTimes(c.times);
        Hist40 h;
        HistPass(st, 100, 100, h);
        EXPECT_EQ(Bounds(h), c.bounds) << c.what;
        EXPECT_EQ(Sums(h), c.sums) << c.what;
    }
    // The reject is counted under cause 0 in the first interval, outside its Sum.
    const AnalysisState st = WithTimes({0.5, 50, 99.95, 100.05, 150});
    Hist40 h;
    HistPass(st, 100, 100, h);
    EXPECT_EQ(h[0].Npr[0], 1);
    EXPECT_EQ(h[0].Npr[2], 3);
    EXPECT_EQ(h[1].Npr[2], 1);
}

TEST(Histogram, WidthsAdaptToTheBand) {
    // 80 failures in nine 100 h intervals: more than 70 failures need 11 intervals.
    std::vector<double> many;
    for (int k = 0; k < 9; ++k)
        for (int j = 0; j < 9 && many.size() < 80; ++j) many.push_back(k * 100 + 5 + j * 10);
    AnalysisState st = WithTimes(many);
    Hist40 first;
    HistPass(st, 100, 100, first);
    ASSERT_EQ(first.size(), 9u);
    BuildHist(st);
    EXPECT_EQ(st.Shag1, 50);
    EXPECT_EQ(st.Shag2, 100);
    EXPECT_EQ(Bounds(st.ArrHist),
              (std::vector<double>{50, 100, 150, 200, 250, 300, 350, 400, 450, 500, 600, 700, 800, 900}));

    // A long tail of 50 intervals: later intervals become 200 h wide.
    std::vector<double> tail;
    for (int k = 0; k < 50; ++k) tail.push_back(50 + 100 * k);
    st = WithTimes(tail);
    BuildHist(st);
    EXPECT_EQ(st.Shag1, 100);
    EXPECT_EQ(st.Shag2, 200);
    ASSERT_EQ(st.ArrHist.size(), 30u);
    for (int k = 0; k < 10; ++k) EXPECT_EQ(st.ArrHist[k].time, 100.0 * (k + 1));
    for (int k = 10; k < 30; ++k) EXPECT_EQ(st.ArrHist[k].time, 1000.0 + 200.0 * (k - 9));

    // Widths start from 100 h on every build: a second build gives the same.
    const Hist40 once = st.ArrHist;
    st.Shag1 = 3;
    st.Shag2 = 6400;
    BuildHist(st);
    EXPECT_EQ(Bounds(st.ArrHist), Bounds(once));
    EXPECT_EQ(st.Shag2, 200);
}

TEST(Histogram, BuildsThatCannotReachTheBandEnd) {
    // Fewer than seven failures: halving stops at 1 h and keeps that pass.
    AnalysisState st = WithTimes({10, 20, 30});
    BuildHist(st);
    EXPECT_EQ(st.Shag1, 1);
    EXPECT_EQ(Bounds(st.ArrHist), (std::vector<double>{10, 20, 30}));

    // Failures so far apart that no doubling merges them: doubling stops too.
    std::vector<double> far;
    for (int k = 1; k <= 50; ++k) far.push_back(1e10 * k);
    st = WithTimes(far);
    BuildHist(st);
    EXPECT_EQ(st.ArrHist.size(), 50u);
    EXPECT_EQ(st.Shag2, 100 << 23);
    EXPECT_GE(st.ArrHist.back().time, 5e11);
    EXPECT_LT(st.ArrHist.back().time, 5e11 + st.Shag2);

    // Nothing to build on.
    for (const auto& times :
         std::vector<std::vector<double>>{{}, {10, 2e12}, {10, std::numeric_limits<double>::quiet_NaN()}}) {
        st = WithTimes(times);
        st.ArrHist.resize(4);
        BuildHist(st);
        EXPECT_TRUE(st.ArrHist.empty());
        EXPECT_EQ(st.Shag1, 100);
        EXPECT_EQ(st.Shag2, 100);
    }
}

// One pass stepping the bound one width at a time, as written in the rules.
Hist40 StepByStepPass(const AnalysisState& st, int shag1, int shag2) {
    const auto& P = st.ArrProblems;
    Hist40 out;
    std::size_t cur = 0;
    int k = 0, rejects = 0;
    double t = 0.0;
    while (true) {
        out.emplace_back();
        const std::size_t begin = cur;
        do {
            t = t + (k < 10 ? shag1 : shag2);
            while (cur < P.size() && P[cur].time < t + 0.1) {
                if (P[cur].time < 1.0) {
                    ++out[0].Npr[P[cur].chey];
                    ++rejects;
                } else {
                    ++out[k].Npr[P[cur].chey];
                }
                ++cur;
            }
        } while (cur == begin && t < P.back().time);
        out[k].Sum = static_cast<int>(cur - begin) - (k == 0 ? rejects : 0);
        out[k].time = t;
        if (t >= P.back().time) break;
        ++k;
    }
    return out;
}

// Long gaps are crossed in one go; the bounds must be those of single steps.
TEST(Histogram, PassesMatchStepByStepBounds) {
    std::uint64_t seed = 12345;
    auto next = [&seed] {
        seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<double>(seed >> 11) / 9007199254740992.0;
    };
    for (int trial = 0; trial < 200; ++trial) {
        std::vector<double> times;
        double t = 0;
        const int n = 1 + trial % 60;
        for (int i = 0; i < n; ++i) {
            const double u = next();
            t += u < 0.1 ? 0.0 : u < 0.3 ? next() * 0.3 : u < 0.9 ? next() * 150 : next() * 20000;
            times.push_back(trial % 7 == 0 && i < 3 ? next() : std::round(t * 10) / 10);
        }
        const AnalysisState st = WithTimes(times);
        for (const auto& [s1, s2] : {std::pair{100, 100}, {3, 400}, {1, 100}, {50, 3200}}) {
            Hist40 fast;
            HistPass(st, s1, s2, fast);
            const Hist40 slow = StepByStepPass(st, s1, s2);
            ASSERT_EQ(Bounds(fast), Bounds(slow)) << trial << " " << s1 << " " << s2;
            ASSERT_EQ(Sums(fast), Sums(slow)) << trial;
            for (std::size_t k = 0; k < fast.size(); ++k) ASSERT_EQ(fast[k].Npr, slow[k].Npr);
        }
    }
}

// Every failure lies in exactly one interval, found from the bounds alone.
TEST(Histogram, DemoFileInvariants) {
    AnalysisState st;
    ASSERT_TRUE(LoadFailureFile(st, std::string(RELAN_EXAMPLES) + "/demo-fleet.txt", '.').ok);
    BuildHist(st);
    const Hist40& h = st.ArrHist;
    const std::size_t N = st.ArrProblems.size();
    ASSERT_GE(h.size(), 7u);
    ASSERT_LE(h.size(), 41u);
    if (N > 70) {
        EXPECT_GE(h.size(), 11u);
    }
    EXPECT_GE(h.back().time, st.ArrProblems.back().time);
    std::vector<std::array<int, kNprSize>> want(h.size());
    std::vector<int> sums(h.size(), 0);
    for (const auto& p : st.ArrProblems) {
        if (p.time < 1) {
            ++want[0][p.chey];
            continue;
        }
        std::size_t k = 0;
        while (k < h.size() && !(p.time < h[k].time + 0.1)) ++k;
        ASSERT_LT(k, h.size());
        ASSERT_TRUE(k == 0 || p.time >= h[k - 1].time + 0.1);
        ++want[k][p.chey];
        ++sums[k];
    }
    for (std::size_t k = 0; k < h.size(); ++k) {
        if (k > 0) {
            EXPECT_GT(h[k].time, h[k - 1].time);
        }
        EXPECT_EQ(h[k].Npr, want[k]) << k;
        EXPECT_EQ(h[k].Sum, sums[k]) << k;
        for (int c = st.MaxPrich + 1; c < kNprSize; ++c) EXPECT_EQ(h[k].Npr[c], 0);
    }
}

}  // namespace
}  // namespace rel
