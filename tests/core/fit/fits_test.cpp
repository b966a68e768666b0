#include "fit/fits.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

#include "data/failure_file.h"
#include "fit/fit_clock.h"
#include "stats/distrib.h"
#include "text/text.h"

namespace rel {
namespace {

Hist_Rec Interval(double time, int sum) {
    Hist_Rec r;
    r.time = time;
    r.Sum = sum;
    r.Npr[2] = sum;
    return r;
}

// A fleet of 100 products whose failures follow the model A = 1.5, B = 3000 h with
// each failing product failing four times on average, under a warranty ending at
// 2000 +- 500 h: fifteen 100 h intervals holding the rounded expected counts.
AnalysisState Fleet() {
    AnalysisState st;
    st.Park = st.ParkFile = 100;
    st.SredGar = 2000;
    st.SKOGar = 500;
    st.TPrirab = 300;
    int total = 0;
    double t0 = 0;
    for (int j = 0; j < 15; ++j) {
        const double t = t0 + 100;
        const double m =
            100 * 4.0 * (WeibF(1.5, 3000, t) - WeibF(1.5, 3000, t0)) * (1 - NormF(2000, 500, (t0 + t) / 2));
        const int n = static_cast<int>(std::lround(m));
        st.ArrHist.push_back(Interval(t, n));
        for (int i = 0; i < n; ++i) st.ArrProblems.push_back({t0 + 100.0 * (i + 1) / (n + 1), 2, "", ""});
        total += n;
        t0 = t;
    }
    st.KolOtkNez = total;
    st.KolOtkAll = total + 1;
    return st;
}

// Runs a fit and keeps what it returns in the state, as the calculation run does
// with a fit that was not refused: its record and the warranty figures it fitted.
template <class Fit>
FitSummary Keep(Fit fit, Mod_Weib AnalysisState::*record, AnalysisState& st, const FitOptions& opt) {
    FitReport r = fit(st, opt);
    if (r.summary.ok) {
        st.*record = std::move(r.model);
        st.SredGar = r.SredGar;
        st.SKOGar = r.SKOGar;
    }
    return r.summary;
}
FitSummary Spiral(AnalysisState& st, const FitOptions& opt) {
    return Keep(FitSpiral, &AnalysisState::ModSpir, st, opt);
}
FitSummary Newton(AnalysisState& st, const FitOptions& opt) {
    return Keep(FitNewton, &AnalysisState::ModNewton, st, opt);
}
FitSummary Smirnov(AnalysisState& st, const FitOptions& opt) {
    return Keep(FitSmirnov, &AnalysisState::ModSmirn, st, opt);
}

// Every criterion takes the same value at every point: the fleet used by the
// criteria is empty (no expected failures), while 151 failures in a fleet of 1000
// set the start of the repetition coefficient to 0.151, below its lower bounds.
AnalysisState Flat() {
    AnalysisState st = Fleet();
    st.Park = 0;
    st.ParkFile = 1000;
    st.KolOtkAll = 151;
    return st;
}

// The criteria are NaN at every point: the warranty deviation is 0 and the warranty
// mean lies on the midpoint of an interval and on a failure's time.
AnalysisState Undefined() {
    AnalysisState st = Fleet();
    st.ParkFile = 1000;
    st.KolOtkAll = 151;
    st.SKOGar = 0;
    st.SredGar = 150;
    st.ArrProblems.push_back({150.0, 2, "", ""});
    SortProblems(st);  // keep the list sorted
    return st;
}

// A simulated clock that moves on by `step` seconds at every reading.
FitClock Stepping(double step) {
    auto t = std::make_shared<double>(-step);
    return FitClock{[t, step] { return *t += step; }, 0};
}

// A clock that reads the given times in turn, then stays at the last.
FitClock Scripted(std::vector<double> times) {
    auto i = std::make_shared<std::size_t>(0);
    auto v = std::make_shared<std::vector<double>>(std::move(times));
    return FitClock{[i, v] {
                        const double t = (*v)[std::min(*i, v->size() - 1)];
                        ++*i;
                        return t;
                    },
                    0};
}

FitClock Virtual(std::int64_t rate) { return FitClock{{}, rate}; }

FitOptions Options(double coef, FitClock clock) {
    FitOptions o;
    o.StepCoef = coef;
    o.clock = std::move(clock);
    o.decimalSep = ',';
    return o;
}

double Raised(double coef, double factor, int times) {
    for (int i = 0; i < times; ++i) coef = coef * factor;
    return coef;
}

// ---- Texts ----

TEST(FitTexts, MemoLineFormats) {
    const struct {
        std::string got, want;
    } cases[] = {
        {StepLine(5e-5, 400, 100, ','), "Шаг=5,000000000E-005  Sred=   400,000 SKO=   100,000"},
        {StepLine(-1.2345678901e-9, 2500, 550.25, '.'), "Шаг=-1.234567890E-009  Sred=  2500.000 SKO=   550.250"},
        {StepLine(0.0, 12345.6789, 0.0004, '.'), "Шаг=0.000000000E+000  Sred= 12345.679 SKO=     0.000"},
        {ElapsedLine("Расчёт модели по Смирнову выполнен за ", 10),
         "Расчёт модели по Смирнову выполнен за 0:00:10ч/мин/с"},
        {ElapsedLine("X ", 3725), "X 1:02:05ч/мин/с"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.got, c.want);
    }
}

TEST(FitTexts, CoefficientTexts) {
    const struct {
        const char* text;
        char sep;
        std::optional<double> want;
    } cases[] = {
        {"1,00025", ',', 1.00025},  {"1.00025", '.', 1.00025},      {" 2 ", ',', 2.0},
        {"+1,5", ',', 1.5},         {"1,5e-3", ',', 1.5e-3},        {"1E3", '.', 1000.0},
        {"-3", '.', -3.0},          {"1.00025", ',', std::nullopt}, {"abc", '.', std::nullopt},
        {"", '.', std::nullopt},    {"1,0,0", ',', std::nullopt},   {"inf", '.', std::nullopt},
        {"nan", '.', std::nullopt}, {"1e", '.', std::nullopt},      {"--1", '.', std::nullopt},
        {"1 2", '.', std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ParseLocaleNumber(c.text, c.sep), c.want) << '"' << c.text << '"';
    }

    EXPECT_FALSE(CheckStepCoef(1.0, kStepCoefLabel11, "1"));
    EXPECT_FALSE(CheckStepCoef(1.00025, kStepCoefLabel11, "1,00025"));
    for (double bad : {0.999, 0.0, -2.0, HUGE_VAL, std::nan("")}) {
        const auto msg = CheckStepCoef(bad, kStepCoefLabel2, "x");
        ASSERT_TRUE(msg) << bad;
        EXPECT_NE(msg->find(kStepCoefLabel2), std::string::npos);
    }
}

TEST(FitClockTest, SecondsFieldIgnoresMinutes) {
    FitClock c = Scripted({100.0, 165.7, 100.4});
    FitTimer t(c);
    ElapsedTime e = t.Read();
    EXPECT_EQ(e.whole, 65);
    EXPECT_EQ(e.SecondsField(), 5);
    e = t.Read();  // a clock going back reads as no time at all
    EXPECT_EQ(e.whole, 0);

    FitClock v = Virtual(1000);
    FitTimer tv(v);
    for (int i = 0; i < 61500; ++i) tv.CountEvaluation();
    e = tv.Read();
    EXPECT_EQ(e.whole, 61);
    EXPECT_EQ(e.SecondsField(), 1);
    EXPECT_DOUBLE_EQ(e.seconds, 61.5);
}

// ---- Spiral descent (model 1.1) ----

TEST(FitSpiral, TimeRulesOnTheSecondsField) {
    // One second per pass: the search ends after the pass that sees 11 s; the
    // coefficient grows by 1.0755 after each pass from 0.5 N^2 on.
    const struct {
        bool sred, sko;
        int raises;  // passes at 5..11 s for N = 3, at 9..11 s for N = 4, none for N = 5
    } cases[] = {{false, false, 7}, {true, false, 3}, {false, true, 3}, {true, true, 0}};
    for (const auto& c : cases) {
        AnalysisState st = Fleet();
        st.FitSred = c.sred;
        st.FitSKO = c.sko;
        const FitSummary s = Spiral(st, Options(1.00025, Stepping(1.0)));
        SCOPED_TRACE(std::to_string(c.sred) + std::to_string(c.sko));
        EXPECT_TRUE(s.ok);
        EXPECT_FALSE(s.converged);
        EXPECT_EQ(s.passes, 11);
        EXPECT_EQ(s.finalStepCoef, Raised(1.00025, 1.0755, c.raises));
        ASSERT_EQ(s.memo.size(), 3u);
        EXPECT_EQ(s.memo[0], "Расчёт модели по Пирсону методом спирального спуска выполнен за 0:00:12ч/мин/с");
        EXPECT_EQ(s.memo[1].rfind("Шаг=", 0), 0u);
        EXPECT_EQ(
            s.memo[2],
            "Модель 1.1 по Пирсону: поиск остановлен по времени, не сойдясь (шаги параметров не стали меньше "
            "допусков) - оценки могут быть не наилучшими.");
        EXPECT_TRUE(st.ModSpir.Executed);
        EXPECT_FALSE(st.ModSpir.Converged);
        EXPECT_EQ(st.ModSpir.Sred, st.SredGar);
        EXPECT_EQ(st.ModSpir.SKO, st.SKOGar);
        if (c.sred) {
            EXPECT_NE(st.SredGar, 2000.0);
        }
        if (!c.sko) {
            EXPECT_EQ(st.SKOGar, 500.0);
        }
    }
}

TEST(FitSpiral, UndefinedCriterionCountsAsSuccessUntilTheBound) {
    AnalysisState st = Undefined();
    const FitSummary s = Spiral(st, Options(1.00025, Stepping(11.0)));  // one pass
    EXPECT_EQ(s.passes, 1);
    // The scale walks up in exact half hours until 50000.5 leaves the bounds, then
    // stands one step below the last point inside.
    EXPECT_EQ(st.ModSpir.B, 49999.5);
    EXPECT_GT(st.ModSpir.A, 9.999);
    EXPECT_LE(st.ModSpir.A, 10.0);
    // The repetition coefficient starts below its bound: the attempt fails without an
    // evaluation and the parameter lands one step on the other side.
    EXPECT_EQ(st.ModSpir.K_powtor, 0.151 - 0.00005);
}

TEST(FitSpiral, EqualValuesAreAccepted) {
    AnalysisState st = Flat();
    Spiral(st, Options(1.00025, Stepping(11.0)));
    EXPECT_EQ(st.ModSpir.B, 49999.5) << "an equal value counts as success";
}

TEST(FitSpiral, CoefficientsThatCannotShrinkTheStepsEnd) {
    // 1: the steps only turn round until the time rule raises the coefficient.
    // 1e300: the steps vanish at once; an attempt that no longer changes its
    // parameter counts as failed, so the search converges instead of re-evaluating
    // the same point for ever.
    for (double coef : {1.0, 1e300}) {
        for (AnalysisState st : {Fleet(), Undefined()}) {
            const FitSummary s = Spiral(st, Options(coef, Virtual(20000)));
            EXPECT_TRUE(s.ok);
            EXPECT_TRUE(st.ModSpir.Executed);
            if (coef > 2) {
                EXPECT_TRUE(s.converged) << coef;
            }
        }
    }
    AnalysisState st = Fleet();
    const FitSummary refused = Spiral(st, Options(0.9, Virtual(1000)));
    EXPECT_FALSE(refused.ok);
    EXPECT_FALSE(st.ModSpir.Executed);
}

TEST(FitSpiral, FinalValuesAndIndicators) {
    AnalysisState st = Fleet();
    const FitSummary s = Spiral(st, Options(1.00025, Virtual(100000)));
    const Mod_Weib& M = st.ModSpir;
    Mod_Weib w;
    const double atStart = PearsonCrit(st, w, 1, 1000, st.KolOtkAll / st.ParkFile, 2000, 500, kItemStandard);
    EXPECT_LT(PearsonCrit(st, w, M.A, M.B, M.K_powtor, 2000, 500, kItemStandard), atStart / 10);
    EXPECT_EQ(M.Kol_Nakopl, 0.0);
    EXPECT_EQ(M.Unsens, 0.0);
    ASSERT_EQ(M.F_Weib.size(), st.ArrHist.size());
    double prev = 0;
    for (std::size_t j = 0; j < st.ArrHist.size(); ++j) {
        const double t = st.ArrHist[j].time;
        EXPECT_EQ(M.F_Weib[j], WeibInterval(M.A, M.B, prev, t));
        EXPECT_EQ(M.F_norm[j], NormF(st.SredGar, st.SKOGar, (prev + t) / 2));
        EXPECT_EQ(M.Kol_F_priv[j], st.Park * M.K_powtor * M.F_Weib[j] * (1 - M.F_norm[j]));
        prev = t;
    }
    EXPECT_EQ(M.LamStart, WeibDens(M.A, M.B, 300) * 1000 * M.K_powtor);
    EXPECT_GT(s.evaluations, 0);
}

// ---- Newton steps (model 1.2) ----

TEST(FitNewton, EqualValuesFailAndTheStartStays) {
    AnalysisState st = Flat();
    const FitSummary s = Newton(st, Options(2.0, Stepping(0.0)));
    EXPECT_TRUE(s.converged);
    // The shape's step needs 17 halvings to fall below 1e-8: 17 passes of three
    // failed attempts and one evaluation of the stored point, after the first.
    EXPECT_EQ(s.passes, 17);
    EXPECT_EQ(s.evaluations, 1 + 17 * 4);
    EXPECT_EQ(st.ModNewton.B, 2000.0);
    EXPECT_EQ(st.ModNewton.A, 1.0);
    EXPECT_EQ(st.ModNewton.K_powtor, 0.151);
    // 17 reversals leave the shape's step negative.
    EXPECT_EQ(s.memo[1], "Шаг=-7,629394531E-009  Sred=  2000,000 SKO=   500,000");
}

TEST(FitNewton, LookAheadUndoesAStepWhoseSuccessorLeavesTheBounds) {
    // No failure observed anywhere: fewer expected failures is always better, so the
    // scale grows and the shape grows (every bound lies below the scale).
    AnalysisState st = Fleet();
    for (auto& r : st.ArrHist) r.Sum = 0;
    st.KolOtkNez = 0;
    st.ParkFile = 1000;
    st.KolOtkAll = 151;
    // The point the first pass stored.
    auto firstPass = std::make_shared<Mod_Weib>();
    FitOptions opt = Options(2.0, Stepping(0.0));
    opt.passDone = [firstPass](const Mod_Weib& M) {
        if (!firstPass->Executed) *firstPass = M;
    };
    Newton(st, opt);
    // 49999.75 is kept (its next step reaches 50000, inside); 50000 is evaluated but
    // undone because its next step would reach 50000.25.
    ASSERT_TRUE(firstPass->Executed);
    EXPECT_EQ(firstPass->B, 49999.75);
    EXPECT_LE(firstPass->A + 0.001, 3.0 + 1e-12);
    EXPECT_GT(firstPass->A, 2.99);
    // Later passes close in on the bound with shrinking steps, never beyond it.
    EXPECT_GE(st.ModNewton.B, 49999.75);
    EXPECT_LE(st.ModNewton.B, 50000.0);
    // A start below 0.999 never moves: every attempt is undone against the bound 1.
    EXPECT_EQ(st.ModNewton.K_powtor, 0.151);
}

TEST(FitNewton, UnitCoefficientWaitsForTheTimeRule) {
    // Half a second per failed attempt: the field passes 0.35 * 9 = 3.15 at the 8th
    // reading (4 s); from then on each failed attempt raises the coefficient by 1.075
    // until it reaches 3, 16 times in all, and the steps shrink.
    AnalysisState st = Flat();
    const FitSummary s = Newton(st, Options(1.0, Stepping(0.5)));
    EXPECT_TRUE(s.converged);
    EXPECT_EQ(s.finalStepCoef, Raised(1.0, 1.075, 16));
    EXPECT_EQ(st.ModNewton.B, 2000.0);

    AnalysisState v = Fleet();
    const FitSummary sv = Newton(v, Options(1.0, Virtual(5000)));
    EXPECT_TRUE(sv.converged);
    EXPECT_GE(sv.finalStepCoef, 3.0);
}

TEST(FitNewton, UndefinedCriterionStandsUnlessTheLookAheadUndoesIt) {
    // NaN counts as an improvement; with a huge coefficient the steps vanish after the
    // first reversal, and a step that no longer moves its parameter fails.
    AnalysisState st = Undefined();
    const FitSummary s = Newton(st, Options(1e300, Stepping(0.0)));
    EXPECT_TRUE(s.converged);
    EXPECT_EQ(st.ModNewton.B, 49999.75);
    EXPECT_EQ(st.ModNewton.K_powtor, 0.151);
    EXPECT_TRUE(st.ModNewton.Executed);
}

TEST(FitNewton, FitsTheWarrantyFiguresWhenAsked) {
    AnalysisState st = Fleet();
    st.FitSred = st.FitSKO = true;
    const FitSummary s = Newton(st, Options(1.00025, Virtual(1000000)));
    EXPECT_TRUE(s.converged);
    EXPECT_EQ(st.ModNewton.Sred, st.SredGar);
    EXPECT_EQ(st.ModNewton.SKO, st.SKOGar);
    EXPECT_NE(st.SredGar, 2000.0);
    EXPECT_GE(st.SKOGar, 30.0);
    EXPECT_LE(st.SKOGar, 900.0);
}

// ---- Smirnov criterion (model 2) ----

TEST(FitSmirnov, TimeRulesOnTheSecondsField) {
    const struct {
        const char* what;
        FitClock clock;
        int passes;
        int raises;
    } cases[] = {
        // ends at the pass that reads 10 s; raises at 6, 7, 8, 9 and 10 s
        {"one second per pass", Stepping(1.0), 10, 5},
        // 1 min 5 s reads as 5 s: go on, no raise; 1 min 10 s ends it after one raise
        {"past a minute", Scripted({0.0, 65.0, 70.0}), 2, 1},
    };
    for (const auto& c : cases) {
        AnalysisState st = Flat();
        const FitSummary s = Smirnov(st, Options(1.0005, c.clock));
        SCOPED_TRACE(c.what);
        EXPECT_EQ(s.passes, c.passes);
        EXPECT_EQ(s.finalStepCoef, Raised(1.0005, 1.0875, c.raises));
        EXPECT_EQ(s.evaluations, 1 + 3 * c.passes) << "every move fails on an equal value";
        EXPECT_EQ(st.ModSmirn.B, 2000.0);
        EXPECT_EQ(st.ModSmirn.A, 1.0);
        // Stopped by the time rule with its steps still large: it says so.
        EXPECT_FALSE(s.converged);
        EXPECT_FALSE(st.ModSmirn.Converged);
        ASSERT_EQ(s.memo.size(), 2u);
        EXPECT_EQ(s.memo[0].rfind("Расчёт модели по Смирнову выполнен за ", 0), 0u);
        EXPECT_EQ(s.memo[0].substr(s.memo[0].size() - 12), "ч/мин/с");
        EXPECT_EQ(s.memo[1], NotConvergedLine("Модель 2 по Смирнову"));
    }
}

TEST(FitSmirnov, BoundsAreTestedOneStepAhead) {
    AnalysisState st = Undefined();
    Smirnov(st, Options(1.0005, Stepping(10.0)));  // one pass
    EXPECT_EQ(st.ModSmirn.B, 49999.75);
    EXPECT_GT(st.ModSmirn.A, 2.999);
    EXPECT_LE(st.ModSmirn.A, 3.0);
    // 0.151 + 2 * 0.0001 stays below 1.01: every move of the coefficient is out of bounds.
    EXPECT_EQ(st.ModSmirn.K_powtor, static_cast<double>(151.0L / 1000.0L));
}

TEST(FitSmirnov, LowerBoundIsAlsoLookedAhead) {
    // Start 1.0099: the first move reaches 1.0100 and is tested at 1.0101, above the
    // excluded bound 1.01, so the coefficient may move (and does: the fleet fails four
    // times per failing product).
    AnalysisState st = Fleet();
    st.ParkFile = 10000;
    st.KolOtkAll = 10099;
    Smirnov(st, Options(1.0005, Stepping(10.0)));  // one pass
    EXPECT_GT(st.ModSmirn.K_powtor, 1.0100);
}

TEST(FitSmirnov, ResultArrays) {
    AnalysisState st = Fleet();
    const std::size_t n = st.ArrProblems.size(), H = st.ArrHist.size();
    ASSERT_GT(n, H);
    const FitSummary s = Smirnov(st, Options(1.0005, Virtual(5000)));
    const Mod_Weib& M = st.ModSmirn;
    EXPECT_TRUE(M.Executed);
    Mod_Weib shares;
    for (const auto& p : st.ArrProblems) shares.F_norm.push_back(NormF(2000, 500, p.time));
    EXPECT_LT(SmirnovCrit(st, shares, M.A, M.B, M.K_powtor),
              SmirnovCrit(st, shares, 1.0, 2000, st.KolOtkAll / st.ParkFile) / 2);
    ASSERT_EQ(M.F_Weib.size(), H);
    ASSERT_EQ(M.F_norm.size(), n) << "the per-failure shares beyond the intervals stay";
    double prev = 0;
    for (std::size_t j = 0; j < H; ++j) {
        const double t = st.ArrHist[j].time;
        double p = WeibInterval(M.A, M.B, prev, t);
        if (p < 0) p = 0;
        EXPECT_EQ(M.F_Weib[j], p);
        EXPECT_EQ(M.F_norm[j], NormF(2000, 500, (prev + t) / 2));
        prev = t;
    }
    for (std::size_t i = H; i < n; ++i) {
        EXPECT_EQ(M.F_norm[i], NormF(2000, 500, st.ArrProblems[i].time));
    }
    // The virtual clock's time: evaluations / rate, at least the 10 s that end the search.
    EXPECT_GE(s.evaluations / 5000, 10);
    EXPECT_EQ(s.memo[0], ElapsedLine("Расчёт модели по Смирнову выполнен за ", s.evaluations / 5000));
}

TEST(FitSmirnov, RefusedWithoutIndependentFailures) {
    AnalysisState st = Fleet();
    st.KolOtkNez = 0;
    st.ModSmirn.A = 7;
    const FitSummary s = Smirnov(st, Options(1.0005, Virtual(1000)));
    EXPECT_FALSE(s.ok);
    EXPECT_FALSE(s.error.empty());
    EXPECT_EQ(st.ModSmirn.A, 7);
    EXPECT_TRUE(st.ModSmirn.F_norm.empty());
}

// ---- Searches that end whatever the data ----

TEST(Fits, EndOnDegenerateDataAndCoefficients) {
    // Inputs that once kept a search going for hours. A fleet of 0 makes every
    // criterion NaN, which counts as an improvement: each walk ran to the far bound,
    // and back at a smaller step, and so on down to the tolerance. A coefficient of
    // 100 shrinks the steps far below the distance still to go, and each tiny step
    // still improves slightly. With the virtual clock the evaluations are the same on
    // every machine; each fit must end, within the evaluations its walk limits allow.
    AnalysisState noFleet = Fleet();
    noFleet.Park = noFleet.ParkFile = 0;
    const struct {
        const char* what;
        int model;  // 0: 1.1, 1: 1.2, 2: 2
        AnalysisState st;
        double coef;
        std::int64_t rate;
        std::int64_t most;  // evaluations
    } cases[] = {
        // About 15 passes of at most 260,000 evaluations (the walk limits of the
        // scale, the shape and the repetition coefficient) each.
        {"1.2, fleet 0, time rules at once", 1, noFleet, 1.00025, 1, 4000000},
        {"1.2, warranty deviation 0", 1, Undefined(), 1.00025, 1, 4000000},
        {"1.2, fleet 0, coefficient 100", 1, noFleet, 100, 100000, 1200000},
        // Without its walk limits: 30 million in two passes.
        {"1.1, fleet 0, coefficient 100", 0, noFleet, 100, 100000, 2500000},
        // Creeping walks at a step far below the distance still to go end once the
        // search has run a minute: 1.2 million evaluations at this rate, and the pass.
        {"2, coefficient 100", 2, Fleet(), 100, 20000, 2000000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        AnalysisState st = c.st;
        const FitOptions o = Options(c.coef, Virtual(c.rate));
        const FitSummary s = c.model == 0 ? Spiral(st, o) : c.model == 1 ? Newton(st, o) : Smirnov(st, o);
        EXPECT_TRUE(s.ok);
        EXPECT_LE(s.evaluations, c.most);
        const Mod_Weib& M = c.model == 0 ? st.ModSpir : c.model == 1 ? st.ModNewton : st.ModSmirn;
        EXPECT_TRUE(M.Executed);
        if (c.model == 1) {
            EXPECT_TRUE(s.converged);
        }
    }
}

TEST(Fits, VirtualClockRepeatsTheSameModelAndLines) {
    for (int model = 0; model < 3; ++model) {
        AnalysisState a = Fleet(), b = Fleet();
        FitSummary sa, sb;
        const FitOptions o = Options(1.00025, Virtual(3000));
        if (model == 0) sa = Spiral(a, o), sb = Spiral(b, o);
        if (model == 1) sa = Newton(a, o), sb = Newton(b, o);
        if (model == 2) sa = Smirnov(a, o), sb = Smirnov(b, o);
        const Mod_Weib& ma = model == 0 ? a.ModSpir : model == 1 ? a.ModNewton : a.ModSmirn;
        const Mod_Weib& mb = model == 0 ? b.ModSpir : model == 1 ? b.ModNewton : b.ModSmirn;
        EXPECT_EQ(sa.memo, sb.memo) << model;
        EXPECT_EQ(sa.evaluations, sb.evaluations);
        EXPECT_EQ(ma.A, mb.A);
        EXPECT_EQ(ma.B, mb.B);
        EXPECT_EQ(ma.K_powtor, mb.K_powtor);
    }
}

}  // namespace
}  // namespace rel
