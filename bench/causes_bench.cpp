// Model 3 per cause: its seeded validation against known truth, and its speed.
//
// BM_CausesValidation (`causes_bench --benchmark_filter=BM_CausesValidation`; the argument
// is the fleets per setting): fleets whose failures come from two causes, one failing
// early (shape 0.7) and one wearing out (shape 3), each its own process over the same
// products; each fleet is fitted pooled and per cause. Prints per setting the mean shape
// of each cause with the coverage of its 95 % interval, the coverage of N(4000) per
// cause, and how often the test of one law for all causes finds the laws different
// (p < 0.05); the last settings give both causes one law, where that share is the
// test's false alarms (about 5 % expected).
//
// BM_CausesFit: the pooled fit and ten causes of a fleet of 100,000 products with about
// 30,000 failures, with intervals, and the MCF (no bootstrap).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <thread>
#include <vector>

#include "fit/ml_causes.h"
#include "stats/mcf.h"

namespace {

enum class Record { Listed, Normal, InService };

struct Setting {
    const char* name;
    Record record;
    long n;
    std::vector<rel::MlParams> laws;  // one a cause
};

rel::MlInput Simulate(const Setting& s, std::uint64_t seed) {
    rel::MlInput in;
    in.Park = static_cast<double>(s.n);
    in.Sred = 4000;
    in.SKO = 600;
    if (s.record == Record::Listed)
        for (long i = 0; i < s.n; ++i)
            in.warranty.push_back(3000 + 2000.0 * static_cast<double>((i * 37) % s.n) / s.n);
    if (s.record == Record::InService) {
        rel::MlCohortDesign d;
        d.n = s.n;
        in.ages = std::make_shared<rel::FleetAges>(rel::MlCohortAges(d, seed));
    }
    std::vector<std::pair<double, int>> all;
    for (std::size_t k = 0; k < s.laws.size(); ++k) {
        rel::MlParams p = s.laws[k];
        p.Sred = in.Sred;
        p.SKO = in.SKO;
        const std::uint64_t sk = seed + 1000 * (k + 1);
        const std::vector<double> t = s.record == Record::InService ? rel::MlSimulateInService(in, p, sk).seen
                                                                    : rel::MlSimulateFleet(in, p, sk);
        for (double x : t) all.emplace_back(x, static_cast<int>(k) + 1);
    }
    std::sort(all.begin(), all.end());
    for (auto [t, k] : all) {
        in.times.push_back(t);
        in.causes.push_back(k);
    }
    for (std::size_t k = 0; k <= s.laws.size(); ++k) in.causeNames.push_back("cause " + std::to_string(k));
    return in;
}

struct Part {
    int fits = 0, differ = 0;
    double shape[2] = {}, failures = 0;
    int shapeCover[2] = {}, nCover[2] = {}, fitted[2] = {};
};

void BM_CausesValidation(benchmark::State& state) {
    const rel::MlParams early{0.7, 5000, 0.3}, wear{3.0, 3500, 0.5}, common{1.5, 3000, 0.4};
    const Setting settings[] = {
        {"warranty list, 0.7 and 3", Record::Listed, 2000, {early, wear}},
        {"normal warranty law, 0.7 and 3", Record::Normal, 2000, {early, wear}},
        {"fleet in service, 0.7 and 3", Record::InService, 2000, {early, wear}},
        {"warranty list, one law (false alarms)", Record::Listed, 2000, {common, common}},
        {"normal warranty law, one law (false alarms)", Record::Normal, 2000, {common, common}},
    };
    const int fleets = static_cast<int>(state.range(0));
    for (auto _ : state) {
        std::printf(
            "\n| setting | fleets | failures | cause 1: mean A | A cover | N4000 cover | cause 2: mean A | A "
            "cover | "
            "N4000 cover | laws differ (p < 0.05) |\n|---|---|---|---|---|---|---|---|---|---|\n");
        std::uint64_t seedBase = 500000;
        for (const Setting& s : settings) {
            Part parts[2];
            auto work = [&](int part) {
                rel::MlOptions o;
                o.bootstrap = 0;
                o.threads = 1;
                rel::MlCauseOptions co;
                co.threads = 1;
                for (int f = part; f < fleets; f += 2) {
                    const rel::MlInput in = Simulate(s, seedBase + 10 * static_cast<std::uint64_t>(f));
                    const rel::MlResult pooled = rel::FitML(in, o);
                    if (!pooled.ok) continue;
                    const rel::MlCauses c = rel::FitMLByCause(in, pooled, co);
                    if (c.causes.size() != 2) continue;
                    Part& q = parts[part];
                    ++q.fits;
                    q.failures += pooled.D;
                    q.differ += c.tested && c.Differ;
                    for (int k = 0; k < 2; ++k) {
                        const rel::MlCauseFit& cf = c.causes[static_cast<std::size_t>(k)];
                        if (!cf.fitted) continue;
                        const rel::MlParams& p = s.laws[static_cast<std::size_t>(k)];
                        const double n4000 = p.K * -std::expm1(-std::pow(4000 / p.B, p.A));
                        ++q.fitted[k];
                        q.shape[k] += cf.A;
                        q.shapeCover[k] += !(cf.IntA.lo > p.A) && !(cf.IntA.hi < p.A);
                        q.nCover[k] += !(cf.N4000.lo > n4000) && !(cf.N4000.hi < n4000);
                    }
                }
            };
            std::thread other(work, 1);
            work(0);
            other.join();
            Part& a = parts[0];
            const Part& b = parts[1];
            a.fits += b.fits;
            a.differ += b.differ;
            a.failures += b.failures;
            std::printf("| %s | %d | %.0f |", s.name, a.fits, a.failures / std::max(1, a.fits));
            for (int k = 0; k < 2; ++k) {
                const int n = std::max(1, a.fitted[k] + b.fitted[k]);
                std::printf(" %.3f | %.0f %% | %.0f %% |", (a.shape[k] + b.shape[k]) / n,
                            100.0 * (a.shapeCover[k] + b.shapeCover[k]) / n,
                            100.0 * (a.nCover[k] + b.nCover[k]) / n);
            }
            std::printf(" %.1f %% |\n", 100.0 * a.differ / std::max(1, a.fits));
            seedBase += 100000;
        }
    }
}
BENCHMARK(BM_CausesValidation)->Arg(200)->Unit(benchmark::kSecond)->Iterations(1);

void BM_CausesFit(benchmark::State& state) {
    Setting s{"", Record::Normal, 100000, {}};
    for (int k = 0; k < 10; ++k) s.laws.push_back({0.8 + 0.25 * k, 2500.0 + 200 * k, 0.045});
    const rel::MlInput in = Simulate(s, 77);
    rel::AnalysisState st;
    st.Park = in.Park;
    st.SredGar = in.Sred;
    st.SKOGar = in.SKO;
    for (std::size_t i = 0; i < in.times.size(); ++i) st.ArrProblems.Append(in.times[i], in.causes[i], "", "");
    rel::MlOptions o;
    o.bootstrap = 0;
    for (auto _ : state) {
        const rel::MlResult pooled = rel::FitML(in, o);
        const rel::MlCauses c = rel::FitMLByCause(in, pooled);
        const rel::Mcf m = rel::ComputeMcf(st);
        benchmark::DoNotOptimize(c.causes.data());
        benchmark::DoNotOptimize(m.points.data());
    }
    state.counters["failures"] = static_cast<double>(in.times.size());
}
BENCHMARK(BM_CausesFit)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
