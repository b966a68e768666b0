// Wall time of the fits of models 1.1 and 1.2 on the demo fleet, with the window's
// defaults (coefficient 1.00025, deviation form 1, the file's warranty figures) and
// the real clock. Counters: criterion evaluations per fit, passes, and whether the
// search ended on its tolerances (1) rather than on the time rule (0).
#include <benchmark/benchmark.h>

#include <string>

#include "analysis/load.h"
#include "data/histogram.h"
#include "fit/fits.h"

namespace {

rel::AnalysisState Demo(bool fitSred, bool fitSKO) {
    rel::AnalysisState st;
    const rel::LoadResult r = rel::LoadFailureFile(st, std::string(RELAN_EXAMPLES) + "/demo-fleet.txt", '.');
    if (!r.ok) return st;
    st.TPrirab = 300;
    st.FitSred = fitSred;
    st.FitSKO = fitSKO;
    rel::BuildHist(st);
    return st;
}

template <rel::FitReport (*Fit)(const rel::AnalysisState&, const rel::FitOptions&)>
void BM_Fit(benchmark::State& state) {
    const rel::AnalysisState loaded = Demo(state.range(0) & 1, state.range(0) & 2);
    if (loaded.ArrHist.empty()) {
        state.SkipWithError("demo fleet not loaded");
        return;
    }
    rel::FitOptions opt;
    rel::FitSummary last;
    for (auto _ : state) {
        state.PauseTiming();
        rel::AnalysisState st = loaded;
        state.ResumeTiming();
        const rel::FitReport r = Fit(st, opt);
        last = r.summary;
        benchmark::DoNotOptimize(r.model.A);
    }
    state.counters["evaluations"] = static_cast<double>(last.evaluations);
    state.counters["passes"] = static_cast<double>(last.passes);
    state.counters["converged"] = last.converged ? 1 : 0;
    state.counters["evals_per_s"] = benchmark::Counter(static_cast<double>(last.evaluations) * state.iterations(),
                                                       benchmark::Counter::kIsRate);
}

// Argument: 0 three parameters, 1 with the warranty mean, 3 with both warranty figures.
BENCHMARK(BM_Fit<rel::FitSpiral>)
    ->Name("FitSpiral")
    ->Arg(0)
    ->Arg(1)
    ->Arg(3)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK(BM_Fit<rel::FitNewton>)
    ->Name("FitNewton")
    ->Arg(0)
    ->Arg(1)
    ->Arg(3)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

}  // namespace
