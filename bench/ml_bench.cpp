// Model 3 (maximum likelihood): wall time of the point fit, of the profile intervals and
// of the goodness-of-fit bootstrap on simulated fleets of about 300 and 100,000
// failures, and a coverage and bias run over many simulated fleets, printed as a table.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "fit/ml_fit.h"
#include "fit/ml_model.h"

namespace {

// A fleet of the demo's kind (shape 1.3, scale 2900 h, warranty 2500 ± 550 h) with
// about `failures` recorded failures.
rel::MlInput Fleet(int failures) {
    rel::MlInput in;
    in.Sred = 2500;
    in.SKO = 550;
    // About 0.55 recorded failures per product and unit K.
    const double K = failures >= 10000 ? 4.0 : 1.0;
    in.Park = std::round(failures / (0.55 * K));
    in.times = rel::MlSimulateFleet(in, {1.3, 2900, K, 2500, 550}, 12345);
    return in;
}

void BM_PointFit(benchmark::State& state) {
    const rel::MlInput in = Fleet(static_cast<int>(state.range(0)));
    rel::MlOptions opt;
    opt.bootstrap = 0;
    opt.intervals = false;
    rel::MlResult r;
    for (auto _ : state) {
        r = rel::FitML(in, opt);
        benchmark::ClobberMemory();
    }
    if (!r.ok) state.SkipWithError(r.error.c_str());
    state.counters["failures"] = r.D;
}
BENCHMARK(BM_PointFit)->Arg(300)->Arg(100000)->Unit(benchmark::kMillisecond);

// (ClobberMemory rather than DoNotOptimize on a field: this library's DoNotOptimize may
// hand a double through a general register and leave another value in it.)

// The nine profiled figures (A, B, K, N at 2000/4000/6000 h, the two gamma lives and
// the fleet forecast) after a point fit made once.
void BM_Intervals(benchmark::State& state) {
    const rel::MlInput in = Fleet(static_cast<int>(state.range(0)));
    rel::ml::Prepared p;
    if (!rel::ml::Prepare(in, p, nullptr).empty()) {
        state.SkipWithError("fleet not usable");
        return;
    }
    rel::ml::Evaluator ev(p);
    const rel::ml::PointFit pf = rel::ml::FitPoint(ev);
    for (auto _ : state) {
        rel::ml::FigureSet fs = rel::ml::PointFigures(ev, pf);
        rel::ml::ProfileFigures(ev, pf, fs, [] { return true; });
        benchmark::ClobberMemory();
    }
    state.counters["failures"] = p.D;
}
BENCHMARK(BM_Intervals)->Arg(300)->Arg(100000)->Unit(benchmark::kMillisecond);

// 200 replicates, each a simulated fleet refitted, on two threads.
void BM_Bootstrap(benchmark::State& state) {
    const rel::MlInput in = Fleet(300);
    rel::MlOptions opt;
    opt.intervals = false;
    opt.bootstrap = 200;
    opt.threads = 2;
    rel::MlResult r;
    for (auto _ : state) {
        r = rel::FitML(in, opt);
        benchmark::ClobberMemory();
    }
    state.counters["p_value"] = r.GofP;
    state.counters["replicates"] = r.GofReplicates;
    if (!r.ok) state.SkipWithError(r.error.c_str());
}
BENCHMARK(BM_Bootstrap)->Unit(benchmark::kMillisecond)->Iterations(3);

// Coverage and bias over simulated fleets of known parameters, at four settings. The mean
// (*) is geometric except for the forecast. "open": intervals with an open end; "nonsep":
// fits flagged as not telling B from K.
struct Tally {
    int n = 0, covered = 0, open = 0;
    double sum = 0, sumLn = 0, sumLn2 = 0;
    void Add(const rel::MlEstimate& e, double truth) {
        if (!std::isfinite(e.est)) return;
        ++n;
        const double lo = std::isnan(e.lo) ? 0 : e.lo, hi = std::isnan(e.hi) ? HUGE_VAL : e.hi;
        covered += lo <= truth && truth <= hi;
        open += std::isnan(e.lo) || std::isnan(e.hi);
        sum += e.est;
        sumLn += std::log(e.est);
        sumLn2 += std::log(e.est) * std::log(e.est);
    }
};

void BM_Coverage(benchmark::State& state) {
    std::vector<double> list;
    for (int i = 0; i < 300; ++i) list.push_back(1000 + 10.0 * i);
    struct Setting {
        const char* name;
        rel::MlInput design;
        rel::MlParams truth;
    };
    auto design = [](double n, double sred, double sko, std::vector<double> w = {}) {
        rel::MlInput in;
        in.Park = n;
        in.Sred = sred;
        in.SKO = sko;
        in.warranty = std::move(w);
        return in;
    };
    const Setting settings[] = {
        {"fewer failures than products", design(1000, 2500, 500), {1.5, 3000, 0.3, 2500, 500}},
        {"more failures than products", design(100, 2000, 400), {1.2, 2000, 4.0, 2000, 400}},
        {"warranty list", design(300, 0, 0, list), {2.0, 2500, 1.0, 0, 0}},
        {"demo-like, 420 products", design(420, 2500, 550), {1.3, 2900, 1.0, 2500, 550}},
    };
    const int fleets = static_cast<int>(state.range(0));
    for (auto _ : state) {
        std::printf("\n%-30s %-9s %10s %10s %8s %8s %6s %6s\n", "setting", "figure", "true", "mean*", "bias,%",
                    "cover,%", "open,%", "nonsep");
        std::uint64_t seed = 777;
        for (const Setting& s : settings) {
            Tally t[8];
            int nonsep = 0;
            const rel::MlParams& p = s.truth;
            auto N = [&](double tau) { return p.K * -std::expm1(-std::pow(tau / p.B, p.A)); };
            auto G = [&](double share) { return p.B * std::pow(-std::log1p(-share / p.K), 1 / p.A); };
            double truth[8] = {p.A, p.B, p.K, N(2000), N(4000), G(0.1), G(0.5), 0};
            const char* names[8] = {"A", "B", "K", "N2000", "N4000", "Gamma90", "Gamma50", "Remaining"};
            rel::MlOptions opt;
            opt.bootstrap = 0;
            for (int f = 0; f < fleets; ++f) {
                rel::MlInput in = s.design;
                in.times = rel::MlSimulateFleet(in, p, ++seed);
                const rel::MlResult r = rel::FitML(in, opt);
                if (!r.ok) continue;
                const rel::MlEstimate* e[7] = {&r.IntA,  &r.IntB,    &r.IntK,   &r.N2000,
                                               &r.N4000, &r.Gamma90, &r.Gamma50};
                for (int i = 0; i < 7; ++i) t[i].Add(*e[i], truth[i]);
                // The forecast's truth depends on the fleet's own latest failure; its mean
                // over the fleets is printed as the true value.
                const double rem = in.Park * p.K * rel::MlLambda(in, p, r.tmax);
                if (rem > 0) {
                    t[7].Add(r.FleetRemaining, rem);
                    truth[7] += (rem - truth[7]) / t[7].n;
                }
                nonsep += !r.Separable;
            }
            for (int i = 0; i < 8; ++i) {
                if (!std::isfinite(truth[i]) || t[i].n == 0) continue;
                // Geometric mean (B and K can be huge on the ridge), but the arithmetic one for
                // the forecast, whose true value is itself a mean over the fleets.
                const double mean = i == 7 ? t[i].sum / t[i].n : std::exp(t[i].sumLn / t[i].n);
                std::printf("%-30s %-9s %10.4g %10.4g %8.2f %8.1f %6.1f %6d\n", i == 0 ? s.name : "", names[i],
                            truth[i], mean, 100 * (mean / truth[i] - 1), 100.0 * t[i].covered / t[i].n,
                            100.0 * t[i].open / t[i].n, i == 0 ? nonsep : 0);
            }
        }
        std::fflush(stdout);
    }
}
BENCHMARK(BM_Coverage)->Arg(400)->Unit(benchmark::kSecond)->Iterations(1);

}  // namespace
