// Model 3 on a fleet in service: its seeded validation against known truth, and its speed.
//
// BM_ServiceValidation (`service_bench --benchmark_filter=BM_ServiceValidation`; the
// argument is the fleets per setting): fleets shipped over 24 months in monthly cohorts,
// each product with its own hours per month, observed at one moment; the same simulation
// then brings each product's true claims under warranty afterwards. Each fleet is fitted
// with its ages, and the table README quotes is printed per setting: the remaining
// count's median and mean relative error against the simulated actual count, the coverage
// of its 95 % predictive interval and of the 12-month count's, then bias and 95 % coverage
// of A, N(2000), N(4000). The fleets are split over two threads, each fleet with its own
// seeds, so the table does not depend on the threads.
//
// BM_ServiceFit: the fit with its intervals and a 12-month forecast (no bootstrap) of
// 1,000 products with about 300 failures, and of 100,000 products with about 30,000.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <thread>
#include <vector>

#include "fit/ml_fit.h"

namespace {

struct Setting {
    const char* name;
    rel::MlCohortDesign design;
    rel::MlParams truth;
};

rel::MlCohortDesign Cohorts(long n, double usage, double firstMonth = 0) {
    rel::MlCohortDesign d;
    d.n = n;
    d.usage = usage;
    d.firstMonth = firstMonth;
    d.Sred = 4000;
    d.SKO = 600;
    return d;
}

// One fleet in service of the setting: its input (ages, warranty law) and what the
// simulation brings now and afterwards.
struct ServiceCase {
    rel::MlInput in;
    rel::MlServiceFleet sim;
};
ServiceCase Simulate(const Setting& s, std::uint64_t seed) {
    ServiceCase c;
    c.in.Park = static_cast<double>(s.design.n);
    c.in.Sred = s.design.Sred;
    c.in.SKO = s.design.SKO;
    c.in.horizon = 12;
    c.in.ages = std::make_shared<rel::FleetAges>(rel::MlCohortAges(s.design, seed));
    c.sim = rel::MlSimulateInService(c.in, s.truth, seed + 7);
    c.in.times = c.sim.seen;
    return c;
}

struct Tally {
    int n = 0, covered = 0;
    double sumRel = 0;
    void Add(double est, double lo, double hi, double truth) {
        if (!std::isfinite(est) || !(truth > 0)) return;
        ++n;
        lo = std::isnan(lo) ? 0 : lo;
        hi = std::isnan(hi) ? HUGE_VAL : hi;
        covered += lo <= truth && truth <= hi;
        sumRel += est / truth - 1;
    }
    void Merge(const Tally& o) {
        n += o.n;
        covered += o.covered;
        sumRel += o.sumRel;
    }
};

void BM_ServiceValidation(benchmark::State& state) {
    const rel::MlParams base{1.3, 3000, 1.3, 4000, 600};
    const Setting settings[] = {
        {"early in life (60 h a month)", Cohorts(1000, 60), base},
        {"mid-life (150 h a month)", Cohorts(1000, 150), base},
        {"near warranty end (a year later)", Cohorts(1000, 150, 12), base},
        {"small fleet (100 products)", Cohorts(100, 150), base},
        {"infant mortality (A 0.6)", Cohorts(1000, 150), {0.6, 3000, 1.3, 4000, 600}},
        {"wear-out (A 3)", Cohorts(1000, 150), {3.0, 3500, 1.3, 4000, 600}},
        {"K 2.5", Cohorts(1000, 150), {1.3, 3000, 2.5, 4000, 600}},
    };
    const int fleets = static_cast<int>(state.range(0));
    for (auto _ : state) {
        std::printf(
            "\n| setting | fits | failures seen | to come | remaining: median error | mean error | cover | 12 "
            "months: cover | A bias | A cover | N2000 bias | N2000 cover | N4000 bias | N4000 cover |\n"
            "|---|---|---|---|---|---|---|---|---|---|---|---|---|---|\n");
        std::uint64_t seedBase = 700000;
        for (const Setting& s : settings) {
            const rel::MlParams& p = s.truth;
            auto N = [&](double tau) { return p.K * -std::expm1(-std::pow(tau / p.B, p.A)); };
            struct Part {
                Tally fig[3];
                Tally remaining, months;
                std::vector<double> errors;
                int fits = 0;
                double seen = 0, toCome = 0;
            };
            Part parts[2];
            auto work = [&](int part) {
                rel::MlOptions opt;
                opt.bootstrap = 0;
                for (int f = part; f < fleets; f += 2) {
                    const ServiceCase c = Simulate(s, seedBase + 10 * static_cast<std::uint64_t>(f));
                    const rel::MlResult r = rel::FitML(c.in, opt);
                    if (!r.ok) continue;
                    Part& q = parts[part];
                    ++q.fits;
                    q.seen += r.D;
                    q.toCome += c.sim.remaining;
                    q.fig[0].Add(r.A, r.IntA.lo, r.IntA.hi, p.A);
                    q.fig[1].Add(r.N2000.est, r.N2000.lo, r.N2000.hi, N(2000));
                    q.fig[2].Add(r.N4000.est, r.N4000.lo, r.N4000.hi, N(4000));
                    const rel::MlEstimate& rem = r.Forecast.Remaining;
                    q.remaining.Add(rem.est, rem.lo, rem.hi, c.sim.remaining);
                    if (c.sim.remaining > 0) q.errors.push_back(rem.est / c.sim.remaining - 1);
                    double actual = 0;
                    for (double m : c.sim.months) actual += m;
                    if (!r.Forecast.Months.empty()) {
                        const rel::MlForecastMonth& last = r.Forecast.Months.back();
                        ++q.months.n;
                        q.months.covered += last.CumLo <= actual && actual <= last.CumHi;
                    }
                }
            };
            std::thread other(work, 1);
            work(0);
            other.join();
            Part& all = parts[0];
            for (int i = 0; i < 3; ++i) all.fig[i].Merge(parts[1].fig[i]);
            all.remaining.Merge(parts[1].remaining);
            all.months.Merge(parts[1].months);
            all.errors.insert(all.errors.end(), parts[1].errors.begin(), parts[1].errors.end());
            const int fits = all.fits + parts[1].fits;
            std::sort(all.errors.begin(), all.errors.end());
            const double median = all.errors.empty() ? NAN : all.errors[all.errors.size() / 2];
            std::printf("| %s | %d | %.0f | %.0f | %+.1f %% | %+.1f %% | %.0f %% | %.0f %% |", s.name, fits,
                        (all.seen + parts[1].seen) / fits, (all.toCome + parts[1].toCome) / fits, 100 * median,
                        100 * all.remaining.sumRel / std::max(1, all.remaining.n),
                        100.0 * all.remaining.covered / std::max(1, all.remaining.n),
                        100.0 * all.months.covered / std::max(1, all.months.n));
            for (const Tally& t : all.fig)
                std::printf(" %+.1f %% | %.0f %% |", 100 * t.sumRel / std::max(1, t.n),
                            100.0 * t.covered / std::max(1, t.n));
            std::printf("\n");
            std::fflush(stdout);
            seedBase += 1000000;
        }
    }
}
BENCHMARK(BM_ServiceValidation)->Arg(200)->Unit(benchmark::kSecond)->Iterations(1);

// The fit with intervals and the 12-month forecast; the argument is the fleet, K set for
// about 0.3 failures seen a product.
void BM_ServiceFit(benchmark::State& state) {
    const long n = state.range(0);
    const Setting s{"", Cohorts(n, 150), {1.3, 3000, 0.75, 4000, 600}};
    const ServiceCase c = Simulate(s, 42);
    rel::MlOptions opt;
    opt.bootstrap = 0;
    int failures = 0;
    for (auto _ : state) {
        const rel::MlResult r = rel::FitML(c.in, opt);
        failures = r.D;
        benchmark::DoNotOptimize(r.Forecast.Remaining.est);
    }
    state.counters["failures"] = failures;
}
BENCHMARK(BM_ServiceFit)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
