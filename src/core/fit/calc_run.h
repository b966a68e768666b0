// The calculation run behind "Расчет": take the run parameters, rebuild the
// histogram, run each ticked fit in the order 1.1, 1.2, 2 and complete each fitted
// model with its indicators and its confidence line. The window and relan-cli both
// call it; the window reads its controls into RunParams first (and runs its pre-run
// check), and shows the results afterwards.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "data/state.h"
#include "fit/fit_clock.h"
#include "fit/fits.h"

namespace rel {

struct RunParams {
    double SredGar = 0.0;      // meSred
    double SKOGar = 0.0;       // meSKO
    double PeriodUchet = 0.0;  // LabeledEdit2 (stored only)
    double TPrirab = 300.0;    // LabeledEdit3
    bool FitSred = false;      // Sred_flag
    bool FitSKO = false;       // SKO_Flag
    bool SpirSpusk = true;     // model 1.1
    bool BoxNewton = false;    // model 1.2
    bool BoxSmirnow = false;   // model 2
    // Texts of the step-reduction coefficient boxes of models 1.1, 1.2 and 2,
    // converted with the decimal separator when their fit starts.
    std::string Edit1 = "1.00025";
    std::string Edit6 = "1.00025";
    std::string Edit5 = "1.0005";
    int item = kItemStandard;  // RadioGroup1
    char decimalSep = '.';
    FitClock clock;
};

// Receives each memo line as soon as it is written.
using MemoSink = std::function<void(const std::string&)>;

struct RunResult {
    bool ok = true;
    std::string error;                 // why the run stopped (ok == false)
    std::string errorField;            // the box whose text stopped it ("Edit1", "Edit6", "Edit5")
    std::vector<std::string> memo;     // every line written, in order
    // What each fit that ran reported, and its wall time in seconds.
    std::optional<FitSummary> spiral, newton, smirnov;
    double wallSpiral = 0.0, wallNewton = 0.0, wallSmirnov = 0.0;
};

// Runs the calculation on st. A coefficient text that is not a number, or a value
// below 1, stops the run before that fit with a message naming the box and its text;
// models fitted before keep their new values. A run with a fit ticked but no
// histogram interval or no independent failure fits nothing and says so.
RunResult CalculationRun(AnalysisState& st, const RunParams& p, const MemoSink& sink = {});

// The texts a data-file load puts into the three coefficient boxes.
std::string DefaultStepCoefText12(char sep);  // "1.00025" for models 1.1 and 1.2
std::string DefaultStepCoefText2(char sep);   // "1.0005" for model 2

}  // namespace rel
