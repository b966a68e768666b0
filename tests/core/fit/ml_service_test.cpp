// Model 3 on a fleet in service: the window rules against direct integration, the
// likelihood's agreement with the complete record when every product has left warranty,
// the fit and forecast on a simulated fleet of known truth, and the ages file.
#include <gtest/gtest.h>

#include <boost/math/quadrature/gauss_kronrod.hpp>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "analysis/load.h"
#include "data/ages_file.h"
#include "fit/ml_fit.h"
#include "fit/ml_model.h"

namespace rel {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

double Integral(const std::function<double(double)>& f, double a, double b) {
    if (!(b > a)) return 0;
    double s = 0, err = 0;
    const int pieces = 32;
    for (int i = 0; i < pieces; ++i) {
        const double x0 = a + (b - a) * i / pieces, x1 = a + (b - a) * (i + 1) / pieces;
        s += boost::math::quadrature::gauss_kronrod<double, 31>::integrate(f, x0, x1, 12, 1e-14, &err);
    }
    return s;
}

struct Fleet {
    std::vector<double> age, end, usage;
};

MlInput ServiceInput(const Fleet& f, double Sred, double SKO, std::vector<double> list = {}) {
    auto a = std::make_shared<FleetAges>();
    a->Age = f.age;
    a->WarrantyEnd = f.end;
    a->Usage = f.usage;
    MlInput in;
    in.Park = static_cast<double>(f.age.size());
    in.Sred = Sred;
    in.SKO = SKO;
    in.warranty = std::move(list);
    in.ages = a;
    in.horizon = 3;
    return in;
}

// Per product, the expected failures over (s, e] at K = 1: ∫ f, times the share of the
// warranty law still under warranty where the end is not known.
double Expected(const MlParams& p, double s, double e, bool lawCut, const ml::WarrantyLaw& law) {
    auto f = [&](double t) {
        const double z = std::pow(t / p.B, p.A);
        return p.A / t * z * std::exp(-z) * (lawCut ? law.Share(t) : 1.0);
    };
    s = std::max(s, 1.0);
    if (lawCut) e = std::min(e, law.Top());
    if (!(e > s)) return 0;
    if (!lawCut) return -std::expm1(-std::pow(e / p.B, p.A)) + std::expm1(-std::pow(s / p.B, p.A));
    // Split at the listed ends, where the share steps.
    std::vector<double> cuts{s};
    for (double w : law.W)
        if (w > s && w < e) cuts.push_back(w);
    cuts.push_back(e);
    double sum = 0;
    for (std::size_t i = 0; i + 1 < cuts.size(); ++i) sum += Integral(f, cuts[i], cuts[i + 1]);
    return sum;
}

TEST(MlInService, WindowRulesEqualDirectIntegration) {
    // Products of every kind: young and old, a known warranty end before and after the
    // age, an age below 1 h, hours per month given or taken from the fleet's figure.
    const Fleet fleet{{0.5, 150, 800, 1700.5, 2600, 3900, 5200, 9000},
                      {kNaN, kNaN, 700, kNaN, 4100, kNaN, 3000, kNaN},
                      {40, kNaN, 120, 200, kNaN, 90, 150, 300}};
    struct Case {
        const char* name;
        double Sred, SKO;
        std::vector<double> list;
        MlParams p;
        double tol = 1e-10;  // relative
    };
    const std::vector<Case> cases = {
        {"normal law", 4000, 600, {}, {1.3, 3000, 1, 4000, 600}},
        {"narrow normal law", 2500, 20, {}, {2.2, 1800, 1, 2500, 20}},
        {"infant mortality", 3000, 800, {}, {0.5, 9000, 1, 3000, 800}},
        {"steep wear-out", 4000, 600, {}, {8, 2500, 1, 4000, 600}},
        // A month's window on the flank of the sharpest density the fit may try.
        {"shape at the top of its range", 4000, 600, {}, {20, 2000, 1, 4000, 600}, 3e-7},
        {"warranty list", 0, 0, {1200, 2500, 2500, 3100, 4800}, {1.5, 2000, 1, 0, 0}},
    };
    for (const Case& c : cases) {
        MlInput in = ServiceInput(fleet, c.Sred, c.SKO, c.list);
        in.usage = 100;
        ml::Prepared p;
        ml::Prepare(in, p, nullptr);
        ASSERT_TRUE(p.service) << c.name;
        const ml::InService& s = *p.service;
        ml::Evaluator ev(p);
        const ml::Vec x{std::log(c.p.A), std::log(c.p.B), 0, 0};
        double seen = 0, rest = 0;
        std::vector<double> months(3, 0.0);
        for (std::size_t i = 0; i < fleet.age.size(); ++i) {
            const bool known = std::isfinite(fleet.end[i]);
            const double a = fleet.age[i], end = known ? fleet.end[i] : HUGE_VAL;
            seen += Expected(c.p, 1, std::min(a, end), !known, s.law);
            rest += Expected(c.p, a, end, !known, s.law);
            const double u = std::isfinite(fleet.usage[i]) ? fleet.usage[i] : 100;
            for (int m = 0; m < 3; ++m)
                months[m] += Expected(c.p, a + m * u, std::min(a + (m + 1) * u, end), !known, s.law);
        }
        const double n = in.Park;
        EXPECT_NEAR(ev.Lambda<0>(x).v, seen / n, c.tol * seen / n) << c.name;
        EXPECT_NEAR(ev.RuleValue(x, s.remaining), rest / n, c.tol * rest / n) << c.name;
        for (int m = 0; m < 3; ++m) {
            EXPECT_NEAR(ev.RuleValue(x, s.months[m]), months[m] / n, c.tol * months[m] / n + 1e-15) << c.name;
            double cum = 0;
            for (int k = 0; k <= m; ++k) cum += months[k];
            EXPECT_NEAR(ev.RuleValue(x, s.cumulative[m]), cum / n, c.tol * cum / n + 1e-15) << c.name;
        }
    }
}

TEST(MlInService, ModelSharesFollowTheWindows) {
    const Fleet fleet{{300, 900, 1500, 2400, 3300, 4000}, {kNaN, kNaN, 1200, kNaN, kNaN, kNaN}, {}};
    MlInput in = ServiceInput(fleet, 3000, 500);
    in.times = {10, 250, 800, 1100, 1900, 2300, 3200};
    ml::Prepared p;
    ASSERT_EQ(ml::Prepare(in, p, nullptr), "");
    ml::Evaluator ev(p);
    const MlParams q{1.4, 2200, 1, 3000, 500};
    const ml::Vec x{std::log(q.A), std::log(q.B), 0, 0};
    const std::vector<double> shares = ev.ModelShares(x);
    auto upTo = [&](double t) {
        double s = 0;
        for (std::size_t i = 0; i < fleet.age.size(); ++i) {
            const bool known = std::isfinite(fleet.end[i]);
            const double end = std::min(fleet.age[i], known ? fleet.end[i] : HUGE_VAL);
            s += Expected(q, 1, std::min(end, t), !known, p.service->law);
        }
        return s;
    };
    const double total = upTo(1e9);
    ASSERT_EQ(shares.size(), in.times.size());
    for (std::size_t i = 0; i < in.times.size(); ++i)
        EXPECT_NEAR(shares[i], upTo(in.times[i]) / total, 1e-9) << in.times[i];
}

TEST(MlInService, AFleetPastWarrantyIsTheCompleteRecord) {
    // Every product older than any warranty end: each is observed over its whole warranty,
    // so the fit is model 3's on the complete record, to the accuracy of the integrals.
    MlInput full;
    full.Park = 300;
    full.Sred = 2500;
    full.SKO = 500;
    full.times = MlSimulateFleet(full, {1.4, 2600, 1.1, 2500, 500}, 17);
    MlInput service = full;
    auto a = std::make_shared<FleetAges>();
    a->Age.assign(300, 1e6);
    a->WarrantyEnd.assign(300, kNaN);
    a->Usage.assign(300, kNaN);
    service.ages = a;
    MlOptions opt;
    opt.bootstrap = 0;
    const MlResult r0 = FitML(full, opt), r1 = FitML(service, opt);
    ASSERT_TRUE(r0.ok && r1.ok) << r0.error << r1.error;
    EXPECT_NEAR(r1.A, r0.A, 1e-5 * r0.A);
    EXPECT_NEAR(r1.B, r0.B, 1e-5 * r0.B);
    EXPECT_NEAR(r1.LogLik, r0.LogLik, 1e-6 * std::fabs(r0.LogLik));
    EXPECT_NEAR(r1.N4000.lo, r0.N4000.lo, 1e-4 * r0.N4000.lo);
    EXPECT_NEAR(r1.N4000.hi, r0.N4000.hi, 1e-4 * r0.N4000.hi);
    ASSERT_TRUE(r1.Forecast.InService);
    EXPECT_EQ(r1.Forecast.Remaining.est, 0);  // nothing left to come
    EXPECT_FALSE(r0.Forecast.InService);
}

TEST(MlInService, FitAndForecastOnASimulatedFleet) {
    MlCohortDesign d;
    d.n = 2000;
    d.usage = 150;
    d.knownShare = 0.2;
    const MlParams truth{1.3, 3000, 1.3, 4000, 600};
    MlInput in;
    in.Park = 2000;
    in.Sred = 4000;
    in.SKO = 600;
    in.horizon = 12;
    in.ages = std::make_shared<FleetAges>(MlCohortAges(d, 5));
    const MlServiceFleet sim = MlSimulateInService(in, truth, 6);
    in.times = sim.seen;
    MlOptions opt;
    opt.bootstrap = 20;
    opt.threads = 2;
    const MlResult r = FitML(in, opt);
    ASSERT_TRUE(r.ok) << r.error;
    const double n4000 = truth.K * -std::expm1(-std::pow(4000 / truth.B, truth.A));
    EXPECT_LT(r.IntA.lo, truth.A);
    EXPECT_GT(r.IntA.hi, truth.A);
    EXPECT_LT(r.N4000.lo, n4000);
    EXPECT_GT(r.N4000.hi, n4000);
    EXPECT_TRUE(std::isfinite(r.GofP));
    // The forecast: months in order, the cumulative the sum of the months, integer
    // predictive ends about the expectations, and the actual counts within them.
    const MlForecast& f = r.Forecast;
    ASSERT_TRUE(f.InService);
    ASSERT_EQ(f.Months.size(), 12u);
    double cum = 0, actual = 0;
    for (std::size_t m = 0; m < 12; ++m) {
        cum += f.Months[m].Expected;
        actual += sim.months[m];
        EXPECT_NEAR(f.Months[m].Cumulative, cum, 1e-9 * cum);
        EXPECT_LE(f.Months[m].Lo, f.Months[m].Expected);
        EXPECT_GE(f.Months[m].Hi, f.Months[m].Expected);
        EXPECT_EQ(f.Months[m].CumLo, std::floor(f.Months[m].CumLo));
    }
    EXPECT_GE(actual, f.Months.back().CumLo);
    EXPECT_LE(actual, f.Months.back().CumHi);
    EXPECT_GE(sim.remaining, f.Remaining.lo);
    EXPECT_LE(sim.remaining, f.Remaining.hi);
    EXPECT_GT(f.Remaining.est, f.Months.back().Cumulative);
}

TEST(MlInService, AForecastTheDataCannotBoundIsLeftOpenAbove) {
    // One product of 300 h with four failures: the counts to come are bounded by nothing
    // the data say; the upper ends are open rather than an overflow.
    const Fleet fleet{{300}, {kNaN}, {90}};
    MlInput in = ServiceInput(fleet, 2500, 500);
    in.times = {30, 105, 180, 270};
    MlOptions opt;
    opt.bootstrap = 0;
    const MlResult r = FitML(in, opt);
    ASSERT_TRUE(r.ok) << r.error;
    const MlEstimate& rem = r.Forecast.Remaining;
    EXPECT_TRUE(std::isfinite(rem.est));
    EXPECT_TRUE(std::isfinite(rem.lo));
    EXPECT_TRUE(std::isnan(rem.hi) || rem.hi >= rem.est);
}

TEST(MlInService, RefusesFailuresNoProductCouldHaveShown) {
    const Fleet fleet{{100, 200, 300}, {kNaN, kNaN, 250}, {}};
    MlInput in = ServiceInput(fleet, 3000, 500);
    in.times = {50, 120, 280};  // 280 h: the only product that old ended warranty at 250 h
    const MlResult r = FitML(in, {});
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.error.find("ни одно изделие не наблюдалось"), std::string::npos) << r.error;
}

