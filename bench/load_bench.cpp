// Load of a 99,999-failure data file (Windows-1251, CR LF) followed by the
// histogram build, as a calculation run would do after a "Путь"; and the load of a
// million-failure file from the disc against the least a reader must do to keep the
// same times, texts and order (minimal_loader.h), with their ratio.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

#include "analysis/load.h"
#include "data/histogram.h"
#include "fleet_file.h"
#include "minimal_loader.h"

namespace {

// A fleet of 60,000 products with 99,999 failures along a Weibull law.
const std::string& BigFile() {
    static const std::string file = relbench::FleetFile(99999, 60000);
    return file;
}

// A file of a million failure rows of a fleet of 600,000 products (make-fleet's),
// written once for the whole run and removed at its end.
class MillionRows {
public:
    MillionRows()
        : path_(std::filesystem::temp_directory_path() / ("relan-bench-" + std::to_string(::getpid()) + ".txt")) {
        const std::string bytes = relbench::FleetFile(1000000, 600000);
        std::ofstream(path_, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    ~MillionRows() { std::filesystem::remove(path_); }
    std::string Path() const { return path_.string(); }

private:
    std::filesystem::path path_;
};

const MillionRows& Million() {
    static const MillionRows file;
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

// The whole load of the million rows from the disc: read, decide the character set,
// classify, sort, the empirical figures.
void BM_LoadMillionRows(benchmark::State& state) {
    const std::string path = Million().Path();
    for (auto _ : state) {
        rel::AnalysisState st;
        const rel::LoadResult r = rel::LoadFailureFile(st, path, '.');
        if (!r.ok || st.ArrProblems.size() != 1000000) state.SkipWithError("load failed");
        benchmark::DoNotOptimize(st.ArrProblems.Times().data());
    }
}
BENCHMARK(BM_LoadMillionRows)->Unit(benchmark::kMillisecond);

void BM_MinimalMillionRows(benchmark::State& state) {
    const std::string path = Million().Path();
    for (auto _ : state) {
        relbench::MinimalLoad m;
        if (!relbench::MinimalLoadFile(path, m) || m.times.size() != 1000000) state.SkipWithError("read failed");
        benchmark::DoNotOptimize(m.times.data());
    }
}
BENCHMARK(BM_MinimalMillionRows)->Unit(benchmark::kMillisecond);

// Both in one run, in turns, so that a busy machine weighs on both alike: the
// iteration's time is the real load's; "minimal_ms" the yardstick's, "ratio" the
// real load's time over it.
void BM_LoadAgainstMinimal(benchmark::State& state) {
    using Clock = std::chrono::steady_clock;
    const std::string path = Million().Path();
    double real = 0, minimal = 0;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        {
            rel::AnalysisState st;
            const rel::LoadResult r = rel::LoadFailureFile(st, path, '.');
            if (!r.ok) state.SkipWithError("load failed");
            benchmark::DoNotOptimize(st.ArrProblems.Times().data());
        }
        const auto t1 = Clock::now();
        {
            relbench::MinimalLoad m;
            if (!relbench::MinimalLoadFile(path, m)) state.SkipWithError("read failed");
            benchmark::DoNotOptimize(m.times.data());
        }
        const auto t2 = Clock::now();
        const double r = std::chrono::duration<double>(t1 - t0).count();
        state.SetIterationTime(r);
        real += r;
        minimal += std::chrono::duration<double>(t2 - t1).count();
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["minimal_ms"] = 1000 * minimal / n;
    state.counters["ratio"] = minimal > 0 ? real / minimal : 0;
}
BENCHMARK(BM_LoadAgainstMinimal)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
