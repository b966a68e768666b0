// The mean cumulative function: by hand on a small fleet, under each source of the
// products at risk, and against the truth on a simulated fleet in service.
#include "stats/mcf.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "fit/ml_fit.h"

namespace rel {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

AnalysisState Fleet(double park, const std::vector<double>& times) {
    AnalysisState st;
    st.Park = park;
    for (double t : times) st.ArrProblems.Append(t, 0, "", "");
    return st;
}

TEST(Mcf, AddsOneOverTheProductsAtRiskWithItsLogBand) {
    // Three products leaving warranty at 100, 200 and 300 h; a reject at 0 h left out;
    // two failures at 150 h count together.
    AnalysisState st = Fleet(3, {0, 50, 150, 150, 250});
    st.ArrGar = {300, 100, 200};
    const Mcf m = ComputeMcf(st);
    ASSERT_EQ(m.points.size(), 3u);
    const double v[3] = {1.0 / 3, 1.0 / 3 + 2.0 / 2, 1.0 / 3 + 1.0 + 1.0};
    const double var[3] = {1.0 / 9, 1.0 / 9 + 2.0 / 4, 1.0 / 9 + 0.5 + 1.0};
    for (int i = 0; i < 3; ++i) {
        EXPECT_DOUBLE_EQ(m.points[i].Value, v[i]);
        const double spread = std::exp(1.959963984540054 * std::sqrt(var[i]) / v[i]);
        EXPECT_DOUBLE_EQ(m.points[i].Lo, v[i] / spread);
        EXPECT_DOUBLE_EQ(m.points[i].Hi, v[i] * spread);
    }
    EXPECT_DOUBLE_EQ(McfAt(m, 10), 0);
    EXPECT_DOUBLE_EQ(McfAt(m, 160), v[1]);
    EXPECT_DOUBLE_EQ(McfAt(m, 1e6), v[2]);
    EXPECT_FALSE(m.stopped);
    // Products are observed up to the last warranty end, 300 h: the estimate with its
    // band reaches that far and no farther.
    EXPECT_NEAR(m.reach, 300, 0.01);
    EXPECT_EQ(McfPointAt(m, 10)->Value, 0);
    EXPECT_EQ(McfPointAt(m, 160)->Hi, m.points[1].Hi);
    EXPECT_EQ(McfPointAt(m, 299)->Value, v[2]);
    EXPECT_FALSE(McfPointAt(m, 301));
}

TEST(Mcf, ProductsAtRiskFromEachSource) {
    struct Case {
        const char* name;
        AnalysisState st;
        double at;        // a failure time
        double expected;  // the estimate's step there
    };
    std::vector<Case> cases;
    {
        AnalysisState st = Fleet(10, {1000});
        st.SredGar = 1000;
        st.SKOGar = 200;
        cases.push_back({"normal law: half the fleet at the mean", st, 1000, 1.0 / 5});
    }
    {
        AnalysisState st = Fleet(10, {150});
        st.ArrGar = {100, 200};  // a list shorter than the fleet: its shares
        cases.push_back({"warranty list's shares", st, 150, 1.0 / 5});
    }
    {
        AnalysisState st = Fleet(4, {150});
        st.SredGar = 1000;
        st.SKOGar = 1e-9;
        auto a = std::make_shared<FleetAges>();
        a->Age = {100, 200, 300, 5000};
        a->WarrantyEnd = {kNaN, 120, kNaN, kNaN};
        a->Usage.assign(4, kNaN);
        st.Ages = a;
        // At 150 h: the products aged 300 and 5000 h, under warranty until 1000 h.
        cases.push_back({"ages with a known warranty end", st, 150, 1.0 / 2});
    }
    for (const Case& c : cases) {
        const Mcf m = ComputeMcf(c.st);
        ASSERT_EQ(m.points.size(), 1u) << c.name;
        EXPECT_NEAR(m.points[0].Value, c.expected, 1e-12) << c.name;
    }
    // Beyond every product's window the estimate stops rather than divide by nothing.
    AnalysisState st = Fleet(2, {50, 150});
    st.ArrGar = {100, 100};
    const Mcf m = ComputeMcf(st);
    EXPECT_EQ(m.points.size(), 1u);
    EXPECT_TRUE(m.stopped);
    EXPECT_NEAR(m.reach, 100, 0.01);
    EXPECT_EQ(ComputeMcf(Fleet(0, {50})).reach, 0);
}

TEST(Mcf, FollowsTheTrueExpectedFailuresOfAFleetInService) {
    MlCohortDesign d;
    d.n = 4000;
    d.usage = 150;
    const MlParams truth{1.3, 3000, 1.3, 4000, 600};
    MlInput in;
    in.Park = 4000;
    in.Sred = 4000;
    in.SKO = 600;
    in.ages = std::make_shared<FleetAges>(MlCohortAges(d, 31));
    const MlServiceFleet sim = MlSimulateInService(in, truth, 32);
    AnalysisState st = Fleet(4000, sim.seen);
    st.SredGar = 4000;
    st.SKOGar = 600;
    st.Ages = in.ages;
    const Mcf m = ComputeMcf(st);
    ASSERT_FALSE(m.points.empty());
    for (double t : {500.0, 1500.0, 2500.0}) {
        const double N = truth.K * -std::expm1(-std::pow(t / truth.B, truth.A));
        const auto it = std::upper_bound(m.points.begin(), m.points.end(), t,
                                         [](double x, const McfPoint& p) { return x < p.t; });
        ASSERT_NE(it, m.points.begin());
        const McfPoint& p = *std::prev(it);
        EXPECT_NEAR(p.Value, N, 0.1 * N) << t;
        EXPECT_LT(p.Lo, N) << t;
        EXPECT_GT(p.Hi, N) << t;
    }
}

// The band covers the true expected failures per product from 1 h on in at least 90 %
// of seeded fleets, whichever way the products at risk are known (bench/mcf_bench.cpp
// prints the full table).
TEST(Mcf, BandCoversTheTruthOnSimulatedFleets) {
    const MlParams truth{1.3, 3000, 1.3, 4000, 600};
    auto N = [&](double t) {
        return truth.K * (std::exp(-std::pow(1 / truth.B, truth.A)) - std::exp(-std::pow(t / truth.B, truth.A)));
    };
    for (const char* record : {"complete", "listed", "in service"}) {
        int fits = 0, covered[3] = {};
        for (std::uint64_t seed = 1; seed <= 200; ++seed) {
            MlInput in;
            in.Park = 600;
            in.Sred = truth.Sred;
            in.SKO = truth.SKO;
            std::vector<double> times;
            if (std::string(record) == "in service") {
                MlCohortDesign d;
                d.n = 600;
                in.ages = std::make_shared<FleetAges>(MlCohortAges(d, seed));
                times = MlSimulateInService(in, truth, seed + 1000).seen;
            } else {
                if (std::string(record) == "listed")
                    for (int i = 0; i < 600; ++i) in.warranty.push_back(3000 + 10.0 * (i % 200));
                times = MlSimulateFleet(in, truth, seed);
            }
            AnalysisState st = Fleet(600, times);
            st.SredGar = in.Sred;
            st.SKOGar = in.SKO;
            st.ArrGar = in.warranty;
            st.Ages = in.ages;
            const Mcf m = ComputeMcf(st);
            ++fits;
            const double at[3] = {500, 1000, 2000};
            for (int i = 0; i < 3; ++i) {
                const std::optional<McfPoint> p = McfPointAt(m, at[i]);
                ASSERT_TRUE(p) << record << " " << seed;
                covered[i] += p->Lo <= N(at[i]) && N(at[i]) <= p->Hi;
            }
        }
        for (int i = 0; i < 3; ++i) EXPECT_GE(covered[i], 0.9 * fits) << record << " at point " << i;
    }
}

}  // namespace
}  // namespace rel
