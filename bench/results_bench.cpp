// The results output of the demo fleet with models 1.1, 1.2 and 2 fitted: the
// table (three Kolmogorov statistics) and every chart series.
#include <benchmark/benchmark.h>

#include <string>

#include "analysis/load.h"
#include "fit/calc_run.h"
#include "results/out_results.h"

namespace {

rel::AnalysisState FittedDemo() {
    rel::AnalysisState st;
    const rel::LoadResult load = rel::LoadFailureFile(st, std::string(RELAN_EXAMPLES) + "/demo-fleet.txt", '.');
    rel::RunParams p;
    p.SredGar = st.SredGar;
    p.SKOGar = st.SKOGar;
    p.StepCoef11 = load.view.StepCoef11Text;
    p.StepCoef12 = load.view.StepCoef12Text;
    p.StepCoef2 = load.view.StepCoef2Text;
    p.methods = {"1.1", "1.2", "2"};
    p.clock.evaluationsPerSecond = 4000;
    rel::CalculationRun(st, p);
    return st;
}

void BM_OutResultsDemo(benchmark::State& state) {
    rel::AnalysisState st = FittedDemo();
    for (auto _ : state) {
        rel::ResultsContent rc = rel::OutResults(st, "300", '.');
        benchmark::DoNotOptimize(rc);
    }
}
BENCHMARK(BM_OutResultsDemo)->Unit(benchmark::kMicrosecond);

}  // namespace
