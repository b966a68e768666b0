// The mean cumulative function: its seeded validation against known truth, and its speed.
//
// BM_McfValidation (`mcf_bench --benchmark_filter=BM_McfValidation`; the argument is the
// fleets per setting): fleets simulated from the model (Poisson numbers of failures per
// product at Weibull times, kept up to each product's warranty end) with their complete
// warranty record under the normal warranty law, with a listed warranty end per product,
// and still in service (shipped over 24 months, each product with its own hours per
// month); for each, the MCF and its 95 % band at 500, 1000 and 2000 h against the true
// expected failures per product from 1 h on, K·(F(t) − F(1 h)). Prints per setting the mean relative error and
// the band's coverage at each time; README quotes the table.
//
// BM_Mcf: the MCF of a fleet of 100,000 products with about 30,000 failures.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <optional>
#include <vector>

#include "fit/ml_fit.h"
#include "stats/mcf.h"

namespace {

enum class Record { Complete, Listed, InService };

struct Setting {
    const char* name;
    Record record;
    long n;
    rel::MlParams truth;
};

// The loaded state of one simulated fleet of the setting.
rel::AnalysisState Simulate(const Setting& s, std::uint64_t seed) {
    rel::MlInput in;
    in.Park = static_cast<double>(s.n);
    in.Sred = s.truth.Sred;
    in.SKO = s.truth.SKO;
    std::vector<double> times;
    if (s.record == Record::InService) {
        rel::MlCohortDesign d;
        d.n = s.n;
        d.usage = 150;
        d.Sred = s.truth.Sred;
        d.SKO = s.truth.SKO;
        in.ages = std::make_shared<rel::FleetAges>(rel::MlCohortAges(d, seed));
        times = rel::MlSimulateInService(in, s.truth, seed + 1).seen;
    } else {
        if (s.record == Record::Listed) {
            // Each product's own warranty end: whole months of 150 h, 20 to 34 months.
            for (long i = 0; i < s.n; ++i)
                in.warranty.push_back(150.0 * static_cast<double>(20 + (i * 7 + 3) % 15));
        }
        times = rel::MlSimulateFleet(in, s.truth, seed);
    }
    rel::AnalysisState st;
    st.Park = in.Park;
    st.SredGar = in.Sred;
    st.SKOGar = in.SKO;
    st.ArrGar = in.warranty;
    st.Ages = in.ages;
    for (double t : times) st.ArrProblems.Append(t, 0, "", "");
    return st;
}

constexpr double kTimes[] = {500, 1000, 2000};

struct Tally {
    int n = 0, covered = 0;
    double sumRel = 0;
};

void BM_McfValidation(benchmark::State& state) {
    const rel::MlParams base{1.3, 3000, 1.3, 4000, 600};
    const Setting settings[] = {
        {"complete record, normal warranty law", Record::Complete, 1000, base},
        {"complete record, infant mortality (A 0.7)", Record::Complete, 1000, {0.7, 3000, 1.3, 4000, 600}},
        {"complete record, small fleet (200)", Record::Complete, 200, base},
        {"warranty list, one end a product", Record::Listed, 1000, base},
        {"fleet in service, 24 monthly cohorts", Record::InService, 1000, base},
        {"fleet in service, wear-out (A 3)", Record::InService, 1000, {3.0, 3500, 1.3, 4000, 600}},
    };
    const int fleets = static_cast<int>(state.range(0));
    for (auto _ : state) {
        std::printf(
            "\n| setting | fleets | failures | 500 h: error | cover | 1000 h: error | cover | 2000 h: error | "
            "cover |\n"
            "|---|---|---|---|---|---|---|---|---|\n");
        std::uint64_t seedBase = 900000;
        for (const Setting& s : settings) {
            const rel::MlParams& p = s.truth;
            Tally tally[3];
            double failures = 0;
            for (int f = 0; f < fleets; ++f) {
                const rel::AnalysisState st = Simulate(s, seedBase + 10 * static_cast<std::uint64_t>(f));
                failures += static_cast<double>(st.ArrProblems.size());
                const rel::Mcf m = rel::ComputeMcf(st);
                for (int i = 0; i < 3; ++i) {
                    const double t = kTimes[i];
                    const std::optional<rel::McfPoint> at = rel::McfPointAt(m, t);
                    if (!at) continue;
                    // Failures from 1 h on: rejects below 1 h are not in the estimate.
                    const double truth =
                        p.K * (std::exp(-std::pow(1 / p.B, p.A)) - std::exp(-std::pow(t / p.B, p.A)));
                    ++tally[i].n;
                    tally[i].covered += at->Lo <= truth && truth <= at->Hi;
                    tally[i].sumRel += at->Value / truth - 1;
                }
            }
            std::printf("| %s | %d | %.0f |", s.name, fleets, failures / fleets);
            for (const Tally& t : tally)
                std::printf(" %+.1f %% | %.0f %% |", 100 * t.sumRel / std::max(1, t.n),
                            100.0 * t.covered / std::max(1, t.n));
            std::printf("\n");
            seedBase += 100000;
        }
    }
}
BENCHMARK(BM_McfValidation)->Arg(1000)->Unit(benchmark::kSecond)->Iterations(1);

void BM_Mcf(benchmark::State& state) {
    const Setting s{"", Record::Complete, 100000, {1.3, 3000, 0.5, 4000, 600}};
    const rel::AnalysisState st = Simulate(s, 5);
    for (auto _ : state) benchmark::DoNotOptimize(rel::ComputeMcf(st).points.data());
    state.counters["failures"] = static_cast<double>(st.ArrProblems.size());
}
BENCHMARK(BM_Mcf)->Unit(benchmark::kMillisecond);

}  // namespace
