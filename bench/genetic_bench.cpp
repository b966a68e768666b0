// Speed of the genetic optimiser: one generation pass at the default population of
// 3000 members on a histogram of 41 intervals (the most the builder accepts), and a
// whole default run (3000 members, 1500 generations) on the demo fleet. The passes
// follow the schedule over a 1500-generation run; the host does nothing.
//   Arg 0: fixed seed, no reseeding (repeatable runs)
//   Arg 1: the default generator, reseeded from the clock before every evaluation
#include <benchmark/benchmark.h>

#include <string>

#include "analysis/load.h"
#include "bench_fleet.h"
#include "data/state.h"
#include "genetic/tgen.h"

namespace {

using relbench::Fleet41;

struct QuietHost : rel::GenHost {
    int tb1 = 55, tb2 = 15;
    int CrossoverPercent() override { return tb1; }
    void SetCrossoverPercent(int p) override { tb1 = p; }
    int MutationPercent() override { return tb2; }
    void SetMutationPercent(int p) override { tb2 = p; }
    void ShowCounter(const std::string&) override {}
    void AppendMemo(const std::string&) override {}
    void SetProgress(int) override {}
    std::string CopyCountText() override { return "50"; }
    void DiaGen() override {}
    bool TerminationRequested() override { return false; }
};

rel::GenOptions Options(bool clockReseed) {
    rel::GenOptions o;  // 3000 members, 1500 generations, precision 1e-7
    if (!clockReseed) {
        o.seed = 1;
        o.reseedEachEvaluation = false;
    }
    return o;
}

void BM_GenerationPass(benchmark::State& state) {
    rel::AnalysisState st = Fleet41();
    QuietHost host;
    rel::GenFlags flags;
    const rel::GenOptions o = Options(state.range(0) != 0);
    rel::SystemRandom rng(o.seed, o.reseedEachEvaluation);
    rng.StartRun();
    rel::TGen gen(st, host, flags, o, &rng);
    gen.CreateGens();
    std::int64_t g = 2;
    for (auto _ : state) {
        gen.Generation(g);
        if (g > o.KolPokoleny) g = 2;
    }
    state.SetLabel("3000 members, 41 intervals");
}
BENCHMARK(BM_GenerationPass)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_DefaultRunDemoFleet(benchmark::State& state) {
    rel::AnalysisState base;
    const auto load = rel::LoadFailureFile(base, RELAN_EXAMPLES "/demo-fleet.txt", '.');
    if (!load.ok) {
        state.SkipWithError(("demo file: " + load.error).c_str());
        return;
    }
    base.TPrirab = 300;
    if (const std::string e = rel::PrepareGenStart(base); !e.empty()) {
        state.SkipWithError(e.c_str());
        return;
    }
    for (auto _ : state) {
        state.PauseTiming();
        rel::AnalysisState st = base;
        QuietHost host;
        rel::GenFlags flags;
        rel::TGen gen(st, host, flags, Options(state.range(0) != 0));
        state.ResumeTiming();
        const rel::GenOutcome r = gen.Execute();
        benchmark::DoNotOptimize(r);
        state.counters["intervals"] = static_cast<double>(st.ArrHist.size());
        state.counters["criterion"] = r.bestCriterion;
    }
}
BENCHMARK(BM_DefaultRunDemoFleet)->Arg(0)->Arg(1)->Unit(benchmark::kSecond)->Iterations(1);

}  // namespace
