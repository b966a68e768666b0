// The calculation run behind "Расчет": take the run parameters, rebuild the
// histogram, run each ticked fit in the order 1.1, 1.2, 2 and complete each fitted
// model with its indicators and its confidence line. The window and the command
// lines both call it; the window reads its fields into RunParams first (and runs its
// pre-run check), and shows the results afterwards.
#pragma once

#include <functional>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "data/state.h"
#include "fit/defaults.h"
#include "fit/fit_clock.h"
#include "fit/fits.h"
#include "fit/ml_fit.h"

namespace rel {

struct RunParams {
    double SredGar = 0.0;                // mean warranty end time, h
    double SKOGar = 0.0;                 // its standard deviation, h
    double PeriodUchet = 0.0;            // accounting period (stored only)
    double TPrirab = defaults::kBurnIn;  // burn-in time, h
    bool FitSred = false;                // fit the mean warranty end time too
    bool FitSKO = false;                 // fit its standard deviation too
    // A fleet in service: hours per month of the products whose ages line gives none
    // (NaN: not given) and the months of the forecast.
    double UsageMonth = std::numeric_limits<double>::quiet_NaN();
    int Horizon = 12;
    // The methods to fit, by id ("1.1", "1.2", "2", "3"); they run in the table's run
    // order whatever the order here.
    std::vector<std::string> methods{"1.1"};
    // Texts of the step-reduction coefficients of models 1.1, 1.2 and 2, converted
    // with the decimal separator when their fit starts.
    std::string StepCoef11 = defaults::kStepCoef11.Text('.');
    std::string StepCoef12 = defaults::kStepCoef12.Text('.');
    std::string StepCoef2 = defaults::kStepCoef2.Text('.');
    int item = kItemStandard;  // deviation form of the Pearson criterion
    char decimalSep = '.';
    FitClock clock;
    // Model 3: bootstrap replicates of its goodness of fit (0: none) and their seed;
    // a request to end the run early (polled between the bootstrap's replicates).
    int mlBootstrap = defaults::kBootstrap;
    std::uint64_t mlSeed = defaults::kSeed;
    // Model 3 per cause: fit causes with fewer than kMlCauseMinFailures failures too.
    bool mlAllCauses = false;
    std::function<bool()> cancelled;
    // "Стоп": model 3's bootstrap ends early with the replicates done (polled during it).
    std::function<bool()> mlStopBootstrap;
    // Model 3's steps done of its total (the fit, each interval, each bootstrap
    // replicate), called on the run's thread; may be empty.
    std::function<void(int done, int total)> mlProgress;

    bool Runs(std::string_view id) const;
};

// The setting a refused run names, for the caller to point at.
enum class RunField { None, StepCoef11, StepCoef12, StepCoef2 };

// Receives each memo line as soon as it is written.
using MemoSink = std::function<void(const std::string&)>;

class MethodTable;

struct RunResult {
    bool ok = true;
    std::string error;                     // why the run stopped (ok == false)
    RunField errorField = RunField::None;  // the coefficient whose text stopped it
    std::vector<std::string> memo;         // every line written, in order
    // What each fit that ran reported, in the order they ran (a refused fit last).
    std::vector<FitReport> fits;
    std::optional<MlResult> ml;  // model 3: estimates, intervals, verdict (taken from its report)

    // The report of the method of that id, nullptr when it did not run.
    const FitReport* Report(std::string_view id) const;
};

// The model record of a model-3 fit: its parameters, its interval values over the
// histogram (with its own warranty figures), its indicators.
void StoreML(const AnalysisState& st, const MlResult& r, Mod_Weib& M);

// Runs the calculation on st: each method of `methods` that p asks for, in run order,
// its record and fitted warranty figures stored as its fit returns. A coefficient text that is not a number, or a
// value below 1, stops the run before that fit with a message naming the box and its text; models fitted before
// keep their new values. A run with a fit ticked but no histogram interval or no independent failure fits nothing
// and says so.
RunResult CalculationRun(AnalysisState& st, const RunParams& p, const MemoSink& sink = {});
RunResult CalculationRun(AnalysisState& st, const RunParams& p, const MemoSink& sink, const MethodTable& methods);

}  // namespace rel
