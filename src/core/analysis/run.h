// One analysis from the loaded inputs to the results, as a command line runs it:
// the calculation run of the chosen models (as "Расчет" does), then the optimiser
// when it is asked for (as its start button would after "Расчет"), then the results
// output as the window shows it at the end of the last run.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "analysis/gen_run.h"
#include "analysis/load.h"
#include "analysis/request.h"
#include "fit/calc_run.h"
#include "results/out_results.h"

namespace rel {

struct AnalysisRun {
    RunParams params;
    bool calcRan = false;                   // the calculation run took place
    RunResult calc;                         // what it reported (ok when it did not run)
    std::optional<GenRunResult> gen;        // the optimiser's run, when asked for
    std::optional<ResultsContent> results;  // the results output, when the runs reach it
    std::vector<std::string> memo;          // every progress line, in order
    // Why the analysis stopped before its results, empty when it did not.
    std::string error;
};

// Runs the plan on the loaded state. Progress lines go to `sink` as they come. The
// results are computed but not written back into the state: the caller reads the
// fitted records as the fits left them, then applies results->WriteBack. `words`:
// the labels and titles of the results (Russian by default).
// `methods`: the fitting methods the plan's ids name.
AnalysisRun RunAnalysis(AnalysisState& st, const FitPlan& plan, const LoadedInputs& in, const MemoSink& sink = {},
                        const ResultsWords& words = RussianWords(),
                        const MethodTable& methods = MethodTable::Standard());

// One analysis as a value: the state after the run (the fitted records, the
// histogram, the results' write-back applied) and what the run reported.
struct AnalysisResult {
    AnalysisState state;
    AnalysisRun run;
};

// The whole analysis of the loaded state (taken by value: the caller's stays as it
// was unless it moves it in), as relan-cli fit and relan --report run it.
AnalysisResult Analyse(AnalysisState loaded, const FitPlan& plan, const LoadedInputs& in,
                       const MemoSink& sink = {}, const ResultsWords& words = RussianWords(),
                       const MethodTable& methods = MethodTable::Standard());

}  // namespace rel
