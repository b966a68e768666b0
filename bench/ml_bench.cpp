// Model 3 (maximum likelihood): wall time of the point fit, of the profile intervals and
// of the goodness-of-fit bootstrap on simulated fleets of about 300 and 100,000
// failures, and the accuracy by setting over seeded simulated fleets, printed as a table.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <thread>
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

// The eight profiled figures (A, B, K, N at 2000/4000/6000 h and the two gamma lives)
// after a point fit made once.
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

// Model 3 without intervals and with 200 bootstrap replicates on two threads, the fit's
// p-value and replicates as counters.
void RunBootstrap(benchmark::State& state, const rel::MlInput& in) {
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

// 200 replicates, each a simulated fleet refitted, on two threads.
void BM_Bootstrap(benchmark::State& state) { RunBootstrap(state, Fleet(300)); }
BENCHMARK(BM_Bootstrap)->Unit(benchmark::kMillisecond)->Iterations(3);

// The bootstrap on a large fleet: a million products with about 300 recorded failures
// (products counted into the warranty law's bins), and about 100,000 failures (counts on
// the cells between the data's distinct times), 200 replicates on two threads.
void BM_BootstrapLarge(benchmark::State& state) {
    rel::MlInput in;
    in.Sred = 2500;
    in.SKO = 550;
    in.Park = state.range(0) == 0 ? 1e6 : 2e5;
    const double K = state.range(0) == 0 ? 5.5e-4 : 0.9;
    in.times = rel::MlSimulateFleet(in, {1.3, 2900, K, 2500, 550}, 777);
    // Times to a tenth of an hour, as files hold them.
    for (double& t : in.times) t = std::round(t * 10) / 10;
    RunBootstrap(state, in);
    state.counters["failures"] = static_cast<double>(in.times.size());
}
BENCHMARK(BM_BootstrapLarge)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(1);

// Calibration of the bootstrap's p-value: on fleets simulated from the model itself the
// p-value is uniform, so about 5 % of them fall below 0.05. Fleets of 300 failures among
// 545 and among 100,000 products (the latter's replicates counted into warranty bins) and
// of about 60,000 failures (counts on the data's times), each fleet its own seed, 99
// replicates each; prints the share below 0.05 and below 0.5 per setting
// (`ml_bench --benchmark_filter=BM_GofCalibration`; the argument is the fleets).
void BM_GofCalibration(benchmark::State& state) {
    const int fleets = static_cast<int>(state.range(0));
    for (auto _ : state) {
        for (const double park : {545.0, 1e5, 1.1e5}) {
            // The third: about 60,000 failures in whole hours, the replicates' counts on
            // the cells between the data's times; a fifth of the fleets (each costs more).
            const bool cells = park > 1e5;
            const int count = cells ? std::max(20, fleets / 5) : fleets;
            int fitted = 0, below05 = 0, belowHalf = 0;
            for (int f = 0; f < count; ++f) {
                rel::MlInput in;
                in.Sred = 2500;
                in.SKO = 550;
                in.Park = park;
                const double K = cells ? 1.0 : 300.0 / (0.55 * park);
                in.times =
                    rel::MlSimulateFleet(in, {1.3, 2900, K, 2500, 550}, 90000 + static_cast<std::uint64_t>(f));
                if (cells)
                    for (double& t : in.times) t = std::round(t);
                rel::MlOptions opt;
                opt.intervals = false;
                opt.bootstrap = 99;
                opt.threads = 2;
                opt.seed = 5000 + static_cast<std::uint64_t>(f);
                const rel::MlResult r = rel::FitML(in, opt);
                if (!r.ok || !std::isfinite(r.GofP)) continue;
                ++fitted;
                below05 += r.GofP < 0.05;
                belowHalf += r.GofP < 0.5;
            }
            std::printf("fleet %8.0f: %d fitted, p < 0.05: %.1f %%, p < 0.5: %.1f %%\n", park, fitted,
                        100.0 * below05 / std::max(fitted, 1), 100.0 * belowHalf / std::max(fitted, 1));
        }
    }
}
BENCHMARK(BM_GofCalibration)->Arg(200)->Unit(benchmark::kSecond)->Iterations(1);

// Accuracy by setting: bias and 95 % coverage of A, N(2000), N(4000) and the 90 % gamma
// life over seeded simulated fleets of known parameters, printed as the table that README
// quotes (`ml_bench --benchmark_filter=BM_Accuracy`; the argument is the fleets per
// setting). Bias: the mean of estimate / truth − 1 over the fits that give the figure.
// Coverage: the share of fits whose interval (an open end reaching as far as the range)
// holds the truth. "fits": fleets fitted (a fleet with fewer than two failure times gives
// none); "failures": the mean recorded per fleet. The fleets are split over two threads,
// each fleet with its own seed, so the table does not depend on the threads.
struct Tally {
    int n = 0, covered = 0;
    double sumRel = 0;
    void Add(const rel::MlEstimate& e, double truth) {
        if (!std::isfinite(e.est)) return;
        ++n;
        const double lo = std::isnan(e.lo) ? 0 : e.lo, hi = std::isnan(e.hi) ? HUGE_VAL : e.hi;
        covered += lo <= truth && truth <= hi;
        sumRel += e.est / truth - 1;
    }
    void Merge(const Tally& o) {
        n += o.n;
        covered += o.covered;
        sumRel += o.sumRel;
    }
};

void BM_Accuracy(benchmark::State& state) {
    std::vector<double> list;
    for (int i = 0; i < 300; ++i) list.push_back(1000 + 10.0 * i);
    double listMean = 0, listSD = 0;
    for (double w : list) listMean += w / list.size();
    for (double w : list) listSD += (w - listMean) * (w - listMean) / (list.size() - 1);
    listSD = std::sqrt(listSD);
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
        {"30 products", design(30, 2500, 500), {1.5, 2000, 1.5, 2500, 500}},
        {"60 products", design(60, 2500, 500), {1.5, 2000, 1.5, 2500, 500}},
        {"few failures (about 40)", design(500, 2500, 550), {1.3, 2900, 0.15, 2500, 550}},
        {"demo-like, 420 products", design(420, 2500, 550), {1.3, 2900, 1.0, 2500, 550}},
        {"heavy censoring", design(1000, 1000, 200), {1.5, 4000, 1.0, 1000, 200}},
        {"infant mortality (A 0.5)", design(300, 2500, 500), {0.5, 3000, 1.0, 2500, 500}},
        {"early wear-out (A 4)", design(500, 2500, 400), {4.0, 4000, 1.0, 2500, 400}},
        {"large K (4)", design(100, 2000, 400), {1.2, 2000, 4.0, 2000, 400}},
        {"warranty list", design(300, 0, 0, list), {2.0, 2500, 1.0, 0, 0}},
        {"normal law of that list", design(300, listMean, listSD), {2.0, 2500, 1.0, listMean, listSD}},
    };
    const int fleets = static_cast<int>(state.range(0));
    for (auto _ : state) {
        std::printf(
            "\n| setting | fits | failures | A bias | A cover | N2000 bias | N2000 cover | N4000 bias | "
            "N4000 cover | Gamma90 bias | Gamma90 cover |\n|---|---|---|---|---|---|---|---|---|---|---|\n");
        std::uint64_t seedBase = 20000;
        for (const Setting& s : settings) {
            const rel::MlParams& p = s.truth;
            auto N = [&](double tau) { return p.K * -std::expm1(-std::pow(tau / p.B, p.A)); };
            const double truth[4] = {p.A, N(2000), N(4000), p.B * std::pow(-std::log1p(-0.1 / p.K), 1 / p.A)};
            struct Part {
                Tally t[4];
                int fits = 0;
                double failures = 0;
            };
            Part parts[2];
            auto work = [&](int part) {
                rel::MlOptions opt;
                opt.bootstrap = 0;
                for (int f = part; f < fleets; f += 2) {
                    rel::MlInput in = s.design;
                    in.times = rel::MlSimulateFleet(in, p, seedBase + static_cast<std::uint64_t>(f));
                    const rel::MlResult r = rel::FitML(in, opt);
                    if (!r.ok) continue;
                    Part& q = parts[part];
                    ++q.fits;
                    q.failures += r.D;
                    const rel::MlEstimate a{r.A, r.IntA.lo, r.IntA.hi};
                    const rel::MlEstimate* e[4] = {&a, &r.N2000, &r.N4000, &r.Gamma90};
                    for (int i = 0; i < 4; ++i) q.t[i].Add(*e[i], truth[i]);
                }
            };
            std::thread other(work, 1);
            work(0);
            other.join();
            for (int i = 0; i < 4; ++i) parts[0].t[i].Merge(parts[1].t[i]);
            const int fits = parts[0].fits + parts[1].fits;
            std::printf("| %s | %d | %.0f |", s.name, fits, (parts[0].failures + parts[1].failures) / fits);
            for (const Tally& t : parts[0].t) {
                if (t.n == 0)
                    std::printf(" — | — |");
                else
                    std::printf(" %+.1f %% | %.0f %% |", 100 * t.sumRel / t.n, 100.0 * t.covered / t.n);
            }
            std::printf("\n");
            seedBase += 100000;
        }
        std::fflush(stdout);
    }
}
BENCHMARK(BM_Accuracy)->Arg(200)->Unit(benchmark::kSecond)->Iterations(1);

}  // namespace
