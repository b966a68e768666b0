// Failure-time histogram: consecutive intervals of operating time with the
// failures of each cause counted in them.
#pragma once

#include "data/state.h"

namespace rel {

// Rebuilds ArrHist from ArrProblems (sorted by time). Starts with 100 h steps
// (Shag1 for the first ten intervals, Shag2 for the rest) and rebuilds with a
// halved Shag1 while there are too few intervals (at most 6, or at most 10 when
// the list holds more than 70 failures) or with a doubled Shag2 while there are
// 42 or more. An interval that catches no failure inside the data is stretched by
// further steps; failures up to 0.1 h past a bound still belong to its interval.
//
// Limits: Shag1 is not halved below 1 h and Shag2 no longer doubled once it
// has reached 2^29 h; when a
// limit stops the rebuilding, the last pass is kept. An empty failure list, or one
// holding a time that is not a finite number of at most 1e12 h, gives no intervals.
void BuildHist(AnalysisState& st);

// One pass with the given steps, as BuildHist makes it (exposed for tests).
void HistPass(const AnalysisState& st, int shag1, int shag2, Hist40& out);

}  // namespace rel
