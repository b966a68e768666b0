// The three deterministic fits of the failure-accumulation model:
//   model 1.1  FitSpiral   Pearson criterion, spiral descent, about ten seconds at most;
//   model 1.2  FitNewton   Pearson criterion, Newton-type coordinate steps, ends on convergence;
//   model 2    FitSmirnov  Smirnov criterion over the individual failures, about ten seconds.
// Parameter order of the first two: scale B, shape A, repetition coefficient K_powtor,
// then the warranty mean if st.FitSred, then its standard deviation if st.FitSKO.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "data/state.h"
#include "fit/defaults.h"
#include "fit/fit_clock.h"
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
};

// Why a fit ended, and what it cost.
struct FitSummary {
    bool ok = true;  // false: refused before the search, see `error`
    std::string error;
    std::vector<std::string> memo;  // lines for the progress memo, in order
    bool converged = false;         // every step below its tolerance (models 1.1 and 1.2)
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

// Model 1.1 into st.ModSpir (and st.SredGar / st.SKOGar when fitted). Two memo lines.
FitSummary FitSpiral(AnalysisState& st, const FitOptions& opt);

// Model 1.2 into st.ModNewton (and the fitted warranty figures); the point of the
// last completed pass is stored after every pass. Two memo lines.
FitSummary FitNewton(AnalysisState& st, const FitOptions& opt);

// Model 2 into st.ModSmirn. One memo line. Without independent failures
// (KolOtkNez <= 0) the criterion is undefined: the fit is refused and ModSmirn
// is left as it was.
FitSummary FitSmirnov(AnalysisState& st, const FitOptions& opt);

// Memo line texts shared by the fits.
std::string ElapsedLine(const std::string& head, std::int64_t wholeSeconds);
std::string StepLine(double shapeStep, double Sred, double SKO, char sep);

}  // namespace rel
