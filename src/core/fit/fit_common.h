// Pieces shared by the fits of models 1.1 and 1.2 (and the final interval values
// of all three).
#pragma once

#include <array>
#include <cmath>
#include <cstdint>

#include "data/state.h"

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

// Most successful steps one walk of a parameter may take: as many as its first step
// needs to cross the parameter's whole range, and one more. At its first step a walk
// inside the bounds can never take more. A walk at a smaller step that gets that far
// is creeping along a criterion that is undefined everywhere (a NaN counts as an
// improvement) or falls by ever smaller amounts, and would take ever longer as the
// step shrinks; such a walk ends as a failed attempt, so its step shrinks and the
// search goes on to its time rules and tolerances.
inline std::int64_t WalkLimit(double lower, double upper, double firstStep) {
    return static_cast<std::int64_t>(std::ceil((upper - lower) / std::fabs(firstStep))) + 1;
}

// Writes the fitted warranty figures of X back into the state.
inline void StoreWarranty(AnalysisState& st, const Vec& X) {
    if (st.FitSred) st.SredGar = X[3];
    if (st.FitSKO) st.SKOGar = st.FitSred ? X[4] : X[3];
}

// The interval values of a finished model M (its A, B, K_powtor) with the state's
// warranty figures: F_Weib unclamped unless `clampWeib`, F_norm at the midpoints,
// Kol_F_priv. The arrays are lengthened to the histogram when shorter.
void FinalIntervalValues(const AnalysisState& st, Mod_Weib& M, bool clampWeib);

}  // namespace rel::fitdetail
