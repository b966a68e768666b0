// The three deterministic fits of the failure-accumulation model:
//   model 1.1  FitSpiral   Pearson criterion, spiral descent, about ten seconds at most;
//   model 1.2  FitNewton   Pearson criterion, Newton-type coordinate steps, ends on convergence;
//   model 2    FitSmirnov  Smirnov criterion over the individual failures, about ten seconds.
// Parameter order of the first two: scale B, shape A, repetition coefficient K_powtor,
// then the warranty mean if st.FitSred, then its standard deviation if st.FitSKO.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "data/state.h"
#include "fit/defaults.h"
#include "fit/fit_clock.h"
#include "fit/ml_fit.h"
#include "stats/criteria.h"

namespace rel {

// Captions of the three step-reduction coefficient boxes.
inline constexpr const char* kStepCoefLabel11 = "Коэф-т уменьшения шага модели 1.1";
inline constexpr const char* kStepCoefLabel12 = "Коэф-т уменьшения шага модели 1.2";
inline constexpr const char* kStepCoefLabel2 = "Коэф-т уменьшения шага модели 2";

struct FitOptions {
    // Step-reduction coefficient: a failed attempt reverses the step and divides it
    // by this. Must be a finite number of at least 1 (see CheckStepCoef).
    double StepCoef = defaults::kStepCoef11.value;
    int item = kItemStandard;  // deviation form of PearsonCrit (models 1.1 and 1.2)
    char decimalSep = ',';     // of the memo lines
    FitClock clock;
    // Model 1.2: shown the record at the point of every completed pass (a usable
    // model at any time of a search that has no time end); may be empty.
    std::function<void(const Mod_Weib&)> passDone;
};

// Why a fit ended, and what it cost.
struct FitSummary {
    bool ok = true;  // false: refused before the search, see `error`
    std::string error;
    std::vector<std::string> memo;  // lines for the progress memo, in order
    bool converged = false;         // every step below its tolerance, not stopped by the time rule
    std::int64_t passes = 0;
    std::int64_t evaluations = 0;  // of the search's own criterion
    double elapsed = 0.0;          // seconds by the fit's clock (virtual when asked for)
    double finalStepCoef = 0.0;
};

// A step-reduction coefficient below 1 would make the steps grow instead of shrink:
// a search could run away to infinite steps and never converge. Returns the message
// refusing such a value (or a non-finite one), nothing when the value is usable.
// A coefficient of exactly 1 is usable: the time rules raise it.
std::optional<std::string> CheckStepCoef(double coef, const std::string& label, const std::string& text);

// What a fit hands back: its model record, complete with its interval values and
// indicators, and the warranty figures it fitted. A fit reads the state and writes
// nothing; its caller stores the record.
struct FitReport {
    std::string id;  // the method's id ("1.1")
    FitSummary summary;
    Mod_Weib model;
    // The warranty figures: those the fit fitted, the run's otherwise.
    double SredGar = 0.0, SKOGar = 0.0;
    std::optional<MlResult> ml;  // model 3's estimates, intervals and verdict
    double wall = 0.0;           // wall time of the fit, s
};

// Model 1.1 (and the warranty figures when fitted). Two memo lines. The record
// starts as st.ModSpir is: what the fit does not set stays as it was.
FitReport FitSpiral(const AnalysisState& st, const FitOptions& opt);

// Model 1.2 (and the fitted warranty figures). Two memo lines.
FitReport FitNewton(const AnalysisState& st, const FitOptions& opt);

// Model 2. One memo line. Without independent failures (KolOtkNez <= 0) the
// criterion is undefined: the fit is refused and its record is st.ModSmirn as it was.
FitReport FitSmirnov(const AnalysisState& st, const FitOptions& opt);

// Memo line texts shared by the fits.
std::string ElapsedLine(const std::string& head, std::int64_t wholeSeconds);
std::string StepLine(double shapeStep, double Sred, double SKO, char sep);
// The memo line of a search its time rule stopped before it converged.
std::string NotConvergedLine(const std::string& model);

}  // namespace rel
