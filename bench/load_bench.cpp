// Load of a 99,999-failure data file (Windows-1251, CR LF) followed by the
// histogram build, as a calculation run would do after a "Путь".
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <string>

#include "analysis/load.h"
#include "fleet_file.h"
#include "data/histogram.h"

namespace {

// A fleet of 60,000 products with 99,999 failures along a Weibull law.
const std::string& BigFile() {
    static const std::string file = relbench::FleetFile(99999, 60000);
    return file;
}

void BM_LoadAndBuildHist(benchmark::State& state) {
    const std::string& bytes = BigFile();
    for (auto _ : state) {
        rel::AnalysisState st;
        const rel::LoadResult r = rel::LoadFailureBytes(st, bytes, "bench.txt", '.');
        if (!r.ok || st.ArrProblems.size() != 99999) state.SkipWithError("load failed");
        rel::BuildHist(st);
        benchmark::DoNotOptimize(st.ArrHist.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(bytes.size()));
}
BENCHMARK(BM_LoadAndBuildHist)->Unit(benchmark::kMillisecond);

void BM_BuildHist(benchmark::State& state) {
    rel::AnalysisState st;
    rel::LoadFailureBytes(st, BigFile(), "bench.txt", '.');
    for (auto _ : state) {
        rel::BuildHist(st);
        benchmark::DoNotOptimize(st.ArrHist.data());
    }
    state.counters["intervals"] = static_cast<double>(st.ArrHist.size());
}
BENCHMARK(BM_BuildHist)->Unit(benchmark::kMillisecond);

}  // namespace
