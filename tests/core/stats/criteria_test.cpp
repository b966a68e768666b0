#include "stats/criteria.h"

#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>
#include <limits>
#include <vector>

#include "criteria_reference.h"
#include "stats/distrib.h"

namespace rel {
namespace {

using reference::SameBits;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

Hist_Rec Interval(double time, int sum) {
    Hist_Rec r;
    r.time = time;
    r.Sum = sum;
    r.Npr[2] = sum;
    return r;
}

// A fleet of 400 products with 60 failures (2 of them rejects) and a histogram of
// eight intervals, uneven as the builder makes them.
AnalysisState SmallFleet() {
    AnalysisState st;
    st.Park = st.ParkFile = 400;
    const int sums[] = {9, 11, 8, 7, 6, 7, 5, 5};
    const double bounds[] = {100, 200, 300, 400, 500, 700, 900, 1300};
    for (int j = 0; j < 8; ++j) st.ArrHist.push_back(Interval(bounds[j], sums[j]));
    for (int i = 0; i < 2; ++i) st.ArrProblems.push_back({0.5, 0, "Брак", ""});
    double t0 = 0;
    for (int j = 0; j < 8; ++j) {
        for (int i = 0; i < sums[j]; ++i)
            st.ArrProblems.push_back({t0 + (bounds[j] - t0) * (i + 1) / (sums[j] + 1), 2, "", ""});
        t0 = bounds[j];
    }
    st.KolOtkNez = 58;
    st.KolOtkAll = 61;
    st.SredGar = 900;
    st.SKOGar = 300;
    return st;
}

struct Point {
    const char* what;
    double A, B, K, Sred, SKO;
};

// Parameter points of the kind the fits and the optimiser visit, and some they
// should never reach but must survive.
const std::vector<Point>& Points() {
    static const std::vector<Point> pts = {
        {"typical", 1.2, 1500, 1.3, 900, 300},
        {"shape below 1", 0.6, 800, 1.05, 400, 100},
        {"steep shape", 3.0, 600, 2.0, 5000, 900},
        {"huge scale: m nearly 0", 1.0, 1e12, 1.0, 900, 300},
        {"no repetition: every m is 0", 1.0, 1000, 0.0, 900, 300},
        {"all out of warranty", 1.0, 1000, 1.0, -1e6, 1},
        {"non-positive shape", 0.0, 1000, 1.0, 900, 300},
        {"NaN scale", 1.0, kNaN, 1.0, 900, 300},
        {"NaN warranty mean", 1.0, 1000, 1.0, kNaN, 300},
        {"zero deviation of warranty", 1.0, 1000, 1.0, 250, 0},
    };
    return pts;
}

void ExpectSameArray(const char* what, const DoubArr& got, const std::vector<double>& want) {
    ASSERT_GE(got.size(), want.size()) << what;
    for (std::size_t j = 0; j < want.size(); ++j) {
        EXPECT_TRUE(SameBits(got[j], want[j])) << what << " [" << j << "] " << got[j] << " vs " << want[j];
    }
}

TEST(PearsonCrit, EqualsThePlainFormulaToTheLastBit) {
    const AnalysisState st = SmallFleet();
    Mod_Weib M;
    for (int item : {0, 1, 2, 7}) {
        for (const Point& p : Points()) {
            SCOPED_TRACE(std::string(p.what) + ", item " + std::to_string(item));
            const double got = PearsonCrit(st, M, p.A, p.B, p.K, p.Sred, p.SKO, item);
            const auto want = reference::Pearson(st, p.A, p.B, p.K, p.Sred, p.SKO, item);
            EXPECT_TRUE(SameBits(got, want.value)) << got << " vs " << want.value;
            EXPECT_TRUE(SameBits(M.Kol_Nakopl, want.Kol_Nakopl));
            ExpectSameArray("F_norm", M.F_norm, want.F_norm);
            ExpectSameArray("F_Weib", M.F_Weib, want.F_Weib);
            ExpectSameArray("Kol_F_priv", M.Kol_F_priv, want.Kol_F_priv);
        }
    }
}

TEST(PearsonCrit, ThreeDeviationFormsShareThePenaltyOnTheTotal) {
    // One interval (0, 100] with 30 failures; exponential law with scale 100, so
    // p = 1 - e^-1; the warranty mean lies far beyond, so the share out is the floor 1e-12.
    AnalysisState st;
    st.Park = 100;
    st.KolOtkNez = 30;
    st.ArrHist.push_back(Interval(100, 30));
    const double p = 1 - std::exp(-1.0);
    const double m = 100 * p * (1 - 1e-12);
    const double penalty = 8 * (30 - m) * (30 - m);
    Mod_Weib M;
    const struct {
        int item;
        double want;
    } cases[] = {
        {0, ((30 - m) / m) * ((30 - m) / m) + penalty},
        {1, (30 - m) * (30 - m) + penalty},
        {2, ((30 - m) * (1 - p)) * ((30 - m) * (1 - p)) + penalty},
        {3, ((30 - m) * (1 - p)) * ((30 - m) * (1 - p)) + penalty},
    };
    for (const auto& c : cases) {
        EXPECT_NEAR(PearsonCrit(st, M, 1.0, 100, 1.0, 1e4, 1, c.item), c.want, 1e-9 * c.want) << "item " << c.item;
        EXPECT_NEAR(M.Kol_Nakopl, m, 1e-12);
    }
}

TEST(PearsonCrit, SpecialOneWithNoExpectedFailuresStaysFinite) {
    // K = 0: the model expects nothing anywhere. Empty intervals add 0; an interval
    // with n failures adds (n / 1e-30)^2, a huge but finite penalty.
    AnalysisState st;
    st.Park = 100;
    st.KolOtkNez = 3;
    st.ArrHist = {Interval(100, 0), Interval(200, 3)};
    Mod_Weib M;
    const double v = PearsonCrit(st, M, 1.0, 1000, 0.0, 500, 100, kItemSpecial1);
    EXPECT_TRUE(std::isfinite(v));
    EXPECT_DOUBLE_EQ(v, (3 / 1e-30) * (3 / 1e-30) + 8 * 9);
    st.ArrHist = {Interval(100, 0), Interval(200, 0)};
    st.KolOtkNez = 0;
    EXPECT_EQ(PearsonCrit(st, M, 1.0, 1000, 0.0, 500, 100, kItemSpecial1), 0.0);
}

TEST(PearsonCrit, LeavesTheModelsOwnFiguresAlone) {
    const AnalysisState st = SmallFleet();
    Mod_Weib M;
    M.A = 7;
    M.B = 8;
    M.K_powtor = 9;
    M.SKO_out = 10;
    M.Executed = true;
    PearsonCrit(st, M, 1.2, 1500, 1.3, 900, 300, kItemStandard);
    EXPECT_EQ(M.A, 7);
    EXPECT_EQ(M.B, 8);
    EXPECT_EQ(M.K_powtor, 9);
    EXPECT_EQ(M.SKO_out, 10);
    EXPECT_TRUE(M.Executed);
    EXPECT_EQ(M.F_norm.size(), st.ArrHist.size());
}

TEST(ModelIndicators, IntensitiesAndCumulativeDeviation) {
    AnalysisState st;
    st.Park = 50;
    st.ArrProblems = {{100, 2, "", ""}, {300, 2, "", ""}, {800, 2, "", ""}};
    Mod_Weib M;
    M.A = 1.5;
    M.B = 2000;
    M.K_powtor = 1.2;

    ModelIndicators(st, M, 0);  // burn-in 0 counts as 200 h
    EXPECT_EQ(M.LamStart, WeibDens(1.5, 2000, 200) * 1000 * 1.2);
    EXPECT_EQ(M.Lam1000, WeibDens(1.5, 2000, 800) * 1000 * 1.2);  // last failure before 1000 h

    // Expected cumulative counts without warranty exits against 1, 2, 3.
    double E = 0, D = 0, prev = 0;
    int i = 0;
    for (double t : {100.0, 300.0, 800.0}) {
        E += 50 * 1.2 * (std::exp(-std::pow(prev / 2000, 1.5)) - std::exp(-std::pow(t / 2000, 1.5)));
        D += (i + 1 - E) * (i + 1 - E);
        prev = t;
        ++i;
    }
    EXPECT_NEAR(M.SKO_out, std::sqrt(D) / 2, 1e-12);
    const double first = M.SKO_out;
    ModelIndicators(st, M, 0);
    EXPECT_EQ(M.SKO_out, first) << "a second call starts the sum afresh";

    st.ArrProblems.push_back({1500, 2, "", ""});
    ModelIndicators(st, M, 300);
    EXPECT_EQ(M.LamStart, WeibDens(1.5, 2000, 300) * 1000 * 1.2);
    EXPECT_EQ(M.Lam1000, WeibDens(1.5, 2000, 1000) * 1000 * 1.2);

    st.ArrProblems.resize(1);
    ModelIndicators(st, M, 300);
    EXPECT_TRUE(std::isnan(M.SKO_out)) << "one failure: no deviation";
    st.ArrProblems.clear();
    ModelIndicators(st, M, 300);
    EXPECT_TRUE(std::isnan(M.SKO_out));
    EXPECT_EQ(M.Lam1000, WeibDens(1.5, 2000, 1000) * 1000 * 1.2);
}

TEST(KolmogorovCrit, StatisticAndVerdict) {
    AnalysisState st;
    st.Park = 10;
    st.KolOtkNez = 3;
    st.ArrProblems = {{0, 0, "", ""}, {50, 2, "", ""}, {120, 2, "", ""}, {400, 2, "", ""}};
    double lambda = 0;
    std::string verdict;

    // No expected failures: D+ reaches k/n = 1 at the last failure.
    EXPECT_DOUBLE_EQ(KolmogorovCrit(st, lambda, verdict, 0.0, 1.0, 1000, 300, 100), 2.0);
    EXPECT_DOUBLE_EQ(lambda, 2.0);
    EXPECT_EQ(verdict, " >1.3581(0.05)");

    // A model by hand: censoring share at the failure time itself.
    const double K = 1.1, A = 1.3, B = 600, Sred = 300, SKO = 100;
    double C = 0, Fprev = 0, Dp = 0, Dm = 0;
    const double ts[] = {0, 50, 120, 400};
    for (int k = 1; k <= 4; ++k) {
        const double t = ts[k - 1];
        const double F = 1 - std::exp(-std::pow(t / B, A));
        C += (1 - NormF(Sred, SKO, t)) * (F - Fprev);
        Fprev = F;
        const double E = C * 10 * K / 3;
        if (t > 0) {
            Dp = std::max(Dp, k / 4.0 - E);
            Dm = std::max(Dm, E - (k - 1) / 4.0);
        }
    }
    const double want = 2 * std::max(Dp, Dm);
    EXPECT_NEAR(KolmogorovCrit(st, lambda, verdict, K, A, B, Sred, SKO), want, 1e-12);
    EXPECT_EQ(verdict, want < 1.3581 ? " <1.3581(0.05)" : " >1.3581(0.05)");

    st.KolOtkNez = 0;
    EXPECT_TRUE(std::isnan(KolmogorovCrit(st, lambda, verdict, K, A, B, Sred, SKO)));
    EXPECT_TRUE(std::isnan(lambda));
    EXPECT_EQ(verdict, "");
}

TEST(HistConfidence, LineAndSigma) {
    AnalysisState st = SmallFleet();
    Mod_Weib M;
    M.A = 1.2;
    M.B = 1500;
    M.K_powtor = 1.3;
    M.Sred = 900;
    M.SKO = 300;
    const auto want = reference::Hist(st, st.ArrHist, 1.2, 1500, 1.3, 900, 300);
    double D = 0;
    for (std::size_t j = 0; j < st.ArrHist.size(); ++j)
        D += (st.ArrHist[j].Sum - want.Kol_F_priv[j]) * (st.ArrHist[j].Sum - want.Kol_F_priv[j]);
    const Confidence c = HistConfidence(st, M, ',');
    EXPECT_TRUE(SameBits(c.sigma, std::sqrt(D) / 8));
    EXPECT_EQ(HistConfidence(st, M, ',').line, c.line) << "two calls, two identical lines";

    // A model that expects no failures over an empty histogram fits exactly.
    for (auto& r : st.ArrHist) r.Sum = 0;
    M.K_powtor = 0;
    EXPECT_EQ(HistConfidence(st, M, ',').line,
              "Доверительный 95% интервал частотной диаграммы = 0,0000,  СКО= 0,0000");
    EXPECT_EQ(HistConfidence(st, M, '.').line,
              "Доверительный 95% интервал частотной диаграммы = 0.0000,  СКО= 0.0000");

    st.ArrHist.clear();
    const Confidence none = HistConfidence(st, M, ',');
    EXPECT_TRUE(std::isnan(none.sigma));
    EXPECT_EQ(none.line, "Доверительный 95% интервал частотной диаграммы =    NAN,  СКО=    NAN");
}

TEST(HistCrit, EqualsThePlainFormulaToTheLastBit) {
    const AnalysisState st = SmallFleet();
    Mod_Weib G;
    for (const Point& p : Points()) {
        SCOPED_TRACE(p.what);
        const double got = HistCrit(st, G, st.ArrHist, p.A, p.B, p.K, p.Sred, p.SKO);
        const auto want = reference::Hist(st, st.ArrHist, p.A, p.B, p.K, p.Sred, p.SKO);
        EXPECT_TRUE(SameBits(got, want.value)) << got << " vs " << want.value;
        EXPECT_TRUE(SameBits(G.Kol_Nakopl, want.Kol_Nakopl));
        EXPECT_TRUE(SameBits(G.SKO_out, want.SKO_out));
        ExpectSameArray("F_norm", G.F_norm, want.F_norm);
        ExpectSameArray("F_Weib", G.F_Weib, want.F_Weib);
        ExpectSameArray("Kol_F_priv", G.Kol_F_priv, want.Kol_F_priv);
    }
}

TEST(GenFitness, MapsTheParameterSetByTheFitFlags) {
    AnalysisState st = SmallFleet();
    const double gp[5] = {1400, 1.1, 1.2, 700, 250};
    const struct {
        bool sred, sko;
        double wantSred, wantSKO;
    } cases[] = {
        {false, false, 900, 300},
        {true, false, 700, 300},
        {false, true, 900, 700},
        {true, true, 700, 250},
    };
    for (const auto& c : cases) {
        st.FitSred = c.sred;
        st.FitSKO = c.sko;
        Mod_Weib G1, G2;
        const double got = GenFitness(st, G1, st.ArrHist, gp);
        const double want = HistCrit(st, G2, st.ArrHist, 1.1, 1400, 1.2, c.wantSred, c.wantSKO);
        EXPECT_TRUE(SameBits(got, want)) << "FitSred " << c.sred << " FitSKO " << c.sko;
        EXPECT_TRUE(SameBits(G1.SKO_out, G2.SKO_out));
    }
}

TEST(SmirnovCrit, OverTheIndividualFailures) {
    AnalysisState st;
    st.Park = 20;
    st.KolOtkNez = 2;
    st.ArrProblems = {{0.5, 0, "Брак", ""}, {100, 2, "", ""}, {200, 2, "", ""}};
    Mod_Weib M;
    M.F_norm = {0.9, 0.1, 0.2};  // the reject's share is never read

    // No expected failures: Q = 1 + 4, and the total is compared with k - 1 = 1.
    EXPECT_DOUBLE_EQ(SmirnovCrit(st, M, 1.0, 1000, 0.0), std::sqrt(5.0) / 2 + 1.0 / 200);

    const double S1 = 1.5 * 20 * (1 - std::exp(-0.1)) * 0.9;
    const double S2 = S1 + 1.5 * 20 * (std::exp(-0.1) - std::exp(-0.2)) * 0.8;
    const double want = std::sqrt((1 - S1) * (1 - S1) + (2 - S2) * (2 - S2)) / 2 + std::fabs(S2 - 1) / 200;
    EXPECT_NEAR(SmirnovCrit(st, M, 1.0, 1000, 1.5), want, 1e-12);

    const AnalysisState big = SmallFleet();
    M.F_norm = reference::FailureShares(big, 900, 300);
    for (const Point& p : Points()) {
        EXPECT_TRUE(SameBits(SmirnovCrit(big, M, p.A, p.B, p.K), reference::Smirnov(big, M.F_norm, p.A, p.B, p.K)))
            << p.what;
    }

    M.F_norm.resize(2);
    EXPECT_TRUE(std::isnan(SmirnovCrit(st, M, 1.0, 1000, 1.5))) << "shares missing";
}

// The evaluation keeps Weibull values per (A, B) and warranty shares per (Sred, SKO)
// between calls. A search's walk -- one parameter changed at a time, now and then
// another histogram, another record, another deviation form -- must give at every
// step what the formula gives from scratch.
TEST(CritCache, EveryStepOfAWalkEqualsThePlainFormula) {
    AnalysisState st = SmallFleet();
    AnalysisState shifted = SmallFleet();
    for (auto& r : shifted.ArrHist) r.time += 25;  // same size, other bounds
    AnalysisState resummed = SmallFleet();
    resummed.ArrHist[3].Sum = 30;  // same bounds, other counts

    double x[5] = {1500, 1.2, 1.3, 900, 300};  // B, A, K, Sred, SKO
    const double step[5] = {7.5, 0.01, 0.002, 3, 1.5};
    std::uint32_t seed = 12345;
    auto next = [&seed] { return seed = seed * 1664525u + 1013904223u; };
    CritCache own;
    Mod_Weib M1, M2, G;
    for (int n = 0; n < 600; ++n) {
        const std::uint32_t r = next();
        const int i = static_cast<int>((r >> 8) % 5);
        x[i] += ((r >> 4) & 1 ? 1 : -1) * step[i];
        const AnalysisState& s = (r >> 16) % 7 == 0 ? shifted : (r >> 16) % 11 == 0 ? resummed : st;
        const int item = static_cast<int>((r >> 20) % 3);
        Mod_Weib& M = (r >> 24) & 1 ? M1 : M2;
        SCOPED_TRACE("step " + std::to_string(n));

        const auto want = reference::Pearson(s, x[1], x[0], x[2], x[3], x[4], item);
        const double viaOwn = PearsonCrit(s, M, x[1], x[0], x[2], x[3], x[4], item, own);
        ASSERT_TRUE(SameBits(viaOwn, want.value)) << viaOwn << " vs " << want.value;
        ExpectSameArray("F_Weib", M.F_Weib, want.F_Weib);
        ExpectSameArray("F_norm", M.F_norm, want.F_norm);
        ExpectSameArray("Kol_F_priv", M.Kol_F_priv, want.Kol_F_priv);
        ASSERT_TRUE(SameBits(PearsonCrit(s, M, x[1], x[0], x[2], x[3], x[4], item), want.value));

        const auto wantH = reference::Hist(s, s.ArrHist, x[1], x[0], x[2], x[3], x[4]);
        ASSERT_TRUE(SameBits(HistCrit(s, G, s.ArrHist, x[1], x[0], x[2], x[3], x[4], own), wantH.value));
        ASSERT_TRUE(SameBits(G.SKO_out, wantH.SKO_out));
        ExpectSameArray("HistCrit F_Weib", G.F_Weib, wantH.F_Weib);
    }
}

int g_reversed = 0;
void CountReversed(double, double) { ++g_reversed; }

TEST(CritCache, BoundsOutOfOrderStillMeetTheFatalCheck) {
    AnalysisState st = SmallFleet();
    std::swap(st.ArrHist[2].time, st.ArrHist[3].time);
    SetReversedIntervalHandler(&CountReversed);
    g_reversed = 0;
    Mod_Weib M;
    const double got = PearsonCrit(st, M, 1.2, 1500, 1.3, 900, 300, kItemStandard);
    const int afterPearson = g_reversed;
    const double gotH = HistCrit(st, M, st.ArrHist, 1.2, 1500, 1.3, 900, 300);
    const int afterHist = g_reversed;
    const auto want = reference::Pearson(st, 1.2, 1500, 1.3, 900, 300, kItemStandard);
    const auto wantH = reference::Hist(st, st.ArrHist, 1.2, 1500, 1.3, 900, 300);
    SetReversedIntervalHandler(nullptr);
    EXPECT_EQ(afterPearson, 1);
    EXPECT_EQ(afterHist, 2);
    EXPECT_TRUE(SameBits(got, want.value));
    EXPECT_TRUE(SameBits(gotH, wantH.value));
}

TEST(SmirnovCrit, TiedAndRejectedTimesEqualThePlainFormula) {
    AnalysisState st;
    st.Park = 300;
    for (double t : {0.0, 0.5, 0.99, 1.0, 1.0, 40.0, 40.0, 40.0, 41.5, 300.0, 300.0, 1200.0})
        st.ArrProblems.push_back({t, t < 1 ? 0 : 2, "", ""});
    st.KolOtkNez = 9;
    Mod_Weib M;
    M.F_norm = reference::FailureShares(st, 500, 150);
    // The cached evaluation over a search's moves (K alone, A alone, B, and back)
    // gives the same bits as the plain one at every point, special points included.
    SmirnovCache cache;
    for (const Point& p : Points()) {
        const double want = reference::Smirnov(st, M.F_norm, p.A, p.B, p.K);
        EXPECT_TRUE(SameBits(SmirnovCrit(st, M, p.A, p.B, p.K), want)) << p.what;
        for (int again = 0; again < 2; ++again)
            EXPECT_TRUE(SameBits(SmirnovCrit(st, M, p.A, p.B, p.K, cache), want)) << p.what << " cached";
        EXPECT_TRUE(SameBits(SmirnovCrit(st, M, p.A, p.B, p.K * 1.5, cache),
                             reference::Smirnov(st, M.F_norm, p.A, p.B, p.K * 1.5)))
            << p.what << " K moved";
        EXPECT_TRUE(SameBits(SmirnovCrit(st, M, p.A * 1.25, p.B, p.K, cache),
                             reference::Smirnov(st, M.F_norm, p.A * 1.25, p.B, p.K)))
            << p.what << " A moved";
    }
}

}  // namespace
}  // namespace rel
