// Model 3 per cause: each cause's own law, the expected claims within warranty with
// their interval, the causes with too few failures, and the test of one law for all.
#include "fit/ml_causes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>

namespace rel {
namespace {

// A fleet of n products, each with its own listed warranty end, whose failures come
// from one process per cause (cause number = position in `laws`, from 1).
MlInput TwoCauseFleet(int n, const std::vector<MlParams>& laws, std::uint64_t seed) {
    MlInput in;
    in.Park = n;
    for (int i = 0; i < n; ++i) in.warranty.push_back(3000 + 2000.0 * ((i * 37) % n) / n);
    in.causeNames = {"Брак", "Первая", "Вторая", "Третья"};
    std::vector<std::pair<double, int>> all;
    for (std::size_t k = 0; k < laws.size(); ++k)
        for (double t : MlSimulateFleet(in, laws[k], seed + 101 * k)) all.emplace_back(t, static_cast<int>(k) + 1);
    std::sort(all.begin(), all.end());
    for (auto [t, k] : all) {
        in.times.push_back(t);
        in.causes.push_back(k);
    }
    return in;
}

MlResult Pooled(const MlInput& in) {
    MlOptions o;
    o.bootstrap = 0;
    return FitML(in, o);
}

TEST(MlCauses, EachCauseGetsItsOwnLawAndTheTestTellsThemApart) {
    const MlInput in = TwoCauseFleet(2000, {{0.7, 4000, 0.3, 0, 0}, {3.0, 3000, 0.5, 0, 0}}, 8);
    const MlResult pooled = Pooled(in);
    ASSERT_TRUE(pooled.ok);
    const MlCauses c = FitMLByCause(in, pooled);
    ASSERT_EQ(c.causes.size(), 2u);
    const double shapes[] = {0.7, 3.0};
    double shares = 0;
    for (std::size_t i = 0; i < 2; ++i) {
        const MlCauseFit& f = c.causes[i];
        SCOPED_TRACE(f.name);
        EXPECT_EQ(f.cause, static_cast<int>(i) + 1);
        EXPECT_EQ(f.name, i == 0 ? "Первая" : "Вторая");
        ASSERT_TRUE(f.fitted);
        EXPECT_LE(f.IntA.lo, shapes[i]);
        EXPECT_GE(f.IntA.hi, shapes[i]);
        // A complete record: the expected claims per product are the cause's count per
        // product, within the Poisson likelihood-ratio interval of its mean.
        EXPECT_DOUBLE_EQ(f.Claims.est, f.failures / 2000.0);
        for (double mu : {f.Claims.lo * 2000, f.Claims.hi * 2000}) {
            const double d = f.failures;
            EXPECT_NEAR(2 * (d * std::log(d / mu) - (d - mu)), 3.841458820694124, 1e-6);
        }
        shares += f.Share;
    }
    EXPECT_NEAR(shares, 1, 1e-12);
    ASSERT_TRUE(c.tested);
    EXPECT_EQ(c.Df, 2);
    EXPECT_LT(c.P, 0.001);
    EXPECT_TRUE(c.Differ);
    // The test statistic is twice the gain of a law per cause over one law with the
    // causes' shares of the failures.
    const double d1 = c.causes[0].failures, d2 = c.causes[1].failures, D = d1 + d2;
    const double llNull = pooled.LogLik + d1 * std::log(d1 / D) + d2 * std::log(d2 / D);
    EXPECT_NEAR(c.Chi2, 2 * (c.causes[0].LogLik + c.causes[1].LogLik - llNull), 1e-9);
}

TEST(MlCauses, OneLawForAllCausesIsNotRejected) {
    const MlParams law{1.5, 3000, 0.4, 0, 0};
    const MlInput in = TwoCauseFleet(1500, {law, law}, 11);
    const MlCauses c = FitMLByCause(in, Pooled(in));
    ASSERT_TRUE(c.tested);
    EXPECT_GT(c.P, 0.05);
    EXPECT_FALSE(c.Differ);
}

TEST(MlCauses, CausesWithTooFewFailuresAreMarkedAndFittedOnlyWhenAsked) {
    MlInput in = TwoCauseFleet(1500, {{1.5, 3000, 0.4, 0, 0}, {2.0, 3000, 0.3, 0, 0}}, 5);
    // Three failures of a third cause, and a reject below 1 h of the rejects' cause.
    for (double t : {500.0, 1200.0, 2500.0}) {
        in.times.push_back(t);
        in.causes.push_back(3);
    }
    in.times.push_back(0.5);
    in.causes.push_back(0);
    const MlResult pooled = Pooled(in);
    ASSERT_TRUE(pooled.ok);

    const MlCauses left = FitMLByCause(in, pooled);
    ASSERT_EQ(left.causes.size(), 3u);  // the rejects' cause has no failure at or above 1 h
    const MlCauseFit& few = left.causes[2];
    EXPECT_EQ(few.name, "Третья");
    EXPECT_EQ(few.failures, 3);
    EXPECT_TRUE(few.tooFew);
    EXPECT_FALSE(few.fitted);
    EXPECT_TRUE(std::isfinite(few.LogLik));  // it follows the pooled law in the test
    EXPECT_DOUBLE_EQ(few.Claims.est, 3 / 1500.0);
    EXPECT_EQ(left.Df, 4);  // two fitted laws against the common one, which the third keeps

    MlCauseOptions all;
    all.fewToo = true;
    const MlCauses asked = FitMLByCause(in, pooled, all);
    EXPECT_TRUE(asked.causes[2].fitted);
    EXPECT_TRUE(asked.causes[2].tooFew);
    EXPECT_EQ(asked.Df, 4);  // three laws against one

    // One cause alone, or no causes given: nothing per cause.
    MlInput one = in;
    std::fill(one.causes.begin(), one.causes.end(), 1);
    EXPECT_TRUE(FitMLByCause(one, pooled).causes.empty());
    MlInput none = in;
    none.causes.clear();
    EXPECT_TRUE(FitMLByCause(none, pooled).causes.empty());
}

TEST(MlCauses, AFleetInServiceCountsTheClaimsStillToCome) {
    MlCohortDesign d;
    d.n = 1500;
    MlInput in;
    in.Park = 1500;
    in.Sred = 4000;
    in.SKO = 600;
    in.ages = std::make_shared<FleetAges>(MlCohortAges(d, 3));
    in.causeNames = {"Брак", "Первая", "Вторая"};
    std::vector<std::pair<double, int>> all;
    const MlParams laws[] = {{0.8, 5000, 0.5, 4000, 600}, {2.5, 3500, 0.6, 4000, 600}};
    for (int k = 0; k < 2; ++k)
        for (double t : MlSimulateInService(in, laws[k], 40 + k).seen) all.emplace_back(t, k + 1);
    std::sort(all.begin(), all.end());
    for (auto [t, k] : all) {
        in.times.push_back(t);
        in.causes.push_back(k);
    }
    const MlResult pooled = Pooled(in);
    ASSERT_TRUE(pooled.ok);
    const MlCauses c = FitMLByCause(in, pooled);
    ASSERT_EQ(c.causes.size(), 2u);
    for (const MlCauseFit& f : c.causes) {
        ASSERT_TRUE(f.fitted) << f.name;
        // The claims within warranty: those seen and those still to come.
        EXPECT_GT(f.Claims.est, f.failures / 1500.0) << f.name;
        EXPECT_LT(f.Claims.lo, f.Claims.est);
        EXPECT_GT(f.Claims.hi, f.Claims.est);
    }
    // The wear-out cause brings most of its claims later.
    const double seenShare0 = c.causes[0].failures / (1500 * c.causes[0].Claims.est);
    const double seenShare1 = c.causes[1].failures / (1500 * c.causes[1].Claims.est);
    EXPECT_GT(seenShare0, seenShare1);
}

}  // namespace
}  // namespace rel