// ---- The ages file ----

AnalysisState Loaded(double park, std::vector<double> times = {100, 200}) {
    AnalysisState st;
    st.Park = park;
    st.DataPath = "data.txt";
    for (double t : times) st.ArrProblems.Append(t, 0, "", "");
    return st;
}

TEST(AgesFile, ReadsColumnsSeparatorsAndCommas) {
    AnalysisState st = Loaded(4);
    const std::string text = "Наработки парка\n1500\t-\t120\n2100,5;3900;150,5\n  800  4000\n\n300;;90\n";
    const AgesResult r = LoadAgesBytes(st, text, "ages.txt", ',');
    ASSERT_TRUE(r.ok) << r.error;
    ASSERT_TRUE(st.Ages);
    const FleetAges& a = *st.Ages;
    EXPECT_EQ(a.Title, "Наработки парка");
    EXPECT_EQ(a.Age, (std::vector<double>{1500, 2100.5, 800, 300}));
    EXPECT_TRUE(std::isnan(a.WarrantyEnd[0]));
    EXPECT_EQ(a.WarrantyEnd[1], 3900);
    EXPECT_EQ(a.WarrantyEnd[2], 4000);
    EXPECT_TRUE(std::isnan(a.WarrantyEnd[3]));
    EXPECT_EQ(a.Usage[1], 150.5);
    EXPECT_TRUE(std::isnan(a.Usage[2]));
    EXPECT_EQ(a.Usage[3], 90);
    EXPECT_EQ(r.CountText, "4");
    EXPECT_EQ(r.KnownText, "2");
    EXPECT_EQ(r.UsageText, "3");
}

