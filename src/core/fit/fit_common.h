// Pieces shared by the fits of models 1.1 and 1.2 (and the final interval values
// of all three).
#pragma once

#include <array>
#include <cmath>
#include <cstdint>
#include <limits>

#include "data/state.h"
#include "fit/fits.h"

namespace rel::fitdetail {

// One parameter of a coordinate search: start, bounds, first step, tolerance.
struct ParamRow {
    double start, lower, upper, step, tol;
};

inline constexpr int kMaxParams = 5;
using Vec = std::array<double, kMaxParams>;

// 3, plus one for each fitted warranty figure.
inline int ParamCount(const AnalysisState& st) { return 3 + (st.FitSred ? 1 : 0) + (st.FitSKO ? 1 : 0); }

// Warranty figures of a point: fitted ones from X (mean first), others from the state.
inline void WarrantyOf(const AnalysisState& st, const Vec& X, double& Sred, double& SKO) {
    Sred = st.FitSred ? X[3] : st.SredGar;
    SKO = st.FitSKO ? (st.FitSred ? X[4] : X[3]) : st.SKOGar;
}

// A step changed the parameter: its value differs from before and is a number.
// A step too small to change the value, or a parameter that has become NaN, would
// let a search re-evaluate the same point without end.
inline bool Moved(double now, double before) { return now != before && now == now; }

// Most successful steps a walk of a parameter can take inside the bounds at the step
// `step`: as many as that step needs to cross the parameter's whole range, and one more.
// A step so small that the count would not fit gives the largest count.
inline std::int64_t WalkLimit(double lower, double upper, double step) {
    const double steps = std::ceil((upper - lower) / std::fabs(step));
    if (!(steps < 9.0e18)) return std::numeric_limits<std::int64_t>::max();
    return static_cast<std::int64_t>(steps) + 1;
}

// The bound of one walk: the run of successful steps a search takes on one parameter
// before an attempt fails. On a criterion that is a number a walk inside the bounds
// ends by itself, after at most WalkLimit steps of its own size (a walk at a step
// shrunk many times may take millions of them, and is never cut short here). Steps on
// which the criterion is NaN count as improvements, so on a criterion that is
// undefined everywhere each walk would run to the far bound at an ever smaller step
// and the search would go on for hours: a walk ends as a failed attempt after as many
// such steps as the parameter's first step needs to cross its range, so that the step
// shrinks and the search goes on to its time rules and tolerances.
//
// Models 1.1 and 2 end on their time rules after about ten seconds, looked at between
// passes. A step shrunk far below the distance still to go (a step coefficient of 100)
// creeps on, each step improving slightly, for minutes within one pass: in those two
// searches a walk longer than its first step needs to cross the range also ends once
// the search has run for kLongWalkSeconds.
inline constexpr double kLongWalkSeconds = 60.0;

class WalkBound {
public:
    WalkBound() = default;
    WalkBound(double lower, double upper, double firstStep)
        : lower_(lower), upper_(upper), firstLimit_(WalkLimit(lower, upper, firstStep)) {}

    // A new walk begins at the step `step`.
    void Start(double step) {
        stepLimit_ = WalkLimit(lower_, upper_, step);
        nanSteps_ = steps_ = 0;
    }
    // Counts one successful step, `nan` when the criterion before or after it is NaN;
    // false when the walk has gone as far as it may.
    bool Step(bool nan) {
        if (nan && ++nanSteps_ >= firstLimit_) return false;
        return ++steps_ < stepLimit_;
    }
    // The walk has taken more steps than its first step needs to cross the range.
    bool Long() const { return steps_ >= firstLimit_; }

private:
    double lower_ = 0.0, upper_ = 0.0;
    std::int64_t firstLimit_ = 1, stepLimit_ = 1;
    std::int64_t nanSteps_ = 0, steps_ = 0;
};

// A fit's report as it starts: its record as the state holds it (what the fit does not
// set stays as it was) and the run's warranty figures.
FitReport StartReport(const AnalysisState& st, const char* id, const Mod_Weib& record);

// The interval values of a finished model M (its A, B, K_powtor, Sred, SKO): F_Weib unclamped unless `clampWeib`,
// F_norm at the midpoints, Kol_F_priv. The arrays are lengthened to the histogram when shorter.
void FinalIntervalValues(const AnalysisState& st, Mod_Weib& M, bool clampWeib);

}  // namespace rel::fitdetail
