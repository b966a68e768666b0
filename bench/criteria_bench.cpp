// Evaluations per second of the criteria: PearsonCrit and HistCrit on a histogram
// of 41 intervals (the most the builder accepts), SmirnovCrit on 1,000 and 99,999
// failures. Each evaluation takes a different parameter point, as a search does:
// "shape and scale" points change A and B (every Weibull value is new), "K" points
// change only the repetition coefficient, "all" points change the warranty figures too.
#include <benchmark/benchmark.h>

#include <vector>

#include "bench_fleet.h"
#include "data/state.h"
#include "stats/criteria.h"
#include "stats/distrib.h"

namespace {

using relbench::Fleet41;

rel::AnalysisState Failures(int n) {
    rel::AnalysisState st;
    st.Park = st.ParkFile = n * 1.3;
    for (int i = 0; i < n; ++i) st.ArrProblems.push_back({1.0 + 4000.0 * (i + 0.5) / n, 2, "", ""});
    st.KolOtkNez = n;
    st.KolOtkAll = n + 1;
    return st;
}

struct P {
    double A, B, K, Sred, SKO;
};

std::vector<P> Points(int kind) {
    std::vector<P> pts;
    for (int i = 0; i < 64; ++i) {
        const double d = i * 1e-3;
        if (kind == 0) pts.push_back({1.2 + d, 1500 + 3 * d, 1.1, 2500, 550});
        if (kind == 1) pts.push_back({1.2, 1500, 1.1 + d, 2500, 550});
        if (kind == 2) pts.push_back({1.2 + d, 1500 + d, 1.1 + d, 2500 + d, 550 + d});
    }
    return pts;
}

void BM_PearsonCrit(benchmark::State& state) {
    const rel::AnalysisState st = Fleet41();
    const auto pts = Points(static_cast<int>(state.range(0)));
    rel::Mod_Weib M;
    std::size_t i = 0;
    for (auto _ : state) {
        const P& p = pts[i++ & 63];
        benchmark::DoNotOptimize(rel::PearsonCrit(st, M, p.A, p.B, p.K, p.Sred, p.SKO, rel::kItemStandard));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_PearsonCrit)->ArgName("points")->Arg(0)->Arg(1)->Arg(2);

void BM_HistCrit(benchmark::State& state) {
    const rel::AnalysisState st = Fleet41();
    const auto pts = Points(static_cast<int>(state.range(0)));
    rel::Mod_Weib G;
    std::size_t i = 0;
    for (auto _ : state) {
        const P& p = pts[i++ & 63];
        benchmark::DoNotOptimize(rel::HistCrit(st, G, st.ArrHist, p.A, p.B, p.K, p.Sred, p.SKO));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_HistCrit)->ArgName("points")->Arg(0)->Arg(1)->Arg(2);

void BM_SmirnovCrit(benchmark::State& state) {
    const rel::AnalysisState st = Failures(static_cast<int>(state.range(0)));
    rel::Mod_Weib M;
    for (const auto& p : st.ArrProblems) M.F_norm.push_back(rel::NormF(2500, 550, p.time));
    const auto pts = Points(0);
    std::size_t i = 0;
    for (auto _ : state) {
        const P& p = pts[i++ & 63];
        benchmark::DoNotOptimize(rel::SmirnovCrit(st, M, p.A, p.B, p.K));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SmirnovCrit)->ArgName("failures")->Arg(1000)->Arg(99999);

// Model 2's search moves one parameter at a time: a cycle of moves of K, A and B, each
// evaluated plainly (cached 0) or with the search's cache (cached 1). The values are the
// same to the last bit; the cache saves the logarithms on a move of A and every
// logarithm and exponential on a move of K.
void BM_SmirnovSearch(benchmark::State& state) {
    const rel::AnalysisState st = Failures(99999);
    rel::Mod_Weib M;
    for (const auto& p : st.ArrProblems) M.F_norm.push_back(rel::NormF(2500, 550, p.time));
    const bool cached = state.range(0) != 0;
    rel::SmirnovCache cache;
    double A = 1.2, B = 1500, K = 1.3;
    int move = 0;
    for (auto _ : state) {
        switch (move++ % 3) {
            case 0:
                K *= 1.0001;
                break;
            case 1:
                A *= 1.0001;
                break;
            default:
                B *= 1.0001;
                break;
        }
        benchmark::DoNotOptimize(cached ? rel::SmirnovCrit(st, M, A, B, K, cache)
                                        : rel::SmirnovCrit(st, M, A, B, K));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SmirnovSearch)->ArgName("cached")->Arg(0)->Arg(1);

}  // namespace