TEST(AgesFile, RefusalsNameTheLineValueAndRangeAndChangeNothing) {
    struct Case {
        const char* name;
        std::string text;
        double park;
        std::string says;
    };
    const std::vector<Case> cases = {
        {"not a number", "t\n100\nabc\n", 2, "строке №3"},
        {"negative age", "t\n100\n-5\n", 2, "от 0 до 1e9 ч"},
        {"warranty end zero", "t\n100 0\n200\n", 2, "окончание гарантии «0» вне допустимых пределов"},
        {"hours a month beyond a month", "t\n100 - 800\n200\n", 2, "от 0 до 744 ч"},
        {"four values", "t\n100 2000 100 7\n200\n", 2, "больше трех значений"},
        {"fewer products than the fleet", "t\n100\n200\n", 3, "2 изделий, а парк файла данных — 3"},
        {"more products than the fleet", "t\n100\n200\n300\n", 2, "3 изделий, а парк файла данных — 2"},
        {"a failure older than every product", "t\n150\n180\n", 2, "наибольшая наработка изделий"},
        {"no products", "t\n\n", 2, "нет ни одного изделия"},
    };
    for (const Case& c : cases) {
        AnalysisState st = Loaded(c.park);
        st.ModML.Executed = true;
        const AgesResult r = LoadAgesBytes(st, c.text, "ages.txt", '.');
        EXPECT_FALSE(r.ok) << c.name;
        EXPECT_NE(r.error.find(c.says), std::string::npos) << c.name << ": " << r.error;
        EXPECT_NE(r.error.find("Файл наработок парка не загружен."), std::string::npos) << c.name;
        EXPECT_FALSE(st.Ages) << c.name;
        EXPECT_TRUE(st.ModML.Executed) << c.name;
    }
    AnalysisState empty;
    EXPECT_NE(LoadAgesBytes(empty, "t\n1\n", "ages.txt", '.').error.find("Сначала загрузите файл данных"),
              std::string::npos);
}

TEST(AgesFile, LoadsWithTheExampleFleetAndANewDataFileDropsIt) {
    AnalysisState st;
    const std::string dir = RELAN_EXAMPLES;
    const LoadedInputs in =
        LoadInputs(st, dir + "/service-fleet.txt", "", '.', BadRowPolicy::Refuse, dir + "/service-ages.txt");
    ASSERT_TRUE(in.error.empty()) << in.error;
    ASSERT_TRUE(st.Ages);
    EXPECT_EQ(st.Ages->Age.size(), 900u);
    const LoadResult again = LoadFailureFile(st, dir + "/demo-fleet.txt", '.');
    ASSERT_TRUE(again.ok);
    EXPECT_FALSE(st.Ages);
}

}  // namespace
}  // namespace rel
